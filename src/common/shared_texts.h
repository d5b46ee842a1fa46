// The texts loaded once at start-up.
//
// Device type names, dialog titles and the diagnostics texts are read from
// the string table into fixed buffers before anything else happens, so they
// follow the user interface language. A text that cannot be loaded stops
// the start-up.
#pragma once

#include "common/interface_language.h"

namespace td {

class Messages;

// The device type names (and the texts of an adapter's own slot and of an
// empty ID) of every language set, so that a slot's type is recognised
// whatever language wrote it: a listing saved under another language, or
// NT discovery's fixed English names under any interface language.
struct TypeNameCatalog {
    static constexpr int kIds[] = {50010, 50011, 50026, 50027, 50028, 50029, 50030, 50031, 50032, 50033, 50034, 50071};
    static constexpr int kIdCount = sizeof kIds / sizeof kIds[0];
    // names[language][i] is string kIds[i] of that set; empty where it
    // does not load.
    char names[kInterfaceLanguageCount][kIdCount][32];
};

struct SharedTexts {
    char status_caption[32];         // 50000 "Tessaline Diagnostics status:"
    char no_device[32];              // 50010 "No Device"
    char host_adapter[32];           // 50011 "Host Adapter": type text of an adapter's own slot
    char rescan_question[32];        // 50012
    char none[32];                   // 50018 "None" (status bar)
    char open_title[32];             // 50019 "Open a File"
    char hard_disk[32];              // 50026
    char cd_rom[32];                 // 50027
    char tape[32];                   // 50028
    char removable[32];              // 50029 "Removeable"
    char type_host_adapter[32];      // 50030 "Host Adapter" (device type table)
    char worm[32];                   // 50031
    char scanner[32];                // 50032
    char printer[32];                // 50071
    char type_no_device[32];         // 50033 "No Device" (device type table)
    char unknown[32];                // 50034 "UnKnown"
    char save_title[32];             // 50038 "Save File As"
    char properties_caption[32];     // 50039 "SCSI Device Properties"
    char controller_refusal[120];    // 50040
    char ok[32];                     // 50041 "OK"
    char no_device_refusal[92];      // 50042
    char begin_tests[32];            // 50043 "Begin Tests"
    char warning_shared[512];        // 50044
    char warning_destructive[512];   // 50045
    char warning_safe_devices[512];  // 50046
    char warning_proceed[512];       // 50047
    char tests_caption[32];          // 50048 "Diagnostic Tests:"
    char in_progress[100];           // 50049
    char testing[32];                // 50050 "Testing..."
    char passed[32];                 // 50051 "PASSED!"
    char failed[32];                 // 50052 "FAILED!"
    char sense_heading[100];         // 50053 "Last Error Reported Sense Data:"
    char sense_key_label[32];        // 50054 "\nSense Key:"
    char sense_code_label[32];       // 50055 "\nSense Code:"
    char sense_qualifier_label[32];  // 50056 "\nSense Code Qualifier:"
    char continue_question[100];     // 50057
    char testing_complete[100];      // 50060
    char tests_successful[100];      // 50063
    char not_tested[32];             // 50070 "Not Tested"

    TypeNameCatalog type_names;  // of every language, for recognising slots
    // 50072 "Host Adapter %1": an adapter that told no name. Loaded after
    // the 39; a file without it falls back to the English text.
    char numbered_adapter[32];
};

// The shared text loaded from string `id` (hard_disk for 50026 ...), or
// null when no shared text is loaded from it.
const char* SharedTextOf(const SharedTexts& texts, int id);

// Loads the 39 texts in their fixed order; false at the first that does
// not load (the remaining buffers are then left as they were). Then the
// type names of every language set and the numbered adapter name, which
// never fail the start-up.
bool LoadSharedTexts(Messages& messages, SharedTexts& texts);

}  // namespace td
