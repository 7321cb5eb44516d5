// Scenario lines for the bus scan: `scan` runs one on the program's line,
// to its end or until `stop-after` tries, and the expectations look at what
// it found.
//
//   scan [from=N] [to=N] [bauds=9600,19200] [parities=2,3] [function=17|3|4]
//        [register=N] [config-mode] [stop-after=N]
//   expect scan-list "TEXT"       the numbered list, lines ended by \r\n
//   expect scan-refused "TEXT"    why the settings were refused ("" when not)
//   expect scan-tries N           tries made
//   expect scan-estimate PERCENT  the duration within PERCENT of the estimate
#include <cmath>
#include <cstdlib>

#include "app/shell.h"
#include "script/scenario_commands.h"
#include "tools/scan/scan_run.h"
#include "tools/scan/scan_settings.h"

namespace script {

namespace {

struct LastScan {
    std::string list, refusal;
    size_t tries = 0;
    double elapsed_s = 0, estimated_s = 0;
};

LastScan last;

long Int(const std::string& w) { return std::strtol(w.c_str(), nullptr, 10); }

void RunScan(const ScenarioLine& line)
{
    scan::Settings s = scan::LoadSettings();
    long stop_after = -1;
    for (size_t i = 1; i < line.words.size(); ++i) {
        const std::string& w = line.words[i];
        const size_t eq = w.find('=');
        const std::string name = w.substr(0, eq);
        const std::string value = eq == std::string::npos ? "" : w.substr(eq + 1);
        if (name == "from")
            s.from = int(Int(value));
        else if (name == "to")
            s.to = int(Int(value));
        else if (name == "bauds")
            s.bauds = scan::ParseBauds(value);
        else if (name == "parities")
            s.parities = scan::ParseParities(value);
        else if (name == "function")
            s.function = int(Int(value));
        else if (name == "register")
            s.register_address = Int(value);
        else if (name == "config-mode")
            s.config_mode = true;
        else if (name == "stop-after")
            stop_after = Int(value);
        else
            ScenarioFail(line, "unknown scan option \"" + name + "\"");
    }
    scan::Scanner scanner;
    last = LastScan{};
    last.refusal = scanner.Begin(s, app::SerialSettings.line, double(app::SerialSettings.timeout));
    if (!last.refusal.empty())
        return;
    last.estimated_s = scanner.EstimatedSeconds();
    while (scanner.Step())
        if (stop_after >= 0 && scanner.TriesDone() >= size_t(stop_after))
            break;
    scanner.Finish();
    last.tries = scanner.TriesDone();
    last.elapsed_s = scanner.ElapsedSeconds();
    last.list = scan::ListText(scanner.Findings(), scanner.Network());
    if (!scanner.LineFailure().empty())
        last.refusal = scanner.LineFailure();
}

void Report(const ScenarioLine& line, const std::string& what, const std::string& expected,
            const std::string& found)
{
    if (expected != found)
        ScenarioFail(line, what + ": expected \"" + expected + "\", found \"" + found + "\"");
}

} // namespace

bool ScanAction(const ScenarioLine& line)
{
    if (line.words[0] != "scan")
        return false;
    RunScan(line);
    return true;
}

bool ScanExpectation(const ScenarioLine& line)
{
    const auto& w = line.words;
    if (w.size() < 3 || w[1].rfind("scan-", 0) != 0)
        return false;
    if (w[1] == "scan-list") {
        Report(line, "scan list", w[2], last.list);
    } else if (w[1] == "scan-refused") {
        Report(line, "scan refusal", w[2], last.refusal);
    } else if (w[1] == "scan-tries") {
        Report(line, "scan tries", w[2], std::to_string(last.tries));
    } else if (w[1] == "scan-estimate") {
        const double off = 100 * std::fabs(last.elapsed_s / last.estimated_s - 1);
        if (!(off <= std::strtod(w[2].c_str(), nullptr)))
            ScenarioFail(line, "scan took " + std::to_string(last.elapsed_s) + " s against " +
                                   std::to_string(last.estimated_s) + " s estimated");
    } else {
        return false;
    }
    return true;
}

} // namespace script
