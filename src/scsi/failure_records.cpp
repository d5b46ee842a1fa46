#include "scsi/failure_records.h"

#include <cstring>

namespace td {

void ClearFailureRecords(SenseReport& sense_report, LastError& last_error) {
    sense_report = SenseReport{};
    last_error.text_id = 0;
    std::memset(last_error.system_text, 0, sizeof last_error.system_text);
    std::memset(last_error.values, 0, sizeof last_error.values);
}

void RecordFailure(LastError& last_error, std::int32_t text_id, std::uint32_t first, std::uint32_t second,
                   std::uint32_t third, std::uint32_t fourth) {
    last_error.text_id = text_id;
    last_error.values[0] = first;
    last_error.values[1] = second;
    last_error.values[2] = third;
    last_error.values[3] = fourth;
}

}  // namespace td
