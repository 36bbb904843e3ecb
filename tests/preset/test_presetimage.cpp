#include "preset/presetimage.h"
#include "preset/presettables.h"
#include "presettestdata.h"

#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

template <typename Table> bool SameBytes(const Table& a, const Table& b)
{
    return std::memcmp(a.data(), b.data(), sizeof(a)) == 0;
}

QByteArray Build()
{
    std::vector<std::uint8_t> buffer(kPresetImageBufferSize, 0xCD);
    const std::size_t length = BuildPresetImage(buffer.data(), buffer.size());
    return QByteArray(reinterpret_cast<const char*>(buffer.data()), qsizetype(length));
}

void PutU32(QByteArray& image, qsizetype at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        image[at + i] = char(value >> (8 * i));
}

TEST(BuildPresetImage, TablesAtStartGiveTheEmptyImage)
{
    ResetPresetTables();
    const QByteArray expected = ReadPresetTestFile("empty.rcu");
    ASSERT_EQ(expected.size(), 1124);
    EXPECT_EQ(Build(), expected);
}

TEST(BuildPresetImage, WritesOnlyLeadingNamedSlotsButEveryTransponderAndNoPadding)
{
    FillGapTables();
    const QByteArray expected = ReadPresetTestFile("gap.rcu");
    ASSERT_EQ(expected.size(), 1124 + 24 + 4 * 8);
    EXPECT_EQ(Build(), expected);
}

TEST(BuildPresetImage, FullTablesFillTheLargestImage)
{
    ResetPresetTables();
    for (int i = 0; i < NUM_ME_SAT; ++i)
        g_SatTable[std::size_t(i)] = MakeSat("Sat");
    for (int i = 0; i < NUM_ME_TP; ++i)
        g_TpTable[std::size_t(i)] = MakeTp(std::uint16_t(10000 + i), std::uint8_t(i / 8));
    std::array<std::uint8_t, kPresetImageMaxSize> exact {};
    EXPECT_EQ(BuildPresetImage(exact.data(), exact.size()), kPresetImageMaxSize);
    EXPECT_EQ(BuildPresetImage(exact.data(), exact.size() - 1), 0u);
    PresetCounts counts;
    ASSERT_TRUE(CheckPresetImage(exact.data(), exact.size(), &counts));
    EXPECT_EQ(counts.satellites, 64u);
    EXPECT_EQ(counts.transponders, 512u);
}

TEST(ParsePresetImage, RoundTripLosesOnlyPaddingAndSlotsAfterAGap)
{
    FillGapTables();
    LnbTable lnbs = g_LnbTable;
    const TpTable tps = g_TpTable;
    const QByteArray image = Build();
    ASSERT_TRUE(ParsePresetImage(Bytes(image), std::size_t(image.size())));

    for (auto& lnb : lnbs)
        lnb.padding = {};
    EXPECT_TRUE(SameBytes(g_LnbTable, lnbs));
    EXPECT_EQ(g_LnbTable[3].settings, (std::array<std::uint8_t, 4> { 0x11, 0x22, 0x33, 0x44 }));
    EXPECT_TRUE(SameBytes(std::array { g_SatTable[0] },
        std::array { MakeSat("T\xe9l\xe9"
                             "com 2",
            { 1, 2, 3, 4, 5, 6, 0xE8, 3 }) }));
    EXPECT_EQ(g_SatTable[2].name[0], 0);
    for (int i = 0; i < 4; ++i) {
        const pre_tp_t& tp = g_TpTable[std::size_t(i)];
        const pre_tp_t& was = tps[std::size_t(i)];
        EXPECT_EQ(std::tie(tp.freq, tp.symbol, tp.sat_num, tp.fec, tp.polar),
            std::tie(was.freq, was.symbol, was.sat_num, was.fec, was.polar));
        EXPECT_EQ(tp.padding, 0);
    }
    EXPECT_EQ(CountTransponders(g_TpTable), 4);
}

TEST(ParsePresetImage, ReadsModelAndSectionsAtTheShiftedPrefix)
{
    ResetPresetTables();
    g_SatTable[5] = MakeSat("Stale");
    const QByteArray image = ReadPresetTestFile("shifted_prefix.rcu");
    ASSERT_TRUE(ParsePresetImage(Bytes(image), std::size_t(image.size())));
    EXPECT_STREQ(g_SatTable[0].name.data(), "Shifted");
    EXPECT_EQ(g_SatTable[5].name[0], 0);
    EXPECT_EQ(g_TpTable[0].freq, 11000);
    EXPECT_EQ(g_TpTable[0].symbol, 30000);
    EXPECT_EQ(g_TpTable[0].fec, Fec2_3);
    EXPECT_EQ(g_TpTable[0].polar, POL_Vertical);
    EXPECT_EQ(CountTransponders(g_TpTable), 1);
    EXPECT_EQ(g_LnbTable[0].lnb_freq1, 5150);
    EXPECT_EQ(g_LnbTable[63].lnb_freq1, 10600);
}

