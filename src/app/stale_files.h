// Leftovers of a program that was killed while it saved a setting.
#pragma once

namespace app {

// Removes the stale temporary files of the atomic rewrite from the folders
// the program writes: the start-up folder (RegScope.ini), the folder of the
// tool configuration file in use, the password store's folder and the
// folder of the last saved bitmap.
void RemoveStaleTemporaryFiles();

} // namespace app
