// Save to bmp and Plot log file...: the two file names the Analyzer form
// chooses, each remembered in the tool configuration file.
#include "analyzer/plot/bmp_writer.h"
#include "analyzer/plot/plot_log.h"
#include "analyzer/plot_current.h"
#include "analyzer/plot_window.h"
#include "app/config_store.h"
#include "app/forms/file_dialogs.h"
#include "app/forms/shared_boxes.h"
#include "app/shell.h"
#include "platform/system.h"

namespace analyzer {

namespace {

constexpr char kCR = '\r';
const char* const kBmpTitle = "Save current plotting to .BMP file";
const char* const kLogTitle = "Save next plotting to .LOG file";

// The save dialog on the stored name, then the replace question for a name
// that exists; the chosen name is written to `key` before anything else
// happens. False when the user cancelled either, or when the name is one of
// the program's own files and `own_file_refusal` is given: then that box
// says so.
bool ChooseFileName(const char* key, const char* title, const char* filter, const char* ext,
                    const char* own_file_refusal, std::string* name)
{
    *name = app::ReadConfigKey(app::CfgPath, key);
    // A relative name is in the folder the program started in, beside
    // RegScope.ini, which is also where the plot log of that name is
    // written; the dialog opens in the folder of the name.
    if (!name->empty() && (*name)[0] != app::kPathSeparator)
        *name = sys::WorkingDirectory() + app::kPathSeparator + *name;
    unsigned flags = 0;
    // The home folder stands in for the drive root the dialog once opened in.
    if (!forms::AskSaveFile(title, name, sys::HomeDirectory(), filter, ext, &flags))
        return false;
    // The log checks its file when it opens it; a bitmap replaces the file
    // at once, settings or password store alike.
    if (own_file_refusal && IsOwnFile(*name, ProgramOwnFiles())) {
        ShowPlotFileError(own_file_refusal, *name, kOwnFileReason, title);
        return false;
    }
    if (sys::PathExists(*name) &&
        !forms::ConfirmOkCancel(std::string("File already exist.") + kCR + kCR +
                                    "Replace existing copy of this file?" + kCR + *name,
                                title))
        return false;
    app::WriteConfigKey(app::CfgPath, key, *name);
    return true;
}

} // namespace

void SaveToBmp()
{
    std::string name;
    if (!ChooseFileName("PLOT_BMP_FILE", kBmpTitle, "Bitmap file (*.bmp)|*.bmp", "bmp",
                        "The bitmap file was not replaced.", &name))
        return;
    PixelView pixels;
    if (!CurrentPlotPixels(&pixels)) {
        forms::ShowWarning("There is no plot window to save.", kBmpTitle);
        return;
    }
    std::string error;
    if (!WriteBmpFile(name, pixels, &error))
        ShowPlotFileError("The bitmap file could not be written.", name, error, kBmpTitle);
}

void ChoosePlotLogFile()
{
    // Only the name: a running plot keeps writing the log it opened.
    std::string name;
    ChooseFileName("PLOT_LOG_FILE", kLogTitle, "Logger file (*.log)|*.log", "log", nullptr, &name);
}

} // namespace analyzer
