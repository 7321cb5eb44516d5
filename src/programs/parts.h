// The parts every program is made of, in the table the shell works from:
// the five tools and the communication monitor.
#pragma once

#include "app/tools.h"

namespace programs {

const app::Parts& AllParts();

} // namespace programs
