// The open and save file dialogs.
#include <wx/filedlg.h>
#include <wx/filefn.h>
#include <wx/filename.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "platform/wx/wx_backend.h"

namespace {

// The flag bits the program passes, with the values they have in the
// Windows open-file structure that the configuration code was written for.
constexpr unsigned kOverwritePrompt = 0x2;
constexpr unsigned kPathMustExist = 0x800;
constexpr unsigned kFileMustExist = 0x1000;

wxString Wildcard(const std::vector<ui::FileFilter>& filters)
{
    wxString w;
    for (const ui::FileFilter& f : filters) {
        if (!w.empty())
            w += "|";
        w += wxb::ToWxText(f.description) + "|" + wxb::ToWxText(f.patterns);
    }
    return w.empty() ? wxString("*") : w;
}

long StyleOf(const ui::FileDialogSpec& spec)
{
    long style = spec.save ? wxFD_SAVE : wxFD_OPEN;
    if (spec.save && (spec.flags & kOverwritePrompt))
        style |= wxFD_OVERWRITE_PROMPT;
    if (!spec.save && (spec.flags & (kFileMustExist | kPathMustExist)))
        style |= wxFD_FILE_MUST_EXIST;
    return style;
}

// A name typed without an extension gets the default one, as the system
// dialogs the program was written for do.
wxString WithDefaultExtension(const wxString& path, const std::string& ext)
{
    if (ext.empty())
        return path;
    wxFileName name(path);
    if (name.HasExt() || name.GetFullName().empty())
        return path;
    return path + "." + wxb::ToWxText(ext);
}

} // namespace

namespace ui {

bool FileDialog(const FileDialogSpec& spec, std::string* chosen, unsigned* flags_out)
{
    if (!wxb::Running())
        return false;
    wxString folder = spec.folder.empty() ? wxGetCwd() : wxb::ToWxText(spec.folder);
    wxString file = wxb::ToWxText(spec.file_name);
    // A proposed name with a folder opens the dialog in that folder.
    wxFileName proposed(file);
    if (proposed.IsAbsolute() || !proposed.GetPath().empty()) {
        if (wxDirExists(proposed.GetPath()))
            folder = proposed.GetPath();
        file = proposed.GetFullName();
    }
    wxb::UsualCursor usual_cursor;
    for (;;) {
        wxFileDialog dialog(wxb::DialogParent(), wxb::ToWxText(spec.title), folder, file,
                            Wildcard(spec.filters), StyleOf(spec));
        wxb::FitNativeDialogToScreen(&dialog);
        if (spec.filter_index >= 0 && size_t(spec.filter_index) < spec.filters.size())
            dialog.SetFilterIndex(spec.filter_index);
        if (dialog.ShowModal() != wxID_OK)
            return false;
        wxString typed = dialog.GetPath();
        wxString path = WithDefaultExtension(typed, spec.default_ext);
        // The dialog asked about the name as typed; a name completed here
        // needs its own question before an existing file is replaced.
        if (path != typed && (StyleOf(spec) & wxFD_OVERWRITE_PROMPT) && wxFileExists(path)) {
            wxString q =
                wxFileName(path).GetFullName() + " already exists.\nDo you want to replace it?";
            if (wxMessageBox(q, wxb::ToWxText(spec.title), wxYES_NO | wxICON_EXCLAMATION,
                             wxb::DialogParent()) != wxYES) {
                folder = wxFileName(path).GetPath();
                file = wxFileName(typed).GetFullName();
                continue;
            }
        }
        if (chosen)
            *chosen = path.utf8_string();
        if (flags_out)
            *flags_out = spec.flags;
        return true;
    }
}

} // namespace ui
