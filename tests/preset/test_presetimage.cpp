#include "preset/presetimage.h"
#include "preset/presettables.h"
#include "presettestdata.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

template <typename Table> bool SameBytes(const Table& a, const Table& b)
{
    return std::memcmp(a.data(), b.data(), sizeof(a)) == 0;
}

bool Parse(const QByteArray& image)
{
    return ParsePresetImage(Bytes(image), std::size_t(image.size()));
}

void PutU32(QByteArray& image, qsizetype at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        image[at + i] = char(value >> (8 * i));
}

TEST(BuildPresetImage, MatchesTheExpectedImages)
{
    ResetPresetTables();
    EXPECT_EQ(BuiltImage(), ReadPresetTestFile("empty.rcu"));
    // Only slot 0 is written, the transponders of slots 1 and 2 are, padding bytes are not.
    FillGapTables();
    EXPECT_EQ(BuiltImage(), ReadPresetTestFile("gap.rcu"));
}

TEST(BuildPresetImage, FullTablesFillTheLargestImageAndNoMore)
{
    ResetPresetTables();
    for (std::size_t i = 0; i < NUM_ME_SAT; ++i)
        g_SatTable[i] = MakeSat("Sat");
    for (std::size_t i = 0; i < NUM_ME_TP; ++i)
        g_TpTable[i] = MakeTp(std::uint16_t(10000 + i), std::uint8_t(i / 8));
    std::array<std::uint8_t, kPresetImageMaxSize> exact {};
    EXPECT_EQ(BuildPresetImage(exact.data(), exact.size() - 1), 0u);
    ASSERT_EQ(BuildPresetImage(exact.data(), exact.size()), kPresetImageMaxSize);
    EXPECT_TRUE(ParsePresetImage(exact.data(), exact.size()));
}

TEST(ParsePresetImage, RoundTripLosesOnlyPaddingAndSlotsAfterAGap)
{
    FillGapTables();
    LnbTable lnbs = g_LnbTable;
    TpTable tps = g_TpTable;
    SatTable sats = g_SatTable;
    ASSERT_TRUE(Parse(BuiltImage()));
    for (auto& lnb : lnbs)
        lnb.padding = {};
    for (auto& tp : tps)
        tp.padding = 0;
    sats[2] = {};
    EXPECT_TRUE(SameBytes(g_LnbTable, lnbs) && SameBytes(g_TpTable, tps) && SameBytes(g_SatTable, sats));
}

TEST(ParsePresetImage, FollowsThePrefixLengthAndSkipsTheTestSection)
{
    g_SatTable[5] = MakeSat("Stale");
    ASSERT_TRUE(Parse(ReadPresetTestFile("shifted_prefix.rcu")));
    EXPECT_STREQ(g_SatTable[0].name.data(), "Shifted");
    EXPECT_EQ(g_SatTable[5].name[0], 0);
    EXPECT_EQ(std::tie(g_TpTable[0].freq, g_TpTable[0].symbol, g_TpTable[0].fec, g_TpTable[0].polar),
        std::tuple(11000, 30000, Fec2_3, POL_Vertical));
    EXPECT_EQ(CountTransponders(g_TpTable), 1);

    // 340 bytes of test records, two LNBs, a preset title that only starts with 20 stars
    ASSERT_TRUE(Parse(ReadPresetTestFile("test_section.rcu")));
    EXPECT_EQ(g_LnbTable[1].lnb_freq1, 10600);
    EXPECT_EQ(g_LnbTable[2].lnb_freq1, 0);
    EXPECT_STREQ(g_SatTable[0].name.data(), "AfterTest");
    EXPECT_EQ(g_SatTable[0].settings, (std::array<std::uint8_t, 8> { 9, 9, 9, 9, 9, 9, 9, 9 }));
    EXPECT_STREQ(g_SatTable[1].name.data(), "Second");
    EXPECT_EQ(std::tie(g_TpTable[0].freq, g_TpTable[0].sat_num), std::tuple(4000, 1));
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
    ASSERT_TRUE(Parse(image));
    GetParam().apply(image);
    g_SatTable[0] = MakeSat("Keep me");
    g_LnbTable[9].padding = { 9, 9, 9 };
    const LnbTable lnbs = g_LnbTable;
    const SatTable sats = g_SatTable;
    const TpTable tps = g_TpTable;

    EXPECT_FALSE(Parse(image));
    EXPECT_TRUE(SameBytes(g_LnbTable, lnbs) && SameBytes(g_SatTable, sats) && SameBytes(g_TpTable, tps));
}

// gap.rcu: model text at 76, test header at 156 (counts at 236), preset header at 256 (counts at 336),
// 1180 bytes.
const Damage kDamages[] = {
    { "magic", [](QByteArray& p) { p[3] = ','; } },
    { "model_one_character", [](QByteArray& p) { p[76 + 11] = '6'; } },
    { "model_case", [](QByteArray& p) { p[76] = 'v'; } },
    { "model_trailing_blank", [](QByteArray& p) { p[76 + 33] = ' '; } },
    { "test_title_19_stars", [](QByteArray& p) { p[156 + 19] = ' '; } },
    { "preset_title_19_stars", [](QByteArray& p) { p[256 + 19] = ' '; } },
    { "cut_by_one_byte", [](QByteArray& p) { p.chop(1); } },
    { "only_magic_and_prefix", [](QByteArray& p) { p.truncate(8); } },
    { "prefix_huge", [](QByteArray& p) { PutU32(p, 4, 0xFFFFFFFF); } },
    { "test_records_past_end", [](QByteArray& p) { PutU32(p, 236 + 16, 0x80000000); } },
    { "lnbs_65", [](QByteArray& p) { PutU32(p, 336, 65), p.append(12, '\0'); } },
    { "transponders_513", [](QByteArray& p) { PutU32(p, 344, 513), p.append(509 * 8, '\1'); } },
    { "channels_past_end", [](QByteArray& p) { PutU32(p, 352, 1); } },
    { "over_100000_bytes", [](QByteArray& p) { p.append(qsizetype(kPresetImageBufferSize) + 1 - p.size(), '\0'); } },
};

INSTANTIATE_TEST_SUITE_P(Damaged, RefusedImage, testing::ValuesIn(kDamages),
    [](const testing::TestParamInfo<Damage>& info) { return std::string(info.param.what); });

TEST(ParsePresetImage, AcceptsTrailingBytesUpTo100000AndChannelsThatAreThere)
{
    QByteArray image = ReadPresetTestFile("gap.rcu");
    PutU32(image, 348, 1);
    PutU32(image, 352, 1);
    image.append(24 + 32, '\x77');
    image.append(qsizetype(kPresetImageBufferSize) - image.size(), '\0');
    PresetCounts counts;
    ASSERT_TRUE(CheckPresetImage(Bytes(image), std::size_t(image.size()), &counts));
    EXPECT_EQ(std::tie(counts.lnbs, counts.satellites, counts.transponders), std::tuple(64u, 1u, 4u));
}

} // namespace
