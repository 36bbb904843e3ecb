#include "tplist/satcodxconversion.h"
#include "tplist/stdiofile.h"
#include "tplistworkdir.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

namespace {

// Converts the satellites in the given slots of group SatcoDx1 (0030 is slot 0, 0050 slot 1, 0070 slot 3).
struct ConversionTest : TplistTest {
    bool Convert(std::initializer_list<int> indexes)
    {
        catalog->FillCatalog();
        for (const int i : indexes)
            catalog->SetSlot(0, i, true);
        EXPECT_TRUE(catalog->CollectSelected(*state));
        return ConvertSatcoDxFiles(*catalog, *state, StatusSink()).isEmpty();
    }
};

// A T line of exactly 999 characters.
QByteArray Line999(const char* freq)
{
    const QByteArray line = SatcoDxLine(freq);
    return line + QByteArray(999 - line.size(), 'x');
}

// Runs one pass of `band` over bytes (no heading); returns what it wrote.
QByteArray Pass(const QByteArray& bytes, char band, TpBuildState& state)
{
    QByteArray input = bytes;
    const StdioFile in(fmemopen(input.data(), size_t(input.size()), "rb"));
    MemoryStream out;
    EXPECT_GE(ConvertSatcoDxPass(in.get(), out.File(), band, 0, state), 0);
    bool complete = false;
    return out.Bytes(complete);
}

QByteArray KPass(const QByteArray& bytes)
{
    return Pass(bytes, 'K', *std::make_unique<TpBuildState>());
}

} // namespace

// 0 MHz: the line is no transponder and leaves the last frequency alone.
TEST(SatcoDxPass, GigahertzTruncateToMegahertzAndSplitBandsAt7300)
{
    const std::pair<const char*, int> cases[] = { { "7.3", 7300 }, { "7.301", 7301 }, { "3.7", 3700 },
        { "12.5", 12500 }, { "11.778", 11778 }, { " +4.0005", 4000 }, { "1.2e1", 12000 }, { "65.535", 65535 },
        { "abc", 0 }, { "-11.778", 0 }, { "65.536", 0 }, { "1e400", 0 }, { "nan", 0 }, { "0.0009", 0 } };
    for (const auto& [freq, mhz] : cases) {
        const QByteArray bytes = Lines({ SatcoDxLine(freq) });
        auto other = std::make_unique<TpBuildState>();
        EXPECT_EQ(Pass(bytes, mhz <= 7300 ? 'K' : 'C', *other), "") << freq;
        EXPECT_EQ(other->lastFreq, mhz) << freq;
        EXPECT_EQ(
            Pass(bytes, mhz <= 7300 ? 'C' : 'K', *std::make_unique<TpBuildState>()), mhz ? TpLines(0, { mhz }) : "")
            << freq;
    }
}

// Lines that are no T or R record, or have too few fields, leave the last frequency alone.
TEST(SatcoDxPass, PolarisationLettersAndSkippedValues)
{
    auto state = std::make_unique<TpBuildState>();
    const QByteArray k
        = Pass(Lines({ SatcoDxLine("11.001", "H"), SatcoDxLine("11.002", "C"), SatcoDxLine("11.003", "V"),
                   SatcoDxLine("11.004", "L"), SatcoDxLine("11.005", "R"), SatcoDxLine("11.006", ""),
                   SatcoDxLine("11.007", "h"), SatcoDxLine("11.008", "H", "0"), SatcoDxLine("11.009", "H", "x"),
                   SatcoDxLine("11.010", "H", "27500", "0"), SatcoDxLine("11.011", "H", "65536"),
                   SatcoDxLine("11.012", "H", "-5"), SatcoDxLine("11.013", "Horizontal", "30000"),
                   SatcoDxLine("11.014", "H", "27500", "1", "t"), " " + SatcoDxLine("11.014"),
                   SatcoDxLine("11.014", "H", "27500", "1", "S"), "T\tChannel\t11.014\tH\tx\tx\tx\tx\tx\t27500\tx\tx",
                   "T\tChannel", "", "R\tx\t11.014\tC\tx\tx\tx\tx\tx\t 22000abc\tx\tx\t-3" }),
            'K', *state);
    EXPECT_EQ(k,
        Lines(
            { "{ 11001, 27500, 0, Auto, POL_Horizontal }, /* 1 */", "{ 11002, 27500, 0, Auto, POL_Vertical }, /* 2 */",
                "{ 11003, 27500, 0, Auto, POL_Auto }, /* 3 */", "{ 11004, 27500, 0, Auto, POL_Auto }, /* 4 */",
                "{ 11005, 27500, 0, Auto, POL_Auto }, /* 5 */", "{ 11006, 27500, 0, Auto, POL_Auto }, /* 6 */",
                "{ 11007, 27500, 0, Auto, POL_Auto }, /* 7 */", "{ 11013, 30000, 0, Auto, POL_Horizontal }, /* 8 */",
                "{ 11014, 22000, 0, Auto, POL_Vertical }, /* 9 */" }));
    EXPECT_EQ(state->lastFreq, 11014);
}

