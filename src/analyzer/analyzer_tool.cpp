// The Analyzer form: opening and closing it, and the handling of its
// commands.
#include "analyzer/analyzer_tool.h"
#include "analyzer/acquisition.h"
#include "analyzer/analyzer_ids.h"
#include "analyzer/channel_cells.h"
#include "analyzer/channel_setup.h"
#include "analyzer/channel_store.h"
#include "analyzer/plot_window.h"
#include "app/config_store.h"
#include "app/forms/builders.h"
#include "app/shell.h"

namespace analyzer {
namespace {

struct FormButton {
    int id;
    const char* text;
    int x;
};

constexpr FormButton kButtons[] = {
    {kReadAllId, "Read all", 15},
    {kWriteAllId, "Write all", 70},
    {kAutoReadId, "Auto Read", 125},
    {kPlotStartId, "Plot Start", 180},
    {kSaveBmpId, "Save to bmp...", 235},
    {kPlotSetupId, "Plot setup...", 420},
    {kPlotLogFileId, "Plot log file...", 475},
};

constexpr int kButtonY = 280;
constexpr int kButtonWidth = 50;

// The key is added the first time the box changes.
constexpr char kBlockReadAfter[] = "PLOT_BMP_FILE";
constexpr char kBlockReadHint[] =
    "Read neighbouring registers of one slave with one request. Valid: 0÷1";

void AddBlockReadsBox()
{
    ui::CreateControl({.kind = ui::Kind::Check,
                       .id = kBlockReadsId,
                       .text = "Block reads",
                       .x = 300,
                       .y = kButtonY,
                       .w = 60,
                       .h = 15,
                       .style = ui::kTabStop,
                       .text_colour = ui::Rgb(0, 0, 0),
                       .back_colour = app::PanelColour});
}

void ShowBlockReadsSetting()
{
    const bool on = BlockReadsSetting();
    SetBlockReads(on);
    ui::SetChecked(kBlockReadsId, on);
}

// Any notification shows the hint; only a change of state writes.
void BlockReadsCommand()
{
    app::ShowStatus(kBlockReadHint, 0);
    const bool on = ui::IsChecked(kBlockReadsId);
    if (on == BlockReads())
        return;
    SetBlockReads(on);
    app::WriteOptionalConfigKey(app::CfgPath, kBlockReadKey, on ? "1" : "0", kBlockReadAfter);
}

// The form is kept between openings: building its 171 controls is most of
// what opening it costs.
constexpr int kForm = 1;

void BuildForm()
{
    ui::BeginKeptForm(kForm);
    forms::AddTitleBar(kTitleId, " Analyzer", 15, 10, 510);
    BuildCells();
    for (const FormButton& b : kButtons)
        forms::AddButton(b.id, b.text, b.x, kButtonY, kButtonWidth);
    AddBlockReadsBox();
    ui::EndKeptForm();
}

// What a form built now would show, from the file as it is now.
void ResetForm()
{
    for (const FormButton& b : kButtons)
        if (ui::GetText(b.id) != b.text)
            ui::SetText(b.id, b.text);
    ResetCells();
}

} // namespace

void Open()
{
    // Not painted while it comes, so the user sees the finished form.
    ui::FreezeMainWindow();
    ui::SetClientSize(545, 350);
    LoadChannels(app::CfgPath);
    ForgetReadValues();
    if (ui::ShowKeptForm(kForm))
        ResetForm();
    else
        BuildForm();
    ShowBlockReadsSetting();
    ui::ThawMainWindow();
    ui::Redraw(0);
    app::ShowStatus("Ready", 0);
    app::AutoReadActive = 0;
}

void Close()
{
    ui::SetFormAside(kForm);
    app::AutoReadActive = 0;
    if (PlotRunning())
        StopPlot();
}

void Command(int id)
{
    EndPlotWithoutAutoRead(); // so that Read all never feeds a plot
    switch (id) {
    case kAutoReadId: ToggleAutoRead(); return;
    case kPlotStartId:
        // A plot exists only under Auto Read.
        if (PlotRunning()) {
            StopPlot();
        } else if (app::AutoReadActive) {
            app::ElapsedTime = 0;
            StartPlot();
        }
        return;
    // These three work under Auto Read too.
    case kSaveBmpId: SaveToBmp(); return;
    case kPlotLogFileId: ChoosePlotLogFile(); return;
    case kPlotSetupId: OpenPlotSetup(); return;
    // A setting, not a command: it takes effect at the next pass.
    case kBlockReadsId: BlockReadsCommand(); return;
    default: break;
    }
    // Plot setup is usable under Auto Read too.
    if (PlotSetupCommand(id))
        return;
    if (IsSetupControl(id)) {
        SetupCommand(id);
        return;
    }
    if (app::AutoReadActive)
        return;
    if (id == kReadAllId)
        AcquisitionPass(); // a failure has been reported already
    else if (id == kWriteAllId)
        WriteAllPass();
    else
        CellCommand(id);
}

void Tick() { AutoReadTick(); }

void WindowClosed(int window) { PlotWindowClosed(window); }

} // namespace analyzer
