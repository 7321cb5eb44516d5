// The Configure module tool (panel not built yet: its title strip only).
#include "app/shell.h"
#include "app/tools.h"

void ConfigureModuleOpen()
{
    ui::ControlSpec title{ui::Kind::Label, 10000, " Configure module", 0, 0, 400, 15};
    title.font = ui::Font::Title;
    title.text_colour = ui::Rgb(255, 255, 255);
    title.back_colour = ui::Rgb(2, 28, 53);
    ui::CreateControl(title);
}

void ConfigureModuleClose() { ui::DestroyControl(10000); }

void ConfigureModuleCommand(int) {}