TEST(ParsePresetImage, SkipsTheRecordsOfTheTestSectionAndZeroesEntriesBeyondTheCounts)
{
    ResetPresetTables();
    const QByteArray image = ReadPresetTestFile("test_section.rcu");
    ASSERT_EQ(image.size(), 1124 - 62 * 12 + 340 + 2 * 24 + 8);
    ASSERT_TRUE(ParsePresetImage(Bytes(image), std::size_t(image.size())));
    EXPECT_EQ(g_LnbTable[1].lnb_freq1, 10600);
    EXPECT_EQ(g_LnbTable[2].lnb_freq1, 0);
    EXPECT_EQ(g_LnbTable[2].lnb_type, 0);
    EXPECT_STREQ(g_SatTable[0].name.data(), "AfterTest");
    EXPECT_EQ(g_SatTable[0].settings, (std::array<std::uint8_t, 8> { 9, 9, 9, 9, 9, 9, 9, 9 }));
    EXPECT_STREQ(g_SatTable[1].name.data(), "Second");
    EXPECT_EQ(g_TpTable[0].freq, 4000);
    EXPECT_EQ(g_TpTable[0].sat_num, 1);
    EXPECT_EQ(CountTransponders(g_TpTable), 1);
}

struct Damage {
    const char* what;
    std::function<void(QByteArray&)> apply;
};

void PrintTo(const Damage& damage, std::ostream* out)
{
    *out << damage.what;
}

class RefusedImage : public testing::TestWithParam<Damage> { };

TEST_P(RefusedImage, FailsAndLeavesTheTablesAsTheyWere)
{
    QByteArray image = ReadPresetTestFile("gap.rcu");
    ASSERT_FALSE(image.isEmpty());
    GetParam().apply(image);

    ResetPresetTables();
    g_SatTable[0] = MakeSat("Keep me");
    g_TpTable[0] = MakeTp(12345, 0);
    g_LnbTable[9].padding = { 9, 9, 9 };
    const LnbTable lnbs = g_LnbTable;
    const SatTable sats = g_SatTable;
    const TpTable tps = g_TpTable;

    EXPECT_FALSE(CheckPresetImage(Bytes(image), std::size_t(image.size())));
    EXPECT_FALSE(ParsePresetImage(Bytes(image), std::size_t(image.size())));
    EXPECT_TRUE(SameBytes(g_LnbTable, lnbs));
    EXPECT_TRUE(SameBytes(g_SatTable, sats));
    EXPECT_TRUE(SameBytes(g_TpTable, tps));
}

// gap.rcu: model text at 76, test header at 156 (counts at 236), preset header at 256 (counts at 336),
// 1180 bytes.
const Damage kDamages[] = {
    { "magic", [](QByteArray& p) { p[3] = ','; } },
    { "model_one_character", [](QByteArray& p) { p[76 + 11] = '6'; } },
    { "model_case", [](QByteArray& p) { p[76] = 'v'; } },
    { "model_trailing_blank", [](QByteArray& p) { p[76 + 33] = ' '; } },
    { "model_shorter", [](QByteArray& p) { p[76 + 32] = 0; } },
    { "test_title_19_stars", [](QByteArray& p) { p[156 + 19] = ' '; } },
    { "preset_title_19_stars", [](QByteArray& p) { p[256 + 19] = ' '; } },
    { "cut_by_one_byte", [](QByteArray& p) { p.chop(1); } },
    { "cut_inside_header", [](QByteArray& p) { p.truncate(300); } },
    { "only_magic_and_prefix", [](QByteArray& p) { p.truncate(8); } },
    { "three_bytes", [](QByteArray& p) { p.truncate(3); } },
    { "empty", [](QByteArray& p) { p.clear(); } },
    { "prefix_past_end", [](QByteArray& p) { PutU32(p, 4, 1180); } },
    { "prefix_huge", [](QByteArray& p) { PutU32(p, 4, 0xFFFFFFFF); } },
    { "test_records_past_end", [](QByteArray& p) { PutU32(p, 236, 100); } },
    { "test_counts_huge",
        [](QByteArray& p) {
            for (int i = 0; i < 5; ++i)
                PutU32(p, 236 + 4 * i, 0xFFFFFFFF);
        } },
    { "lnbs_65",
        [](QByteArray& p) {
            PutU32(p, 336, 65);
            p.append(12, '\0');
        } },
    { "satellites_65",
        [](QByteArray& p) {
            PutU32(p, 340, 65);
            p.append(64 * 24, 'x');
        } },
    { "transponders_513",
        [](QByteArray& p) {
            PutU32(p, 344, 513);
            p.append(509 * 8, '\1');
        } },
    { "one_transponder_more_than_held", [](QByteArray& p) { PutU32(p, 344, 5); } },
    { "channels_past_end", [](QByteArray& p) { PutU32(p, 352, 1); } },
    { "over_100000_bytes", [](QByteArray& p) { p.append(qsizetype(kPresetImageBufferSize) + 1 - p.size(), '\0'); } },
};

INSTANTIATE_TEST_SUITE_P(Damaged, RefusedImage, testing::ValuesIn(kDamages),
    [](const testing::TestParamInfo<Damage>& info) { return std::string(info.param.what); });

TEST(ParsePresetImage, AcceptsTrailingBytesUpTo100000AndAnnouncedChannelsThatAreThere)
{
    QByteArray image = ReadPresetTestFile("gap.rcu");
    PutU32(image, 348, 1);
    PutU32(image, 352, 1);
    image.append(24 + 32, '\x77');
    image.append(qsizetype(kPresetImageBufferSize) - image.size(), '\0');
    PresetCounts counts;
    ASSERT_TRUE(CheckPresetImage(Bytes(image), std::size_t(image.size()), &counts));
    EXPECT_EQ(counts.lnbs, 64u);
    EXPECT_EQ(counts.satellites, 1u);
    EXPECT_EQ(counts.transponders, 4u);
    ASSERT_TRUE(ParsePresetImage(Bytes(image), std::size_t(image.size())));
    EXPECT_EQ(CountTransponders(g_TpTable), 4);
}

} // namespace
