#include "scsi/scsi_commands.h"

#include "scsi/aspi_commands.h"
#include "scsi/passthrough_commands.h"

namespace td {
namespace {

bool UsesAspi(const ScsiCommandContext& context) { return context.inventory.platform == kPlatformWin95; }

}  // namespace

int test_unit_ready(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id) {
    return UsesAspi(context) ? aspi_test_unit_ready(context, adapter_number, target_id)
                             : nt_test_unit_ready(context, adapter_number, target_id);
}

int write_buffer(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id) {
    return UsesAspi(context) ? aspi_write_buffer(context, adapter_number, target_id)
                             : nt_write_buffer(context, adapter_number, target_id);
}

int read_buffer(ScsiCommandContext& context, std::int32_t adapter_number, std::int32_t target_id) {
    return UsesAspi(context) ? aspi_read_buffer(context, adapter_number, target_id)
                             : nt_read_buffer(context, adapter_number, target_id);
}

}  // namespace td
