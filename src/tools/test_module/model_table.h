// Which panel belongs to which module: the identification text a module
// reports, compared in full, names its panel.
#pragma once

#include <string_view>

namespace test_module {

// Panel code for a model text (all 8 characters, exact, case-sensitive); 0
// when the text is not one of the known models.
int PanelForModel(std::string_view model);

} // namespace test_module
