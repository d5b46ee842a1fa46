// Discovery through ASPI for Win32 (Windows 95).
//
// Two halves. The first runs on the window thread and waits for nothing:
// ask the library how many host adapters it manages and each one for its
// identity (host adapter inquiry), read their registry details (at start-up
// only) and put them into the tree. The second is a chain of INQUIRY
// commands, one outstanding at a time, to every SCSI ID of every adapter in
// turn; each completion is stored in the next device slot on the window
// thread, which then sends the next INQUIRY. The last completion refreshes
// the views.
//
// Threads. The library completes a posted INQUIRY on a thread of its own and
// calls the post routine, OnInquiryComplete, there. That routine touches
// only the INQUIRY data of its own request and hands the request block to
// the window thread through a ScanHandOver, which does not return before
// the window thread has stored it (the program sends WM_SCAN_STEP with
// SendMessageA). Everything else, the cursors, the busy flag, the counts
// and the slots, is read and written on the window thread only, so no lock
// is needed: while an INQUIRY is outstanding the chain keeps scan_busy set
// and never touches the block or the buffer, and it clears the flag only
// when the completion has been taken over.
//
// Adapters whose identifier contains "ESDI_506" are left out. The adapter
// records in use hold the other adapters in ASPI order, without gaps: a
// record's index is its place in the tree and in the slot table (slots
// index x ids_per_adapter + ID), and its adapter_number is the ASPI host
// adapter number that the chain, and later the diagnostic commands, send
// to. Without such an adapter, or with it last, the two are the same.
#pragma once

#include <cstdint>

#include "common/clock.h"
#include "common/messages.h"
#include "common/registry.h"
#include "common/shared_texts.h"
#include "inventory/inventory.h"
#include "inventory/inventory_views.h"
#include "scsi/aspi_layout.h"
#include "scsi/aspi_library.h"

