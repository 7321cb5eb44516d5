// Identification against the simulated bus: the title, the panel that opens
// and what happens when the module is unknown or silent.
#include "tests/integration/tmodule_fixture.h"

#include "tools/test_module/panel_profile.h"

namespace {

TEST_F(TestModuleBus, EachModelOpensItsPanelWithEveryBoxEmpty)
{
    sim::AddDemoModels(bus_);
    for (const sim::DemoModel& m : sim::DemoModels()) {
        SCOPED_TRACE(m.model);
        Identify(m.address);
        EXPECT_EQ(Text(20001), std::string(" Test module : ") + m.model + " - " + m.version);
        EXPECT_TRUE(headless::MessagesShown().empty());

        int code = std::string(m.model) == "NODE-T07"   ? 40
                   : std::string(m.model) == "NODE-T08" ? 41
                                                        : 20 + (m.model[7] - '0');
        const test_module::PanelProfile& p = *test_module::FindProfile(code);
        int w = 0, h = 0;
        ui::GetClientSize(&w, &h);
        EXPECT_EQ(w, 400);
        EXPECT_EQ(h, p.height);
        int base = code * 1000;
        for (const test_module::PanelField& f : p.fields) {
            const headless::ControlState* box = headless::Control(test_module::FieldBox(base, f.k));
            ASSERT_NE(box, nullptr) << f.k;
            EXPECT_EQ(box->spec.text, "");
            EXPECT_EQ(box->read_only, !test_module::IsHolding(f.kind));
        }
    }
}

} // namespace
