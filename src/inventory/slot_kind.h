// What a device slot is, read from its type text in any language.
//
// A slot's type text is written by whoever filled the slot: the ASPI scan
// in the interface language, NT discovery in fixed English for an adapter's
// own slot and an empty ID, a listing file in the language it was saved
// under. The program decides by a slot's kind (its picture, the device
// count, the properties sheet's boxes, the diagnostics' refusal), so the
// kind is recognised from any of those names; the text itself is shown and
// written as it stands.
#pragma once

namespace td {

struct SharedTexts;
struct DeviceSlot;

enum class SlotKind {
    Unrecognised,  // no language names this text
    HardDisk,
    CdRom,
    Tape,
    Removable,
    HostAdapter,  // an adapter's own slot
    Worm,
    Scanner,
    Printer,
    NoDevice,  // an empty ID
    Unknown,
};

// The fixed English type texts NT discovery writes, whatever the interface
// language.
constexpr char kFixedHostAdapterType[] = "Host Adapter";
constexpr char kFixedNoDeviceType[] = "No Device";

// The kind named by `type_name`: the interface language's texts first, then
// NT discovery's fixed ones, then every language set's type names.
SlotKind KindOfTypeName(const SharedTexts& texts, const char* type_name);

// The kind of `slot`, its type text read no further than its field.
SlotKind KindOfSlot(const SharedTexts& texts, const DeviceSlot& slot);

}  // namespace td
