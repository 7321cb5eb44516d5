// The profiles of all module panels, found by panel code, and the
// Informations text composed for one firmware release.
#include "app/forms/shared_boxes.h"
#include "tools/test_module/panel_profile.h"

namespace test_module {

// One file per analog panel, for their long Informations texts.
const PanelProfile& Panel24();
const PanelProfile& Panel25();
const PanelProfile& Panel26();
const PanelProfile& Panel41();

const std::vector<const PanelProfile*>& AnalogProfiles()
{
    static const std::vector<const PanelProfile*> kAll = {&Panel24(), &Panel25(), &Panel26(),
                                                          &Panel41()};
    return kAll;
}

const std::vector<const PanelProfile*>& AllProfiles()
{
    static const std::vector<const PanelProfile*> kAll = [] {
        std::vector<const PanelProfile*> all = DigitalProfiles();
        all.insert(all.end(), AnalogProfiles().begin(), AnalogProfiles().end());
        return all;
    }();
    return kAll;
}

const PanelProfile* FindProfile(int code)
{
    for (const PanelProfile* p : AllProfiles())
        if (p->code == code)
            return p;
    return nullptr;
}

std::string InformationsText(const PanelProfile& profile, const std::string& version)
{
    std::string text;
    for (const InfoLine& line : profile.info) {
        if (line.since && !forms::ReleaseAtLeast(version, line.since))
            continue;
        text += line.text;
        text += "\r\n";
    }
    return text;
}

} // namespace test_module
