// Scenario lines about the frames on the line as the program's transaction
// engine saw them (the capture), and the trace file that lists them in the
// communication monitor's lines.
#include <cstdlib>
#include <string>

#include "modbus/capture.h"
#include "modbus/frame_lines.h"
#include "monitor/monitor_lines.h"
#include "platform/system.h"
#include "script/scenario_commands.h"

namespace script {

namespace {

// The next frame an "expect frame" line looks at: the request of transaction
// `sequence`, or its reply when reply_next.
struct FrameCursor {
    uint64_t sequence = 0;
    bool reply_next = false;
};

FrameCursor frames;

struct Trace {
    std::string path; // empty: no trace
    monitor::Cursor cursor;
    sys::AppendFile file;
    std::string lines; // of the transaction being written, reused
};

Trace trace;

struct Frame {
    bool reply = false;
    std::string hex;
};

// Takes the next frame; false when there is none yet.
bool NextFrame(Frame* frame)
{
    if (frames.sequence < modbus::CaptureOldestSequence())
        frames = FrameCursor{modbus::CaptureOldestSequence(), false};
    const modbus::Transaction* t = modbus::Captured(frames.sequence);
    if (!t)
        return false;
    frame->reply = frames.reply_next;
    if (frames.reply_next) {
        frame->hex = modbus::HexBytes(t->reply, t->reply_size);
        frames = FrameCursor{frames.sequence + 1, false};
    } else {
        frame->hex = modbus::HexBytes(t->request, t->request_size);
        // A broadcast has no reply to look at.
        frames = t->Broadcast() ? FrameCursor{frames.sequence + 1, false}
                                : FrameCursor{frames.sequence, true};
    }
    return true;
}

std::string Shown(const Frame& f)
{
    return std::string(f.reply ? "rx " : "tx ") + (f.hex.empty() ? "none" : f.hex);
}

// expect frame tx|rx HEX... | none, expect frame end
void ExpectFrame(const ScenarioLine& line)
{
    const auto& w = line.words;
    Frame found;
    bool have = NextFrame(&found);
    if (w.size() == 3 && w[2] == "end") {
        if (have)
            ScenarioFail(line, "frames: expected no more, found \"" + Shown(found) + "\"");
        return;
    }
    if (w.size() < 4 || (w[2] != "tx" && w[2] != "rx")) {
        ScenarioFail(line, "expect frame needs tx or rx and the bytes, or end");
        return;
    }
    std::string bytes;
    for (size_t i = 3; i < w.size(); ++i)
        bytes += w[i];
    std::string expected = w[2] + " " + (bytes == "none" ? "none" : NormalisedHex(bytes));
    std::string shown = have ? Shown(found) : std::string("<none>");
    if (shown != expected)
        ScenarioFail(line, "frame: expected \"" + expected + "\", found \"" + shown + "\"");
}

void TraceProblem(const std::string& error)
{
    std::fprintf(stderr, "regscope-script: cannot write the trace %s: %s\n", trace.path.c_str(),
                 error.c_str());
}

// Each transaction reaches the file in one write as it ends: memory stays
// bounded however many a scenario line makes.
void TraceTransaction(const modbus::Transaction& t)
{
    if (!sys::AppendFileOpen(trace.file))
        return;
    trace.lines.clear();
    monitor::AppendLines(&trace.cursor, t, &trace.lines);
    std::string error;
    if (!sys::AppendToFile(&trace.file, trace.lines, &error) ||
        !sys::FlushAppendFile(&trace.file, &error)) {
        TraceProblem(error);
        sys::CloseAppendFile(&trace.file, &error);
    }
}

void CloseTrace()
{
    std::string error;
    if (!sys::CloseAppendFile(&trace.file, &error))
        TraceProblem(error);
}

} // namespace

void StartFrames(const std::string& trace_path)
{
    modbus::SetCaptureEnabled(true);
    frames = FrameCursor{modbus::CaptureNextSequence(), false};
    CloseTrace();
    trace.path = trace_path;
    trace.cursor = monitor::CursorFromNow();
    modbus::SetCaptureListener(nullptr);
    if (trace.path.empty())
        return;
    std::string error;
    if (!sys::OpenAppendFile(trace.path, &trace.file, &error)) {
        TraceProblem(error);
        return;
    }
    modbus::SetCaptureListener(TraceTransaction);
    // Closed also when a set-up line ends the run early.
    static bool registered = false;
    if (!registered)
        std::atexit(CloseTrace);
    registered = true;
}

void FinishTrace()
{
    modbus::SetCaptureListener(nullptr);
    CloseTrace();
}

bool FrameAction(const ScenarioLine& line)
{
    if (line.words.size() != 1 || line.words[0] != "forget-frames")
        return false;
    frames = FrameCursor{modbus::CaptureNextSequence(), false};
    return true;
}

bool FrameExpectation(const ScenarioLine& line)
{
    if (line.words.size() < 2 || line.words[1] != "frame")
        return false;
    ExpectFrame(line);
    return true;
}

} // namespace script
