// The Test function tool (panel not built yet: its title strip only).
#include "app/shell.h"
#include "app/tools.h"

void TestFunctionOpen()
{
    ui::ControlSpec title{ui::Kind::Label, 50000, " Test function", 0, 0, 400, 15};
    title.font = ui::Font::Title;
    title.text_colour = ui::Rgb(255, 255, 255);
    title.back_colour = ui::Rgb(2, 28, 53);
    ui::CreateControl(title);
}

void TestFunctionClose() { ui::DestroyControl(50000); }

void TestFunctionCommand(int) {}
void TestFunctionTick() {}
