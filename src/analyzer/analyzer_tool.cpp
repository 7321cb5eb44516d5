// The Analyzer tool (panel not built yet: its title strip only).
#include "app/control_ids.h"
#include "app/shell.h"
#include "tools/tool_set.h"

namespace analyzer {

namespace {

constexpr int kTitle = app::kAnalyzerBase;

} // namespace

void Open()
{
    ui::ControlSpec title{ui::Kind::Label, kTitle, " Analyzer", 0, 0, 400, 15};
    title.font = ui::Font::Title;
    title.text_colour = ui::Rgb(255, 255, 255);
    title.back_colour = ui::Rgb(2, 28, 53);
    ui::CreateControl(title);
}

void Close() { ui::DestroyControl(kTitle); }

void Command(int) {}

void Tick() {}

} // namespace analyzer
