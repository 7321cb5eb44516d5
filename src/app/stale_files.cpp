// Each folder is cleaned once per start; a temporary file that another
// running instance is writing is recognised by its lock and kept.
#include "app/stale_files.h"

#include <filesystem>
#include <set>
#include <string>

#include "app/config_store.h"
#include "app/password_store.h"
#include "app/shell.h"
#include "platform/system.h"

namespace app {

void RemoveStaleTemporaryFiles()
{
    // Only the folders of the program's own files: a folder that a
    // configuration file merely names (the bitmap's) may belong to anyone.
    std::set<std::string> folders;
    for (const std::string& file : {IniPath, CfgPath, PasswordStorePath(0)})
        if (!file.empty()) {
            std::string folder = std::filesystem::path(file).parent_path().string();
            folders.insert(folder.empty() ? "." : folder);
        }
    for (const std::string& folder : folders)
        sys::RemoveStaleTemporaries(folder);
}

} // namespace app
