#include "preset/presetcelltext.h"

#include <gtest/gtest.h>

namespace {

// column 0 stands for the LNB Type column of the satellite grid.
struct AdmitCase {
    int column;
    const char* typed;
    const char* stored; // nullptr: refused
    const char* refusal = "";
};

void PrintTo(const AdmitCase& c, std::ostream* out)
{
    *out << c.column << " \"" << c.typed << '"';
}

class CellAdmission : public ::testing::TestWithParam<AdmitCase> { };

// What is stored is what the receiver gets: nothing reaches it as its low 16 bits or as a silent automatic.
TEST_P(CellAdmission, StoresTheFormTheTablesHoldOrSaysWhy)
{
    const AdmitCase& c = GetParam();
    const QString typed = QString::fromLatin1(c.typed);
    const CellVerdict verdict = c.column == 0 ? AdmitLnbText(typed) : AdmitTransponderText(c.column, typed);
    EXPECT_EQ(verdict.refusal, c.stored ? QString() : QString::fromLatin1(c.refusal));
    if (!c.stored)
        return;
    EXPECT_EQ(verdict.text, QString::fromLatin1(c.stored));
    if (c.column >= kTpColumnFec) {
        EXPECT_EQ(CellTextToCode(typed, c.column), CellTextToCode(verdict.text, c.column));
    } else if (c.column == 0) {
        // What the LNB cell takes gathers to an LNB that shows the same; a Universal one keeps its oscillators.
        pre_lnb_t lnb { 5150, 9750, 1, {}, {} };
        StoreLnbText(verdict.text, lnb);
        EXPECT_EQ(LnbCellText(lnb), verdict.text.isEmpty() ? QStringLiteral("Universal") : verdict.text);
        EXPECT_EQ(lnb.lnb_freq1, lnb.lnb_type == 1 ? 5150u : verdict.text.toUInt());
    }
}

constexpr const char* kFreq = "Frequency: 0 to 65535";
constexpr const char* kSymbol = "Symbolrate: 0 to 65535";
constexpr const char* kFec = "FEC: 1/2, 2/3, 3/4, 5/6, 7/8 or AUTO";
constexpr const char* kPolar = "Polarization: AUTO, HOR. or VER.";
constexpr const char* kLnb = "LNB Type: Universal or 0 to 65535";

INSTANTIATE_TEST_SUITE_P(Texts, CellAdmission,
    ::testing::Values(AdmitCase { 1, "11778", "11778" }, AdmitCase { 1, " 011778 ", "11778" }, AdmitCase { 1, "", "" },
        AdmitCase { 1, "0", "0" }, AdmitCase { 1, "65535", "65535" }, AdmitCase { 1, "65536", nullptr, kFreq },
        AdmitCase { 1, "99999999", nullptr, kFreq }, AdmitCase { 1, "99999999999999999999999", nullptr, kFreq },
        AdmitCase { 1, "-1", nullptr, kFreq }, AdmitCase { 1, "+12", nullptr, kFreq },
        AdmitCase { 1, "12000MHz", nullptr, kFreq }, AdmitCase { 1, "1.5", nullptr, kFreq },
        AdmitCase { 2, "275000", nullptr, kSymbol }, AdmitCase { 2, "27500", "27500" }, AdmitCase { 3, "3/4", "3/4" },
        AdmitCase { 3, "auto", "AUTO" }, AdmitCase { 3, "5", "5/6" }, AdmitCase { 3, " 1/2", "1/2" },
        AdmitCase { 3, "", "" }, AdmitCase { 3, "9", nullptr, kFec }, AdmitCase { 3, "/", nullptr, kFec },
        AdmitCase { 4, "v", "VER." }, AdmitCase { 4, "hor", "HOR." }, AdmitCase { 4, "Vertical", "VER." },
        AdmitCase { 4, "HORIZONTAL", "HOR." }, AdmitCase { 4, "vertically", nullptr, kPolar },
        AdmitCase { 4, "x", nullptr, kPolar }, AdmitCase { 0, "universal", "Universal" },
        AdmitCase { 0, "U", "Universal" }, AdmitCase { 0, "950", "950" }, AdmitCase { 0, "", "" },
        AdmitCase { 0, "107500", nullptr, kLnb }, AdmitCase { 0, "Standard", nullptr, kLnb },
        AdmitCase { 0, "abcd", nullptr, kLnb }));

} // namespace
