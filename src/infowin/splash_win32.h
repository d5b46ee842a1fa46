// The splash picture covers the middle of the screen while start-up
// discovers the inventory.
#pragma once

namespace td {

struct Program;

void ShowStartupSplash(Program& program);
void HideStartupSplash(Program& program);

}  // namespace td
