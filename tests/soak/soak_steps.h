// The commands the soak gives the program over and over, each done as a
// user does it with the end-to-end tests' steps, each checked to have done
// what it should and to have given the main window back, so that a round
// really did what it counts.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/program_session.h"

namespace td::soak {

// The device the soak opens dialogs for: the disk at SCSI ID 0 on the
// first adapter.
constexpr char kFirstAdapter[] = "Harrowgate Brightlane BL-2940U PCI SCSI Host Adapter";
constexpr char kDiskId[] = "0";

// Options > Re-scan SCSI Bus, answered OK; waits until the scan has filled
// the list again (`rows` IDs), which leaves no device chosen.
testing::AssertionResult Rescan(e2e::ProgramSession& program, size_t rows);

// A click on the disk's row of the list.
testing::AssertionResult ChooseTheDisk(e2e::ProgramSession& program);

// Options > Device Properties... for the chosen disk: the device page, a
// click on the host adapter page's tab, both read, then Cancel.
testing::AssertionResult ShowBothPropertyPages(e2e::ProgramSession& program);

// Help > About..., then Cancel.
testing::AssertionResult ShowTheAboutBox(e2e::ProgramSession& program);

// Options > Device Diagnostics... for the chosen disk, then Cancel without
// testing.
testing::AssertionResult OpenAndCloseDiagnostics(e2e::ProgramSession& program);

// The same, with Begin Tests, Yes to the warning, the three tests passed
// and OK. `took_ms` is how long the run took, from Yes to the last verdict.
testing::AssertionResult RunTheDiagnostics(e2e::ProgramSession& program, DWORD& took_ms);

// File > Save As... / File > Open... with a file's full path typed into the
// dialog; waits until the title names the file.
testing::AssertionResult SaveListingAs(e2e::ProgramSession& program, const std::string& path);
testing::AssertionResult OpenListing(e2e::ProgramSession& program, const std::string& path);

}  // namespace td::soak
