// A module panel as data: its fields, the button row, the Read all and Write
// all lists and the Informations text. One profile per module model; the
// machinery that builds and runs a panel from its profile is the same for
// all of them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace test_module {

enum class FieldKind {
    InputDecimal,   // input register, read-only, unsigned decimal
    InputBits16,    // input register, read-only, 16 binary digits
    InputBits8,     // input register, read-only, low byte in 8 binary digits
    HoldingDecimal, // holding register, decimal within min..max
    HoldingBits8,   // holding register, low byte in 8 binary digits
};

inline bool IsHolding(FieldKind kind)
{
    return kind == FieldKind::HoldingDecimal || kind == FieldKind::HoldingBits8;
}

struct PanelField {
    int k; // field number 1..19: fixes the control identifiers
    const char* caption;
    int x, y;  // of the caption; the box is 10 below
    int width; // of the box
    FieldKind kind;
    uint16_t reg; // 0-based register address
    const char* help;
    const char* min; // HoldingDecimal only
    const char* max;
};

// An entry of a Read all / Write all list. Entries with a threshold count
// only for firmware at least that release.
struct ListEntry {
    int k;
    const char* since = nullptr;
};

// One line of the Informations text, shown only for firmware at least
// `since` when that is given.
struct InfoLine {
    const char* text;
    const char* since = nullptr;
};

struct PanelProfile {
    int code;   // 21..26, 40, 41; controls at code * 1000 ..
    int height; // window height, dialog units
    int button_y;
    std::vector<PanelField> fields;
    std::vector<ListEntry> read_all, write_all;
    std::vector<InfoLine> info; // empty: the panel has no Informations box
};

// Profiles by panel code; nullptr for a code no model has.
const PanelProfile* FindProfile(int code);
// Every profile, for removing whatever panel is on the window.
const std::vector<const PanelProfile*>& AllProfiles();

// The profiles of each family (one file each).
const std::vector<const PanelProfile*>& DigitalProfiles();
const std::vector<const PanelProfile*>& AnalogProfiles();

// The Informations text for a firmware release: every line followed by
// CR LF.
std::string InformationsText(const PanelProfile& profile, const std::string& version);

// Control identifiers of a panel.
constexpr int kReadAllOffset = 1;
constexpr int kWriteAllOffset = 2;
constexpr int kAutoReadOffset = 3;
constexpr int kInfoOffset = 900; // caption at 901
inline int FieldBox(int base, int k) { return base + 10 * k + 1; }
inline int FieldRead(int base, int k) { return base + 10 * k + 3; }
inline int FieldWrite(int base, int k) { return base + 10 * k + 4; }

} // namespace test_module
