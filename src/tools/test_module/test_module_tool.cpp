// The Test module tool (panel not built yet: its title strip only).
#include "app/shell.h"
#include "app/tools.h"

void TestModuleOpen()
{
    ui::ControlSpec title{ui::Kind::Label, 20000, " Test module", 0, 0, 400, 15};
    title.font = ui::Font::Title;
    title.text_colour = ui::Rgb(255, 255, 255);
    title.back_colour = ui::Rgb(2, 28, 53);
    ui::CreateControl(title);
}

void TestModuleClose() { ui::DestroyControl(20000); }

void TestModuleCommand(int) {}
void TestModuleTick() {}
