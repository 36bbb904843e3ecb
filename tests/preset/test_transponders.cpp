#include "messagerecorder.h"
#include "preset/presettables.h"
#include "presettestdata.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<int, int>>;

// (freq, sat) of the entries in use, in table order.
Entries Used()
{
    Entries used;
    for (std::size_t i = 0; i < std::size_t(CountTransponders(g_TpTable)); ++i)
        used.emplace_back(g_TpTable[i].freq, g_TpTable[i].sat_num);
    return used;
}

void FillTable(std::initializer_list<std::pair<int, int>> entries)
{
    ResetPresetTables();
    std::size_t i = 0;
    for (auto [freq, sat] : entries)
        g_TpTable[i++] = MakeTp(std::uint16_t(freq), std::uint8_t(sat));
}

TpList List(std::initializer_list<int> freqs, std::uint8_t sat)
{
    TpList list {};
    std::size_t i = 0;
    for (int freq : freqs)
        list[i++] = MakeTp(std::uint16_t(freq), sat);
    return list;
}

TpList Block(int count, std::uint8_t sat, int firstFreq = 20000)
{
    TpList list {};
    for (int i = 0; i < count; ++i)
        list[std::size_t(i)] = MakeTp(std::uint16_t(firstFreq + i), sat);
    return list;
}

void AppendBlock(int count, std::uint8_t sat)
{
    const TpList block = Block(count, sat, 1000);
    std::copy_n(block.begin(), count, g_TpTable.begin() + CountTransponders(g_TpTable));
}

TEST(ReplaceSatTransponders, KeepsTheTableGroupedAndTheListOrder)
{
    MessageRecorder messages;
    FillTable({ { 100, 1 }, { 200, 2 }, { 201, 2 }, { 500, 5 } });
    ASSERT_TRUE(ReplaceSatTransponders(List({ 303, 301, 302 }, 3), 3));
    ASSERT_TRUE(ReplaceSatTransponders(List({ 700 }, 7), 7));
    ASSERT_TRUE(ReplaceSatTransponders(List({ 50 }, 0), 0));
    EXPECT_EQ(Used(),
        (Entries { { 50, 0 }, { 100, 1 }, { 200, 2 }, { 201, 2 }, { 303, 3 }, { 301, 3 }, { 302, 3 }, { 500, 5 },
            { 700, 7 } }));

    // A list stops at its first zero frequency; the freed tail is cleared.
    ASSERT_TRUE(ReplaceSatTransponders(List({ 210, 0, 212 }, 2), 2));
    ASSERT_TRUE(ReplaceSatTransponders(TpList {}, 3));
    EXPECT_EQ(Used(), (Entries { { 50, 0 }, { 100, 1 }, { 210, 2 }, { 500, 5 }, { 700, 7 } }));
    EXPECT_EQ(std::tie(g_TpTable[5].freq, g_TpTable[5].sat_num), std::tuple(0, 0));
    EXPECT_EQ(messages.Count(), 0);
}

struct Limit {
    int others;
    int own;
    int fresh;
    bool accepted;
};

class TransponderLimit : public testing::TestWithParam<Limit> { };

TEST_P(TransponderLimit, RefusesMoreThan512AndKeepsTheOldEntries)
{
    MessageRecorder messages;
    const auto [others, own, fresh, accepted] = GetParam();
    ResetPresetTables();
    AppendBlock(others / 2, 1);
    AppendBlock(own, 2);
    AppendBlock(others - others / 2, 3);
    const TpTable before = g_TpTable;

    EXPECT_EQ(ReplaceSatTransponders(Block(fresh, 2), 2), accepted);
    if (accepted) {
        const Entries used = Used();
        ASSERT_EQ(int(used.size()), others + fresh);
        EXPECT_EQ(used[std::size_t(others / 2 + fresh - 1)], std::pair(20000 + fresh - 1, 2));
        EXPECT_EQ(messages.Count(), 0);
    } else {
        EXPECT_EQ(std::memcmp(g_TpTable.data(), before.data(), sizeof before), 0);
        EXPECT_EQ(messages.Texts(), QStringList { QStringLiteral("ERROR  TOTAL TRANSPONDER") });
    }
}

INSTANTIATE_TEST_SUITE_P(Boundaries, TransponderLimit,
    testing::Values(Limit { 300, 0, 200, true }, Limit { 500, 0, 12, true }, Limit { 500, 0, 13, false },
        Limit { 0, 100, 512, true }, Limit { 412, 100, 100, true }, Limit { 412, 100, 101, false },
        Limit { 511, 1, 2, false }));

TEST(GetSatTransponders, CopiesOneSatelliteInTableOrderAndZeroFillsTheRest)
{
    FillTable({ { 100, 1 }, { 200, 2 }, { 201, 2 }, { 500, 5 } });
    TpList list;
    list.fill(MakeTp(9999, 9));
    GetSatTransponders(2, list);
    EXPECT_EQ(std::tie(list[0].freq, list[1].freq, list[2].freq, list[2].sat_num), std::tuple(200, 201, 0, 0));
    GetSatTransponders(4, list);
    EXPECT_EQ(CountTransponders(list), 0);
}

} // namespace
