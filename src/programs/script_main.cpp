// regscope-script: runs scenario files against the program on the headless
// backend, for end-to-end tests and for reproducing bugs.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "analyzer/plot_window.h"
#include "app/password_store.h"
#include "platform/folders.h"
#include "platform/system.h"
#include "programs/parts.h"
#include "script/scenario.h"
#include "script/scenario_commands.h"

namespace {

void Usage(FILE* out)
{
    std::fprintf(out, "usage: regscope-script [--dir FOLDER] [--keep] [--trace FILE] SCENARIO\n"
                      "       regscope-script scan [options]   (scan --help tells them)\n"
                      "Runs a scenario (see docs/scenarios.md) in FOLDER, or in a new empty\n"
                      "temporary folder that is removed afterwards unless --keep is given or\n"
                      "an expectation failed. Exit code 0 when every expectation held.\n"
                      "--trace FILE writes every frame on the line to FILE, one line each,\n"
                      "as the communication monitor shows them.\n");
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 2 && std::strcmp(argv[1], "scan") == 0)
        return script::RunScanCommand(argc - 1, argv + 1);
    std::string dir, file, trace;
    bool keep = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dir") == 0 && i + 1 < argc) {
            dir = argv[++i];
        } else if (std::strcmp(argv[i], "--trace") == 0 && i + 1 < argc) {
            trace = argv[++i];
        } else if (std::strcmp(argv[i], "--keep") == 0) {
            keep = true;
        } else if (std::strcmp(argv[i], "--help") == 0) {
            Usage(stdout);
            return 0;
        } else if (argv[i][0] == '-' || !file.empty()) {
            std::fprintf(stderr, "regscope-script: unexpected argument \"%s\"\n", argv[i]);
            Usage(stderr);
            return 2;
        } else {
            file = argv[i];
        }
    }
    if (file.empty()) {
        Usage(stderr);
        return 2;
    }
    if (!sys::IsAbsolutePath(file))
        file = sys::WorkingDirectory() + "/" + file;
    // Named from where the runner started, not from the scenario's folder.
    if (!trace.empty() && !sys::IsAbsolutePath(trace))
        trace = sys::WorkingDirectory() + "/" + trace;

    std::string text, error;
    if (!sys::ReadFile(file, &text, &error)) {
        std::fprintf(stderr, "regscope-script: cannot read %s: %s\n", file.c_str(), error.c_str());
        return 2;
    }
    std::vector<script::ScenarioLine> lines;
    if (!script::ParseScenario(text, &lines, &error)) {
        std::fprintf(stderr, "%s: %s\n", file.c_str(), error.c_str());
        return 2;
    }

    bool temporary = dir.empty();
    if (temporary && !sys::MakeScratchFolder("regscope-scenario-", &dir, &error)) {
        std::fprintf(stderr, "regscope-script: mkdtemp: %s\n", error.c_str());
        return 2;
    }
    if (!sys::EnterFolder(dir, &error)) {
        std::fprintf(stderr, "regscope-script: cannot enter %s\n", dir.c_str());
        return 2;
    }
    // A scenario never sees the password of the person running it: its
    // store lives in the scenario's folder unless a line says otherwise.
    app::SetPasswordFolderForTests(dir);
    script::StartFrames(trace);
    int code = script::RunScenario(file, lines, programs::AllParts());
    script::FinishTrace();
    if (temporary && !keep && code == 0) {
        if (!sys::RemoveFolderTree(dir))
            std::fprintf(stderr, "regscope-script: could not remove %s\n", dir.c_str());
    } else if (temporary) {
        std::fprintf(stderr, "regscope-script: files kept in %s\n", dir.c_str());
    }
    analyzer::ReleasePlotWindows();
    return code;
}
