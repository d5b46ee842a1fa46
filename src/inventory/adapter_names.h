// The names an adapter goes by.
//
// An adapter is known by its identifier (what the manager or the registry
// calls it; a listing ties its devices to it) and shown by its label, the
// record's description (the tree, the status bar and the properties sheet
// all show it). Neither may be empty: an adapter that told no name is
// "Host Adapter <number>" in the interface language, its adapter number as
// the manager counts (the ASPI host adapter number, the NT port number).
#pragma once

#include "inventory/inventory.h"

namespace td {

struct SharedTexts;

// An adapter that told no identifier (its host adapter inquiry failed, its
// port has no "Driver" value) gets the numbered name as identifier, so that
// a listing still tells its devices from another's.
void NameUnnamedAdapter(HostAdapterRecord& record, const SharedTexts& texts);

// The label: the registry's description; without one, the identifier;
// without that either, the numbered name.
void LabelAdapter(HostAdapterRecord& record, const SharedTexts& texts);

}  // namespace td
