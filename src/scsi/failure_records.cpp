#include "scsi/failure_records.h"

#include <cstring>

namespace td {

void ClearFailureRecords(SenseReport& sense_report, LastError& last_error) {
    sense_report = SenseReport{};
    last_error.text_id = 0;
    std::memset(last_error.system_text, 0, sizeof last_error.system_text);
}

}  // namespace td