namespace td {

// WM_SCAN_STEP: WM_USER + 10, the message that carries a completed INQUIRY
// to the main window (wParam 0, lParam the block).
constexpr unsigned kWmScanStep = 0x0400 + 10;

constexpr std::uint32_t kScanInquiryLength = 96;

// How long an INQUIRY the manager took may stay outstanding before it is
// aborted, and how long the abort then has to end it: a device answers
// INQUIRY at once even when it is not ready, so a request outstanding that
// long has a manager that will not answer it. The longest wait the program
// gives any command.
constexpr std::uint32_t kInquiryTimeLimitMs = 8000;

// Hands a completed INQUIRY from the library's thread to the window thread.
class ScanHandOver {
public:
    virtual ~ScanHandOver() = default;
    // Called on the library's thread by OnInquiryComplete. Must not return
    // before the window thread has run OnScanStep with `block` (or has
    // decided not to): the block and the INQUIRY data stay the chain's only
    // as long as the library waits here. The program implements it with
    // SendMessageA(main window, WM_SCAN_STEP, 0, block).
    virtual void Deliver(aspi::SrbExecScsiCmd* block) = 0;
};

// The INQUIRY chain's own state; one instance for the program, living as
// long as exec_srb does (the library writes into it).
struct ScanChain {
    std::uint8_t scan_adapter;                        // adapter record (index) of the next INQUIRY; 0 when idle
    std::uint8_t scan_target;                         // SCSI ID of the next INQUIRY; 0 when idle
    std::uint16_t scan_busy;                          // 1 from the send until the window thread took the completion
    std::uint8_t inquiry_buffer[kScanInquiryLength];  // INQUIRY data of the latest command
    // 1 when a re-scan started while an INQUIRY of the scan it replaced was
    // still outstanding: that completion is dropped when it arrives and the
    // new scan starts then.
    std::uint8_t discard_next;
    // 1 when the inventory was replaced (a listing file was opened): the
    // chain sends nothing more and drops a completion still outstanding,
    // until a re-scan starts it again.
    std::uint8_t stopped;
    // Counts the INQUIRYs sent, to tell whether a request that the library
    // answered at once was already completed during the send.
    std::uint32_t sends;
    // The watch over an INQUIRY the manager does not end (WatchScan).
    std::uint32_t sent_at;  // ticks when it was sent, or when its abort was
    std::uint8_t watch;     // 0 waiting, 1 aborted, 2 given up
    // The abort of such an INQUIRY: the manager may end an abort later, so
    // its block lives as long as the chain.
    aspi::SrbAbort abort_srb;
    ScanHandOver* hand_over;  // set by the program before the first scan
};

// Everything ASPI discovery works with: the running program holds one,
// built from its program-wide records; tests build their own.
struct AspiDiscovery {
    Inventory& inventory;
    const SharedTexts& texts;        // type names and "Host Adapter" (50011)
    Registry& registry;              // adapter details at start-up
    Messages& messages;              // 50006, 50007, 50013
    InventoryViews& views;           // tree items, slot pictures, the refresh at the end
    AspiLibrary& aspi;               // the loaded library
    aspi::SrbExecScsiCmd& exec_srb;  // the program's one execute block, shared with the test commands
    ScanChain& chain;
    WindowRef owner;  // owner of the start-up messages (the main window)
    Clock& clock;     // the watch over INQUIRYs the manager does not end
};

// ---- The adapters (window thread) -------------------------------------------

// One host adapter inquiry for ASPI host adapter `aspi_number`, which the
// library answers before it returns. On SS_COMP `record` gets identifier
// (HA_Identifier) and manager_name (HA_ManagerId), each the text of its
// 16-byte field up to the first NUL, own_scsi_id (HA_SCSI_ID) and
// adapter_number (SRB_HaId); otherwise it is left as it was. Answers the
// status.
std::uint32_t InquireAdapter(AspiLibrary& aspi, int aspi_number, HostAdapterRecord& record);

// Whether a support status lets discovery go on: SS_COMP, or SS_NO_ADAPTERS
// (E8h), a library that works but manages no host adapter, an empty bus.
bool AspiSupportUsable(std::uint8_t status);

// The synchronous half: asks GetASPI32SupportInfo and answers its status
// byte. On SS_COMP: adapter_count = the number of adapters reported, at most
// the 8 records (the others are not looked at); every adapter is inquired
// from the highest number down; those whose identifier contains "ESDI_506"
// are dropped and the rest take records 0, 1, ... in ASPI order, each with
// adapter_number = its ASPI number and device_count 0. An adapter whose
// inquiry fails still counts and is scanned, without identifier, manager
// and own SCSI ID (kNoOwnScsiId). Then, from the last record in use down to
// the first, the registry details are read (only when `read_details`), an
// adapter without identifier is given its numbered name, one without
// description its label (adapter_names.h), and the tree item is inserted
// with the description as text and the index as data, and kept in
// tree_item. On SS_NO_ADAPTERS: adapter_count = 0. On any other status
// nothing is changed.
std::uint8_t EnumerateAspiAdapters(AspiDiscovery& discovery, bool read_details);

enum class AspiStartup {
    Enumerated,    // SS_COMP or SS_NO_ADAPTERS: adapters enumerated (perhaps
                   // none); the caller sets aspi_loaded and starts the scan
                   // (StartAspiScan) once the window shows
    NotAvailable,  // SS_FAILED_INIT: 50007 was shown; no scan, no adapters
    Exit,          // any other status: 50006 was shown; the program ends
};

// Start-up on Windows 95 once the library and its entry points are loaded:
// enumerates the adapters with their registry details and shows the
// messages of a failed support query (owner `owner`, error icon).
AspiStartup DiscoverAspiAdapters(AspiDiscovery& discovery);

// Start-up, after the main window was shown: starts the INQUIRY chain
// (nothing happens when no adapter is counted).
void StartAspiScan(AspiDiscovery& discovery);

enum class AspiRescan {
    Scanning,  // adapters enumerated, the chain started (if there is anything to scan)
    Retry,     // the support query failed and the user chose Retry: post the
               // re-scan command to the main window again
    Cancel,    // the support query failed and the user chose Cancel
};

// The re-scan on Windows 95. The caller has reset the inventory
// (ResetForRescan) and the views before. Puts the chain back to adapter 0,
// ID 0 (an INQUIRY of the replaced scan that is still outstanding is
// dropped when it completes), enumerates the adapters again without
// reading their registry details (the descriptions read at start-up stay),
// unless `read_details` asks for them because the records no longer hold
// them (a listing file was opened since), and starts the chain.
// SS_NO_ADAPTERS is an empty bus. Any other support status but SS_COMP shows 50013
// (no owner, error icon, Retry and Cancel); the chain is started all the
// same and finds no adapters.
AspiRescan RescanAspi(AspiDiscovery& discovery, bool read_details = false);

// ---- The INQUIRY chain --------------------------------------------------------

// Puts the cursors back to adapter 0, ID 0 and forgets the previous scan's
// adapter failure; an INQUIRY still outstanding is marked to be dropped.
void ResetScanChain(ScanChain& chain);

// Stops the chain for good when the inventory is replaced by other data: no
// further INQUIRY is sent, and a completion still outstanding is dropped
// when it arrives. ResetScanChain (a re-scan) lets it run again.
void StopScanChain(ScanChain& chain);

// Window thread: sends the next INQUIRY of the chain, unless
//   - an INQUIRY is outstanding (scan_busy), or the chain was stopped,
//   - scan_adapter has passed the adapters in use, or scan_target has
//     passed max_target_id,
//   - or scan_slot has reached the 64 slots (a completion could not be
//     stored).
// The status a diagnostic command left in the shared block is never looked
// at. The block is reset, the INQUIRY (12h, allocation length 96, LUN 0,
// posted to OnInquiryComplete, sense length 14) built for the current
// cursors, the buffer cleared (so a failed INQUIRY never shows the previous
// device's data), the cursors advanced, and the block sent. A request that
// the library ends at once (any answer but SS_PENDING: it will not call the
// post routine, and may not even have written the block) has ended with
// the answer's status; it is stored at once, and the chain goes on from
// there.
void ScanNextDevice(AspiDiscovery& discovery);

// The post routine the library calls, on its own thread, once per INQUIRY.
// The library calls it with nothing but the block, so it reaches the chain
// through one program-wide pointer, set to the chain that sent the
// request by ScanNextDevice. Only an INQUIRY that completed with SS_COMP and
// whose peripheral qualifier is not 3 ("no logical unit here") found a
// device; any other ending (nothing answered, the manager refused or
// aborted it, the adapter or the device failed it) has its INQUIRY data
// made those of an empty ID: product "No Device", no vendor and revision,
// type 31, no RMB, version or Sync bits. Then the block goes to the chain's
// hand-over.
void OnInquiryComplete(aspi::SrbExecScsiCmd* block);

// Window thread, now and then while an INQUIRY is outstanding (the program
// looks every second): a manager that took an INQUIRY and has not ended it
// within kInquiryTimeLimitMs is asked to abort it; an aborted posted
// request still gets its post call, with SS_ABORTED, and the chain goes on
// with an empty ID. When that has not come either within another
// kInquiryTimeLimitMs, the manager keeps the block: the scan ends with what
// it found (scan_complete = 1, the views refreshed), the block stays
// marked busy so that nothing else is sent in it, and a completion that
// still comes is dropped. A re-scan tries again. Answers whether an INQUIRY
// is still outstanding.
bool WatchScan(AspiDiscovery& discovery);

// Window thread, WM_SCAN_STEP: stores the completion handed over by
// OnInquiryComplete and goes on with the chain. Into slot scan_slot (never
// beyond the 64 slots): vendor, product and revision, the flags and the type
// name from the INQUIRY data (inquiry_fields.h); target_id = SRB_Target;
// adapter_number and adapter_identifier of the record the INQUIRY was sent
// for, whose device_count grows when product is not "No Device"; the
// adapter's own ID gets type "Host Adapter" (50011), its identifier as
// product, its manufacturer (at most 7 characters) as vendor and its
// hw_revision as revision. The slot gets its picture; slot_count + 1.
// An adapter whose host adapter inquiry failed said no own ID, so none of
// its slots is its own. Then the next INQUIRY goes out, or the scan ends:
// after the last ID of the last adapter, on SS_INVALID_HA (that completion
// fills no slot: the manager has no such adapter to ask), when the 64
// slots are full, or when ScanNextDevice declines. The end sets scan_complete = 1, puts the cursors back to 0 and
// refreshes the views (InventoryViews::ShowFirstAdapter). A hand-over that
// arrives while no INQUIRY is outstanding is ignored.
void OnScanStep(AspiDiscovery& discovery, aspi::SrbExecScsiCmd* block);

}  // namespace td
