// Reading and writing the optional SCAN_ keys.
#include "tools/scan/scan_settings.h"

#include <cstdlib>

#include "app/config_store.h"
#include "app/shell.h"

namespace scan {

namespace {

// Written after one another, the first at the end of the file.
const char* const kKeys[] = {"SCAN_FROM",     "SCAN_TO",       "SCAN_BAUDS",      "SCAN_PARITIES",
                             "SCAN_FUNCTION", "SCAN_REGISTER", "SCAN_CONFIG_MODE"};

struct Texts {
    std::string values[7];
};

Texts TextsOf(const Settings& s)
{
    return {{std::to_string(s.from), std::to_string(s.to), BaudsText(s.bauds),
             ParitiesText(s.parities), std::to_string(s.function),
             std::to_string(s.register_address), s.config_mode ? "1" : "0"}};
}

} // namespace

long NumberOr(const std::string& text, long absent)
{
    if (text.empty())
        return absent;
    if (text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    return std::strtol(text.c_str(), nullptr, 10);
}

Settings LoadSettings()
{
    Settings s;
    std::string v;
    auto find = [&v](const char* key) {
        v.clear();
        return app::FindConfigKey(app::CfgPath, key, &v);
    };
    if (find("SCAN_FROM"))
        s.from = int(NumberOr(v, 1));
    if (find("SCAN_TO"))
        s.to = int(NumberOr(v, 247));
    s.bauds =
        find("SCAN_BAUDS") ? ParseBauds(v) : std::vector<int32_t>{app::SerialSettings.line.baud};
    s.parities = find("SCAN_PARITIES")
                     ? ParseParities(v)
                     : std::vector<serial::Parity>{app::SerialSettings.line.parity};
    if (find("SCAN_FUNCTION"))
        s.function = int(NumberOr(v, 3));
    if (find("SCAN_REGISTER"))
        s.register_address = NumberOr(v, 0);
    if (find("SCAN_CONFIG_MODE"))
        s.config_mode = v == "1";
    return s;
}

void StoreSettings(const Settings& settings)
{
    const Texts now = TextsOf(LoadSettings());
    const Texts wanted = TextsOf(settings);
    const char* after = "";
    for (size_t i = 0; i < std::size(kKeys); ++i) {
        if (wanted.values[i] != now.values[i])
            app::WriteOptionalConfigKey(app::CfgPath, kKeys[i], wanted.values[i], after);
        after = kKeys[i];
    }
}

} // namespace scan
