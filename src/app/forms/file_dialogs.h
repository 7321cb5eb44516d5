// The open and save file dialogs. The filter is a text of description and
// pattern pairs separated by "|" ("Configuration file (*.cfg)|*.cfg"). The
// dialog opens in the folder of the proposed name when it has one, else in
// the initial folder (empty: the working directory). The default extension,
// without its dot, is added to a name typed without one. *flags go to the
// dialog and come back as the dialog left them.
#pragma once

#include <string>

namespace forms {

// First filter preselected; names up to 16384 characters. True when a file
// was chosen; *file_name then holds it.
bool AskOpenFile(const std::string& title, std::string* file_name,
                 const std::string& initial_folder, const std::string& filter,
                 const std::string& default_ext, unsigned* flags);
// Preselects the filter that matches the proposed name's extension (the last
// one when none does); names up to 260 characters.
bool AskSaveFile(const std::string& title, std::string* file_name,
                 const std::string& initial_folder, const std::string& filter,
                 const std::string& default_ext, unsigned* flags);

} // namespace forms
