// The Test module tool's tables: the model table and the panel profiles.
// These catch slips in the data that no single panel test would: a list
// naming a field the panel lacks, two fields on one register, controls that
// overlap or leave the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

#include "app/control_ids.h"
#include "platform/headless/headless.h"
#include "strings/number_parse.h"
#include "tools/test_module/model_table.h"
#include "tools/test_module/panel.h"
#include "tools/test_module/panel_profile.h"

namespace {

TEST(ModelTable, OnlyTheWholeExactTextNamesAPanel)
{
    const std::pair<const char*, int> models[] = {
        {"NODE-T01", 21}, {"NODE-T02", 22}, {"NODE-T03", 23}, {"NODE-T04", 24},
        {"NODE-T05", 25}, {"NODE-T06", 26}, {"NODE-T07", 40}, {"NODE-T08", 41}};
    for (const auto& [model, panel] : models)
        EXPECT_EQ(test_module::PanelForModel(model), panel) << model;
    EXPECT_EQ(test_module::PanelForModel("node-t01"), 0);
    EXPECT_EQ(test_module::PanelForModel(std::string("NODE-T0\0", 8)), 0);
    EXPECT_EQ(test_module::PanelForModel(std::string("NODE-T01\0", 9)), 0);
}

// The controls a real panel made on the headless window, captions and
// other static texts left out (a caption is twice its box wide by the
// toolkit's rule and may run under the neighbouring column's empty space).
// The window takes the panel's height, and the boxes open empty, only
// holdings editable.
std::vector<ui::ControlSpec> BuiltPanel(const test_module::PanelProfile& p)
{
    headless::Reset();
    test_module::OpenPanel(p.code, 1, "SW 1.00 ");
    int w = 0, h = 0;
    ui::GetClientSize(&w, &h);
    EXPECT_EQ(h, p.height);
    for (const test_module::PanelField& f : p.fields) {
        const headless::ControlState* box =
            headless::Control(test_module::FieldBox(app::PanelBase(p.code), f.k));
        EXPECT_TRUE(box && box->spec.text.empty() &&
                    box->read_only != test_module::IsHolding(f.kind))
            << f.k;
    }
    std::vector<ui::ControlSpec> made;
    for (int id : headless::ControlIds()) {
        const headless::ControlState* c = headless::Control(id);
        if (c->spec.kind != ui::Kind::Label)
            made.push_back(c->spec);
    }
    test_module::RemovePanels();
    return made;
}

bool Overlap(const ui::ControlSpec& a, const ui::ControlSpec& b)
{
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

TEST(PanelProfiles, ControlsStayInsideTheWindowAndApart)
{
    for (const test_module::PanelProfile* p : test_module::AllProfiles()) {
        SCOPED_TRACE("panel " + std::to_string(p->code));
        std::vector<ui::ControlSpec> made = BuiltPanel(*p);
        // Every field has its box and Read button, holdings their Write too.
        size_t expected = 3 + (p->info.empty() ? 0 : 1);
        for (const test_module::PanelField& f : p->fields)
            expected += test_module::IsHolding(f.kind) ? 3 : 2;
        EXPECT_EQ(made.size(), expected);
        const app::IdRange block{app::PanelBase(p->code),
                                 app::PanelBase(p->code) + app::kIdBlock - 1};
        for (const ui::ControlSpec& a : made) {
            EXPECT_GE(a.id, block.first);
            EXPECT_LE(a.id, block.last);
            EXPECT_LE(a.x + a.w, 400) << a.id;
            EXPECT_LE(a.y + a.h, p->height) << a.id;
            EXPECT_GE(a.y, 70) << a.id; // below the form's separator
            for (const ui::ControlSpec& b : made) {
                if (a.id < b.id) {
                    EXPECT_FALSE(Overlap(a, b)) << a.id << " and " << b.id;
                }
            }
        }
    }
}

TEST(PanelProfiles, FieldsFitTheirKindsAndListsNameFieldsOfTheirPanel)
{
    for (const test_module::PanelProfile* p : test_module::AllProfiles()) {
        std::set<std::pair<bool, int>> registers;
        std::map<int, const test_module::PanelField*> fields;
        for (const test_module::PanelField& f : p->fields) {
            fields[f.k] = &f;
            SCOPED_TRACE(testing::Message() << "panel " << p->code << " field " << f.k);
            // No two fields of a panel may show one register under two names.
            EXPECT_TRUE(registers.insert({test_module::IsHolding(f.kind), f.reg}).second);
            // The help text names the register the buttons use.
            std::string reg =
                (test_module::IsHolding(f.kind) ? "Holding Register " : "Input Register ") +
                std::to_string(f.reg) + " : ";
            EXPECT_EQ(std::string(f.help).rfind(reg, 0), 0u) << f.help;
            if (f.kind == test_module::FieldKind::HoldingDecimal) {
                ASSERT_TRUE(f.min && f.max);
                EXPECT_LT(strings::ParseNumber(f.min), strings::ParseNumber(f.max));
            }
        }
        // Lists name fields of their panel, and write only holdings.
        for (const test_module::ListEntry& e : p->read_all)
            EXPECT_TRUE(fields.count(e.k)) << p->code << " read " << e.k;
        for (const test_module::ListEntry& e : p->write_all) {
            ASSERT_TRUE(fields.count(e.k)) << p->code << " write " << e.k;
            EXPECT_TRUE(test_module::IsHolding(fields[e.k]->kind)) << p->code << " write " << e.k;
        }
        // Read all covers every field, so Auto Read shows the whole panel.
        EXPECT_EQ(p->read_all.size(), p->fields.size()) << p->code;
    }
}

std::vector<std::string> Lines(const std::string& text)
{
    EXPECT_TRUE(text.size() >= 2 && text.compare(text.size() - 2, 2, "\r\n") == 0)
        << "last line without CR LF";
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

TEST(PanelProfiles, Panel24InformationsDependOnFirmware1_8)
{
    const test_module::PanelProfile& p = *test_module::FindProfile(24);
    std::vector<std::string> older = Lines(test_module::InformationsText(p, "r.01.007"));
    std::vector<std::string> newer = Lines(test_module::InformationsText(p, "r.01.008"));
    ASSERT_EQ(newer.size(), older.size() + 2);
    EXPECT_EQ(newer.front(), "To select the type/scale of a channel, the Dip-Switch must be "
                             "configured and Config value written.");
    EXPECT_EQ(newer.back(), "%Pot 1÷100K: 80   0110");

    auto after = [](const std::vector<std::string>& lines, const std::string& line) {
        for (size_t i = 0; i + 1 < lines.size(); ++i)
            if (lines[i] == line)
                return lines[i + 1];
        return std::string("<absent>");
    };
    EXPECT_EQ(after(newer, "NTC-DKF103 : 60   0111"), "NTC-10K3435: 61   0111");
    EXPECT_EQ(after(newer, "300 ohm    : 72   0111"), "130 Kohm   : 73   0111");
    // The blank lines around the optional ones stay.
    EXPECT_EQ(after(older, "NTC-DKF103 : 60   0111"), "");
    EXPECT_EQ(after(older, "300 ohm    : 72   0111"), "");
    EXPECT_EQ(after(older, ""), "Input      : Conf 1SW4");
    EXPECT_EQ(std::count(older.begin(), older.end(), ""), 10);
    EXPECT_EQ(test_module::InformationsText(p, "r.02.000"),
              test_module::InformationsText(p, "r.01.008"));
}

} // namespace
