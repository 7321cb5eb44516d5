// The main window's menu and accelerator table.
#pragma once

#include <vector>

#include "platform/ui.h"

namespace app {

std::vector<ui::MenuItem> BuildMainMenu();
std::vector<ui::Accelerator> MainAccelerators();

} // namespace app
