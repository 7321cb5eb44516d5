// Each folder is cleaned once per start; a temporary file that another
// running instance is writing is recognised by its lock and kept.
#include "app/stale_files.h"

#include <filesystem>
#include <set>
#include <string>

#include "app/password_store.h"
#include "app/shell.h"
#include "platform/system.h"

namespace app {

void RemoveStaleTemporaryFiles()
{
    std::set<std::string> folders;
    for (const std::string& file : {IniPath, CfgPath, PasswordStorePath(0)})
        if (!file.empty())
            folders.insert(std::filesystem::path(file).parent_path().string());
    for (const std::string& folder : folders)
        if (!folder.empty())
            sys::RemoveStaleTemporaries(folder);
}

} // namespace app
