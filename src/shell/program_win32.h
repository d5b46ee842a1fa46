// The running program's state: one instance, program-wide.
//
// The portable records (inventory, texts, placement, help files) live here
// beside the window handles of the Win32 face, and the seams the core works
// through are the Win32 ones. Functions take what they need by reference;
// only window and dialog procedures, which Windows calls without context,
// reach the instance through TheProgram().
#pragma once

#include <windows.h>
#include <commctrl.h>

#include "common/shared_texts.h"
#include "common/win32_seams.h"
#include "discovery/aspi_discovery.h"
#include "discovery/nt_discovery.h"
#include "inventory/inventory.h"
#include "inventory/views_win32.h"
#include "scsi/aspi_library_win32.h"
#include "scsi/aspi_questions.h"
#include "scsi/command_context.h"
#include "shell/help_viewer_win32.h"
#include "shell/installation.h"
#include "shell/platform.h"
#include "shell/window_placement.h"

namespace td {

// What the adapter tree keeps besides its window: the root item, parent of
// every adapter item, and the positions of its three images.
struct TreeState {
    HTREEITEM root;
    int root_image;
    int adapter_image;
    int selected_image;
};

struct AppState {
    HINSTANCE instance;
    HWND main_window;
    HWND status_bar;    // control 1000
    HWND toolbar;       // control 1001
    HWND device_list;   // control 1002
    HWND adapter_tree;  // control 1003
    HMENU main_menu;
    HACCEL accelerators;  // F5 and Alt+Enter, the menu's keys
    HWND focus_pane;      // the pane that last had the focus: it gets it back
    HIMAGELIST small_icons;
    HIMAGELIST large_icons;
    HIMAGELIST tree_icons;
    std::int32_t host_adapter_selected;
    std::int32_t selected_adapter;  // adapter whose devices the list shows; -1 none
    std::int32_t selected_slot;     // see the properties and diagnostics commands; -1 none
    std::int32_t skip_rescan_prompt;
    TreeState tree;
    char status_selected_label[32];  // string 10, loaded on first use
    char status_count_label[64];     // string 11, loaded on first use
    char title[260];                 // the window title after Open or Save As, and tooltips
    char id_text[16];                // the SCSI ID the list asked to display
};

// The listing file last chosen by Open or Save As: its full path, which
// Save writes to, and its name without folder, which the title shows.
struct ListingFileNames {
    char path[260];
    char title[260];
};

struct Program {
    AppState app;
    Inventory inventory;
    SharedTexts texts;
    WindowPlacementRecord placement;  // read at start-up, kept for the whole run
    HelpFiles help;
    HelpViewerKind help_viewer;  // decided at start-up from the system's version
    HtmlHelpLibrary html_help;   // loaded when the manual is first shown through HTML Help
    WinHelpUse winhelp_use;      // the files WinHelp was given, let go at the end

    // SCSI command execution: the one execute block shared by the device
    // scan and the tests, and what a failed command leaves behind.
    aspi::SrbExecScsiCmd exec_srb;
    AspiCommandArea aspi_area;
    SenseReport sense_report;
    LastError last_error;
    LoadedAspiLibrary aspi;    // Windows 95
    std::int32_t aspi_loaded;  // the support query succeeded: release the library at the end
    // The Details page's questions: on Windows 95 in blocks of their own,
    // which the manager may still write after the page has gone; on NT
    // from threads of their own.
    AspiQuestionArea question_area;
    Win32Worker worker;
    DeviceIo* device_io;  // Windows NT: the port driver's devices (SystemDeviceIo); null elsewhere

    // Discovery: the ASPI INQUIRY chain (Windows 95) and the port scan's
    // working data (NT).
    ScanChain chain;
    NtScanArea nt_area;

    ListingFileNames listing_file;
    // A listing file replaced the adapter records since the last discovery:
    // their registry details are the file's, not the machine's.
    bool records_from_listing;

    Win32Registry registry;
    Win32Messages messages;
    Win32Clock clock;
    Win32NumberFormat number_format;
    Win32InventoryViews views{*this};

    // The commands' view of the above (Windows 95: the loaded library; NT:
    // the port driver's devices).
    ScsiCommandContext ScsiContext();
};

Program& TheProgram();

// The device I/O the NT paths use: kernel32 in the shipped program, the
// virtual bus in the NT simulator build (one of two files defines it).
DeviceIo& SystemDeviceIo();

constexpr char kMainWindowClass[] = "APP_UI_WClass";
constexpr char kMainWindowCaption[] = "Tessaline Diagnostics";
constexpr char kMainMenuName[] = "APP_UI_MENU";
constexpr char kAcceleratorsName[] = "APP_UI_KEYS";

}  // namespace td