// A symbol rate of 0 skips a line that still counts as the last frequency; one out of range does not.
TEST(SatcoDxPass, RepeatedFrequenciesAreOneTransponderEvenAcrossSkippedLines)
{
    EXPECT_EQ(
        KPass(Lines({ SatcoDxLine("11.778"), SatcoDxLine("11.778", "V"), SatcoDxLine("11.778"), SatcoDxLine("11.817"),
            SatcoDxLine("11.817", "H", "0"), SatcoDxLine("3.9"), SatcoDxLine("11.817"), SatcoDxLine("11.900", "H", "0"),
            SatcoDxLine("11.900", "H", "27500"), SatcoDxLine("11.950", "H", "-5"), SatcoDxLine("11.950"),
            SatcoDxLine("11.960", "H", "65536"), SatcoDxLine("11.960") })),
        TpLines(0, { 11778, 11817, 11817, 11950, 11960 }));
}

TEST(SatcoDxPass, TheLastLineCountsOnlyWithItsLineEnd)
{
    const QByteArray a = SatcoDxLine("11.1");
    const QByteArray b = SatcoDxLine("11.2");
    const std::tuple<const char*, QByteArray, QList<int>> cases[] = {
        { "CR LF throughout", a + "\r\n" + b + "\r\n", { 11100, 11200 } },
        { "LF throughout", a + "\n" + b + "\n", { 11100, 11200 } },
        { "no final line end", a + "\r\n" + b, { 11100 } },
        { "final CR only", a + "\r\n" + b + "\r", { 11100 } },
        { "a lone CR is no line end", a + "\r" + b + "\r\n", { 11100 } },
        { "last field ends in CR LF", a + "\r\n" + "T\tx\t11.2\tH\tx\tx\tx\tx\tx\t27500\tx\tx\t1\r\n",
            { 11100, 11200 } },
        { "only line, no line end", a, {} },
        // A full buffer ends the read before the end of the file is seen.
        { "999 characters, no line end", Line999("11.3"), { 11300 } },
        { "999 characters and CR LF", Line999("11.3") + "\r\n" + b + "\r\n", { 11300, 11200 } },
        { "rest of a long line ends the file", Line999("11.3") + b, { 11300 } },
        { "rest of a long line with CR LF", Line999("11.3") + b + "\r\n", { 11300, 11200 } },
    };
    for (const auto& [name, bytes, freqs] : cases)
        EXPECT_EQ(KPass(bytes), TpLines(0, freqs)) << name;
}

TEST_F(ConversionTest, TheLastFrequencyCarriesOverPassesSatellitesAndRuns)
{
    WriteFile("SatcoDx1/0030.txt", Lines({ "heading", SatcoDxLine("3.6"), SatcoDxLine("11.5"), SatcoDxLine("3.6") }));
    WriteFile("SatcoDx1/0050.txt", Lines({ "heading", SatcoDxLine("3.6"), SatcoDxLine("12.0") }));
    WriteFile("SatcoDx1/0070.txt", Lines({ "heading", SatcoDxLine("11.5"), SatcoDxLine("3.6"), SatcoDxLine("11.5") }));
    ASSERT_TRUE(Convert({ 0 }));
    EXPECT_EQ(std::pair(state->tpCount, state->lastFreq), std::pair(3, 3600));

    // The first run ended on 3.6, the first line of 0030, and 0030 ends on the first line of 0050.
    // 0070 starts and ends with 11.5, so its K pass begins with the frequency its C pass ended on.
    ASSERT_TRUE(Convert({ 0, 1, 3 }));
    QList<QByteArray> lists;
    for (const char* name : { "0030_C", "0030_K", "0050_C", "0050_K", "0070_C", "0070_K" })
        lists << ReadFile(QStringLiteral("TP_List/%1.tp").arg(QLatin1String(name)));
    EXPECT_EQ(lists,
        (QList<QByteArray> { TpLines(0, { 3600 }), TpLines(1, { 11500 }), "", TpLines(2, { 12000 }),
            TpLines(3, { 3600 }), TpLines(4, { 11500 }) }));
    EXPECT_EQ(std::tuple(state->tpCount, state->listCount, state->lastFreq), std::tuple(5, 5, 11500));
}
