// Discovery through the SCSI port driver (Windows NT).
//
// Synchronous, on the window thread: every port \\.\SCSI<n>: is opened in
// turn (numbered from 0 without gaps, at most 7), its registry details are
// read, it is asked for the inquiry data of all its units, and the units
// are placed into the adapter's device slots, with the adapter's own ID as
// "Host Adapter" and every other ID as "No Device" (fixed English texts,
// whatever the interface language). Units a class driver owns get the
// drive or class device they are opened by later; unclaimed units the port.
//
// Adapters with more than one bus: the slots have one place per SCSI ID
// and no bus dimension, and a unit on a later bus can be reached through
// the port only as a bus 0 address. So each adapter shows the units of its
// first bus (the bus its own ID and device count come from); units on its
// other buses are read (inquiry_entries keeps them, with their bus) but not
// placed, so they can never take or renumber a place of bus 0's units.
//
// Table bounds: a port whose slots would lie past the 64 slots (the fifth
// port and later with the wide-bus option on) still counts as an adapter,
// with its registry details and a tree item, but gets no slots.
#pragma once

#include <cstdint>

#include "common/device_io.h"
#include "common/registry.h"
#include "common/shared_texts.h"
#include "discovery/drive_table.h"
#include "inventory/inventory.h"
#include "inventory/inventory_views.h"
#include "scsi/nt_layout.h"

namespace td {

constexpr int kNtPorts = 7;
constexpr int kInquiryEntries = 128;

// The working data of a port scan; one instance for the program.
struct NtScanArea {
    std::uint8_t port_buffer[nt::kInquiryDataBufferSize];  // the current port's inquiry data
    DeviceSlot inquiry_entries[kInquiryEntries];           // its units, in the port's order
    std::int32_t entry_count;
    DriveTable drive_table;
};

// Everything NT discovery works with: the running program holds one, built
// from its program-wide records; tests build their own.
struct NtDiscovery {
    Inventory& inventory;
    const SharedTexts& texts;  // device type names
    Registry& registry;        // adapter details
    InventoryViews& views;     // slot pictures, tree items, the refresh
    DeviceIo& device_io;       // ports, drives and class devices
    NtScanArea& area;
};

// Scans the ports: slot_count = 0, then for n = 0 to 6 until a port does
// not open: adapter_count = n + 1; record n gets adapter_number n and
// manager_name "Scsi Port <n>" and its registry details (a port without
// a "Driver" value gets its numbered name, one without a description the
// identifier as label: adapter_names.h); the port's inquiry data are read
// into the 2048-byte buffer, cleared first; own_scsi_id, device_count and
// bus_count come from the answer's first bus; the units are collected and
// placed, and the adapter's slots get their pictures. A port whose inquiry
// data cannot be read (or are too short to hold the first bus) ends the
// scan: it stays counted, without slots. Answers true only when all 7 ports
// were opened and read. The caller has emptied the inventory before
// (ResetForRescan on a re-scan).
bool ScanScsiPorts(NtDiscovery& discovery);

// Fills inquiry_entries from a port's answer (`length` bytes of it, as the
// driver reported them, in a buffer of `cleared` bytes the caller cleared
// before the call: the entries may lie anywhere within it, see
// nt_inquiry_data.h) for adapter `adapter_index` (the port number):
// rebuilds the drive table, then
// one entry per unit of every bus, in order, at most 128, with the
// adapter's identifier and number, the bus, target and LUN, the INQUIRY
// identity (inquiry_fields.h) and the name the unit is opened by:
//   not claimed               the port, "SCSI<n>:", read-write, shared read-write
//   disk, WORM, optical       its drive, read-write, shared read-write
//   CD-ROM, changer           its drive, read-only, shared read
//   processor of a vendor     its scanner class device, read-write, shared
//     whose text holds "HP"   read-write, when found
//   scanner                   its scanner class device, likewise
//   tape                      its tape class device, likewise
//   anything else             none
void CollectInquiryEntries(NtDiscovery& discovery, const std::uint8_t* answer, std::uint32_t length,
                           std::uint32_t cleared, int adapter_index);

// Moves the entries of the adapter's first bus with LUN 0 and an ID up to
// max_target_id into its slots (adapter_index x ids_per_adapter + ID), then
// completes the adapter's block: its own ID becomes "Host Adapter" (its
// identifier as product, manufacturer as vendor, hw_revision as revision),
// every ID no unit took becomes "No Device" with the port as its path.
// device_count becomes the number of units placed (its own slot not
// counted); slot_count grows by the slots filled. Nothing is written past
// the 64 slots.
void PlaceAdapterSlots(NtDiscovery& discovery, int adapter_index);

// Start-up and re-scan on NT: scans the ports, inserts the adapters' tree
// items in ascending index order (description as text, index as data, kept
// in tree_item), shows adapter 0 (InventoryViews::ShowFirstAdapter) and
// sets scan_complete = 1. On a re-scan the caller has run ResetForRescan
// (which empties every slot's type name and adapter) and reset the views.
void DiscoverNtInventory(NtDiscovery& discovery);

}  // namespace td
