// The Plot setup dialog: the [Analyzer - plot] keys, each written the moment
// its field changes. Usable while Auto Read runs; the settings take effect
// at the next plot start.
#include <string>

#include "analyzer/plot_current.h"
#include "analyzer/plot_window.h"
#include "app/forms/forms.h"
#include "app/shell.h"

namespace analyzer {

namespace {

enum class Field { Check, Text, Number, Real };

struct SetupField {
    int id;
    Field kind;
    const char* key;
    const char* caption;
    int x, y, width;
    const char* minimum; // Number fields only
    const char* maximum;
    const char* hint;
};

// Order of creation is the order of the tab stops.
const SetupField kFields[] = {
    {60711, Field::Check, "PLOT_AUTO_START", "Auto Start", 15, 10, 50, "", "",
     "Starts plot automatically with Auto Read. Valid: 0÷1"},
    {60841, Field::Check, "PLOT_LOG_ENABLE", "Log enable", 70, 10, 50, "", "",
     "Saving of plot values to log file. Valid: 0÷1"},
    {60851, Field::Check, "PLOT_LOG_OVERWRITE", "Log overwrite", 125, 10, 70, "", "",
     "Overwrite previous log file. Valid: 0÷1"},
    {60721, Field::Text, "PLOT_TITLE", "Plot title", 15, 30, 200, "", "",
     "Title string of plotting"},
    {60731, Field::Number, "PLOT_SIZE_X", "Pixels size X", 15, 60, 40, "500", "5000",
     "Horizontal size of plotting window. Valid: 500÷5000"},
    {60741, Field::Number, "PLOT_SIZE_Y", "Pixels size Y", 70, 60, 40, "500", "5000",
     "Vertical size of plotting window. Valid: 500÷5000"},
    {60751, Field::Number, "PLOT_DIV_X", "Grid div X", 15, 90, 40, "1", "100",
     "Horizontal main grid division. Valid: 1÷100"},
    {60761, Field::Number, "PLOT_DIV_Y", "Grid div Y", 70, 90, 40, "1", "100",
     "Vertical main grid division. Valid: 1÷100"},
    {60771, Field::Number, "PLOT_LABEL_X", "X label every", 15, 120, 40, "1", "100",
     "Label every N horizontal main grid. Valid: 1÷100"},
    {60781, Field::Number, "PLOT_LABEL_Y", "Y label every", 70, 120, 40, "1", "100",
     "Label every N vertical main grid. Valid: 1÷100"},
    {60791, Field::Number, "PLOT_SUBDIV_X", "Grid subdiv X", 15, 150, 40, "1", "100",
     "Horizontal secondary grid division. Valid: 1÷100"},
    {60801, Field::Number, "PLOT_SUBDIV_Y", "Grid subdiv Y", 70, 150, 40, "1", "100",
     "Vertical secondary grid division. Valid: 1÷100"},
    {60811, Field::Real, "PLOT_VALUE_MAX", "Value max", 145, 60, 70, "", "",
     "Vertical full scale - Values. Example 1000.0"},
    {60821, Field::Real, "PLOT_VALUE_MIN", "Value min", 145, 90, 70, "", "",
     "Vertical zero - Values. Example 0.0"},
    {60831, Field::Real, "PLOT_TIME_MAX", "Time max", 145, 120, 70, "", "",
     "Horizontal full scale - Time (s). Example 60.0"},
    {60861, Field::Check, "PLOT_CH_LABELS", "Channel labels", 145, 160, 70, "", "",
     "Print channels labels on plot right side. Valid: 0÷1"},
};

const SetupField* FindField(int id)
{
    for (const SetupField& f : kFields)
        if (f.id == id)
            return &f;
    return nullptr;
}

void BuildFields()
{
    for (const SetupField& f : kFields) {
        switch (f.kind) {
        case Field::Check: forms::AddCheckField(f.id, f.key, f.caption, f.x, f.y, f.width); break;
        case Field::Text:
            forms::AddTextField(f.id, f.key, f.caption, f.x, f.y, f.width, false);
            break;
        case Field::Number:
        case Field::Real:
            forms::AddValueField(f.id, f.key, f.caption, f.x, f.y, f.width, false);
            break;
        }
    }
}

} // namespace

void OpenPlotSetup()
{
    ui::DialogSpec spec;
    spec.title = "Plot setup";
    spec.w_dlu = 230;
    spec.h_dlu = 190;
    spec.background = ui::Rgb(240, 240, 240);
    ui::RunDialog(spec, BuildFields);
    ReloadPlotLogFlags();
}

bool PlotSetupCommand(int id)
{
    const SetupField* f = FindField(id);
    if (!f || !ui::ControlExists(id))
        return false;
    switch (f->kind) {
    case Field::Check: forms::CommitCheck(f->id, f->key, f->hint); break;
    case Field::Text:
    case Field::Real: forms::CommitText(f->id, f->key, f->hint, false); break;
    case Field::Number:
        forms::CommitNumber(f->id, f->key, f->minimum, f->maximum, f->hint, false);
        break;
    }
    return true;
}

} // namespace analyzer
