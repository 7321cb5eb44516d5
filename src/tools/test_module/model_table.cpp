// The model table. Texts are compared whole: a module that pads its model
// with anything but the exact characters is not one of these.
#include "tools/test_module/model_table.h"

namespace test_module {

namespace {

struct ModelRow {
    std::string_view model;
    int panel;
};

constexpr ModelRow kModels[] = {
    {"NODE-T01", 21}, {"NODE-T02", 22}, {"NODE-T03", 23}, {"NODE-T04", 24},
    {"NODE-T05", 25}, {"NODE-T06", 26}, {"NODE-T07", 40}, {"NODE-T08", 41},
};

} // namespace

int PanelForModel(std::string_view model)
{
    for (const ModelRow& row : kModels)
        if (row.model == model)
            return row.panel;
    return 0;
}

} // namespace test_module
