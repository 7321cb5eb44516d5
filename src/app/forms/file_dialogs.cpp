// The file dialogs, set up from a filter text and a proposed name.
#include "app/forms/file_dialogs.h"

#include "app/forms/form_rules.h"
#include "app/forms/shared_boxes.h"
#include "platform/system.h"

namespace forms {

namespace {

// The name buffers the dialogs were always given; the programs and files
// that use these names rely on no more.
constexpr size_t kOpenNameChars = 16384;
constexpr size_t kSaveNameChars = 260;

// The longest part between slashes the file systems take.
bool HasOverlongPart(const std::string& name)
{
    size_t start = 0;
    for (size_t slash;
         (slash = name.find_first_of(sys::kNameSeparators, start)) != std::string::npos;
         start = slash + 1)
        if (slash - start > sys::kMaxNamePart)
            return true;
    return name.size() - start > sys::kMaxNamePart;
}

bool RunDialog(ui::FileDialogSpec spec, size_t name_limit, std::string* file_name, unsigned* flags)
{
    // A proposal too long for the buffer is dropped whole: a cut path would
    // name some other file.
    spec.file_name = file_name->size() <= name_limit ? *file_name : std::string();
    spec.folder =
        DialogFolder(spec.file_name, spec.folder, sys::WorkingDirectory(), sys::HomeDirectory());
    spec.flags = *flags;
    std::string answer;
    unsigned flags_out = *flags;
    if (!ui::FileDialog(spec, &answer, &flags_out))
        return false;
    *flags = flags_out;
    std::string chosen = ChosenName(answer);
    if (chosen.empty())
        return false;
    // A name the buffer could not have held is refused, as the dialog
    // itself would, rather than cut into a different name; the user is told
    // why nothing happens.
    if (chosen.size() > name_limit || HasOverlongPart(chosen)) {
        ShowWarning("The file name is too long:\r" + chosen + "\r\rA name may have at most " +
                        std::to_string(name_limit) + " characters, each of its parts at most " +
                        std::to_string(sys::kMaxNamePart) + ".",
                    spec.title);
        return false;
    }
    *file_name = chosen;
    return true;
}

} // namespace

bool AskOpenFile(const std::string& title, std::string* file_name,
                 const std::string& initial_folder, const std::string& filter,
                 const std::string& default_ext, unsigned* flags)
{
    ui::FileDialogSpec spec;
    spec.save = false;
    spec.title = title;
    spec.folder = initial_folder;
    spec.filters = ParseFilterText(filter);
    spec.filter_index = 0;
    spec.default_ext = default_ext;
    return RunDialog(spec, kOpenNameChars, file_name, flags);
}

bool AskSaveFile(const std::string& title, std::string* file_name,
                 const std::string& initial_folder, const std::string& filter,
                 const std::string& default_ext, unsigned* flags)
{
    ui::FileDialogSpec spec;
    spec.save = true;
    spec.title = title;
    spec.folder = initial_folder;
    spec.filters = ParseFilterText(filter);
    spec.filter_index = PreselectSaveFilter(*file_name, &spec.filters);
    spec.default_ext = default_ext;
    return RunDialog(spec, kSaveNameChars, file_name, flags);
}

} // namespace forms
