// The default RegScope.ini and RegScope.cfg, and the reset that writes them.
#include <string>
#include <vector>

#include "app/config_store.h"
#include "platform/system.h"
#include "platform/ui.h"

namespace app {

namespace {

constexpr char kIniName[] = "RegScope.ini";
constexpr char kCfgName[] = "RegScope.cfg";

struct Lines {
    std::string text;
    void Add(const std::string& line) { text += line + "\r\n"; }
    void Section(const std::string& header, const std::vector<std::string>& entries)
    {
        Add(header);
        for (const std::string& e : entries)
            Add(e);
        Add("");
    }
};

std::string DefaultIni(const std::string& dir)
{
    Lines f;
    f.Add("[General configuration]");
    f.Add("MAIN_POS_X=0");
    f.Add("MAIN_POS_Y=0");
    f.Add("PLOT_POS_X=0");
    f.Add("PLOT_POS_Y=0");
    f.Add("TOOL=MODULE_CFG");
    f.Add("CFG_FILE=" + dir + kPathSeparator + kCfgName);
    return f.text;
}

std::string DefaultCfg(const std::string& dir)
{
    Lines f;
    f.Section("[General configuration]", {"SERIAL_PORT=1", "SERIAL_BAUD=9600", "SERIAL_PARITY=2",
                                          "TIMEOUT=1.0", "SAMPLE_TIME=1.0", "TIME_CALIB=1.0"});
    f.Section("[Configure Modbus module]", {"MODULE_CFG_SLAVE=1", "MODULE_CFG_BAUD=9600",
                                            "MODULE_CFG_PARITY=2", "MODULE_CFG_RES_TIME=0"});
    f.Section("[Test Modbus module]", {"MODULE_SLAVE=1"});

    std::vector<std::string> function = {"FUNCTION_SLAVE=1", "FUNCTION_TEST_FUN=1"};
    for (const char* fn : {"1", "2", "3", "4"}) {
        function.push_back(std::string("FUNCTION_TEST_") + fn + "_ADD=0");
        function.push_back(std::string("FUNCTION_TEST_") + fn + "_QTY=1");
    }
    for (const char* fn : {"5", "6"}) {
        function.push_back(std::string("FUNCTION_TEST_") + fn + "_ADD=0");
        function.push_back(std::string("FUNCTION_TEST_") + fn + "_VAL=0");
    }
    for (const char* fn : {"15", "16"}) {
        function.push_back(std::string("FUNCTION_TEST_") + fn + "_ADD=0");
        function.push_back(std::string("FUNCTION_TEST_") + fn + "_QTY=1");
        function.push_back(std::string("FUNCTION_TEST_") + fn + "_VAL=0\\");
    }
    function.insert(function.end(), {"FUNCTION_TEST_23_ADD_W=0", "FUNCTION_TEST_23_QTY_W=1",
                                     "FUNCTION_TEST_23_ADD_R=0", "FUNCTION_TEST_23_QTY_R=1",
                                     "FUNCTION_TEST_23_VAL=0\\"});
    f.Section("[Test Modbus function]", function);

    f.Section("[Analyzer - plot]",
              {"PLOT_AUTO_START=1", "PLOT_TITLE=Plot Title", "PLOT_SIZE_X=800", "PLOT_SIZE_Y=600",
               "PLOT_DIV_X=20", "PLOT_DIV_Y=4", "PLOT_LABEL_X=5", "PLOT_LABEL_Y=1",
               "PLOT_SUBDIV_X=2", "PLOT_SUBDIV_Y=10", "PLOT_VALUE_MIN=0.0", "PLOT_VALUE_MAX=1000.0",
               "PLOT_TIME_MAX=60.0", "PLOT_CH_LABELS=1", "PLOT_LOG_ENABLE=0",
               "PLOT_LOG_OVERWRITE=0", "PLOT_LOG_FILE=" + dir + kPathSeparator + "Plot.log",
               "PLOT_BMP_FILE=" + dir + kPathSeparator + "Plot.bmp"});

    for (int k = 0; k < 32; ++k) {
        std::string nn = std::string(1, char('0' + (k + 1) / 10)) + char('0' + (k + 1) % 10);
        std::string p = "CH" + nn + "_";
        f.Section("[Analyzer - CH" + nn + " setup]",
                  {p + "ENABLE=" + (k == 0 ? "1" : "0"), p + "SLAVE_ADD=1", p + "TYPE=HOLD_REG",
                   p + "WORD_ADD=" + std::to_string(k), p + "SIGNED=0", p + "MASK=FFFF",
                   p + "SHIFT=0", p + "GAIN=1.0", p + "OFFSET=0.0", p + "FORMAT=0.0",
                   p + "LABEL=" + p + "Label", p + "FORE_COLOR=0", p + "BACK_COLOR=16774371",
                   p + "PLOT=0", p + "PLOT_COLOR=0", p + "PLOT_WIDTH=3"});
    }
    return f.text;
}

// A reset must never destroy what the user configured: the file it replaces
// is copied first to NAME.bak, or NAME.bak2, NAME.bak3 ... when earlier
// resets left those, so no backup is ever overwritten.
std::string FreeBackupName(const std::string& path)
{
    std::string name = path + ".bak";
    for (int n = 2; sys::PathExists(name); ++n)
        name = path + ".bak" + std::to_string(n);
    return name;
}

struct Target {
    std::string path, content, backup;
};

// Copies the file about to be replaced; false with *error set when the copy
// cannot be made (the file must then stay as it is).
bool KeepOld(Target* t, std::string* error)
{
    if (!sys::IsRegularFile(t->path))
        return true;
    std::string old;
    if (!sys::ReadFile(t->path, &old, error))
        return false;
    if (old == t->content)
        return true; // nothing would be lost
    t->backup = FreeBackupName(t->path);
    if (!sys::CopyFile(t->path, t->backup, error)) {
        t->backup.clear();
        return false;
    }
    return true;
}

std::string BaseName(const std::string& path)
{
    size_t sep = path.rfind(kPathSeparator);
    return sep == std::string::npos ? path : path.substr(sep + 1);
}

void ReportFailure(const std::string& path, const std::string& reason, bool nothing_written)
{
    ui::MessageBox("Default configuration files not created:\r\r" + path + "\r" + reason +
                       (nothing_written ? "\r\rNo configuration file was changed." : ""),
                   "Configuration file verify", ui::Icon::Stop, ui::Buttons::Ok);
}

} // namespace

void CreateDefaultFiles()
{
    const std::string dir = sys::WorkingDirectory();
    Target files[2] = {{dir + kPathSeparator + kIniName, DefaultIni(dir), ""},
                       {dir + kPathSeparator + kCfgName, DefaultCfg(dir), ""}};
    std::string error;
    // Every backup is made before anything is written, so that a failure
    // leaves both files as they were.
    for (Target& t : files) {
        if (!KeepOld(&t, &error)) {
            ReportFailure(t.path, error, true);
            return;
        }
    }
    for (Target& t : files) {
        if (!sys::WriteFileAtomic(t.path, t.content, &error)) {
            ReportFailure(t.path, error, &t == &files[0]);
            return;
        }
    }

    std::string text = "Ini file not found or not updated:\r\r" + files[0].path +
                       "\r\rDefault .INI and .CFG files have been created...";
    std::string kept;
    for (const Target& t : files) {
        if (t.backup.empty())
            continue;
        kept += (kept.empty() ? "" : ", ") + BaseName(t.path) + " kept as " + BaseName(t.backup);
    }
    if (!kept.empty())
        text += "\rPrevious " + kept;
    ui::MessageBox(text, "Configuration file verify", ui::Icon::Exclamation, ui::Buttons::Ok);
}

} // namespace app
