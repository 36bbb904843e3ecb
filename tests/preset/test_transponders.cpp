#include "messagerecorder.h"
#include "preset/presettables.h"
#include "presettestdata.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <utility>
#include <vector>

namespace {

// (freq, sat) of the entries in use, in table order.
std::vector<std::pair<int, int>> Used()
{
    std::vector<std::pair<int, int>> used;
    for (int i = 0; i < CountTransponders(g_TpTable); ++i)
        used.emplace_back(g_TpTable[std::size_t(i)].freq, g_TpTable[std::size_t(i)].sat_num);
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

void AppendBlock(int count, std::uint8_t sat)
{
    std::size_t at = std::size_t(CountTransponders(g_TpTable));
    for (int i = 0; i < count; ++i)
        g_TpTable[at++] = MakeTp(std::uint16_t(1000 + i), sat);
}

TpList Block(int count, std::uint8_t sat)
{
    TpList list {};
    for (int i = 0; i < count; ++i)
        list[std::size_t(i)] = MakeTp(std::uint16_t(20000 + i), sat);
    return list;
}

using Entries = std::vector<std::pair<int, int>>;

class ReplaceSatTranspondersTest : public testing::Test {
protected:
    MessageRecorder m_messages;
};

TEST_F(ReplaceSatTranspondersTest, InsertsBetweenTheNeighbouringSatellitesKeepingTheListOrder)
{
    FillTable({ { 100, 1 }, { 200, 2 }, { 201, 2 }, { 500, 5 } });
    ASSERT_TRUE(ReplaceSatTransponders(List({ 303, 301, 302 }, 3), 3));
    EXPECT_EQ(Used(), (Entries { { 100, 1 }, { 200, 2 }, { 201, 2 }, { 303, 3 }, { 301, 3 }, { 302, 3 }, { 500, 5 } }));

    ASSERT_TRUE(ReplaceSatTransponders(List({ 700 }, 7), 7));
    EXPECT_EQ(Used().back(), (std::pair { 700, 7 }));
    EXPECT_EQ(Used().size(), 8u);

    ASSERT_TRUE(ReplaceSatTransponders(List({ 50 }, 0), 0));
    EXPECT_EQ(Used().front(), (std::pair { 50, 0 }));
    EXPECT_EQ(m_messages.Count(), 0);
}

TEST_F(ReplaceSatTranspondersTest, ReplacesTheOldEntriesAndClearsTheFreedTail)
{
    FillTable({ { 100, 1 }, { 200, 2 }, { 201, 2 }, { 202, 2 }, { 500, 5 } });
    ASSERT_TRUE(ReplaceSatTransponders(List({ 210 }, 2), 2));
    EXPECT_EQ(Used(), (Entries { { 100, 1 }, { 210, 2 }, { 500, 5 } }));
    for (std::size_t i = 3; i < 5; ++i) {
        EXPECT_EQ(g_TpTable[i].freq, 0);
        EXPECT_EQ(g_TpTable[i].sat_num, 0);
    }

    ASSERT_TRUE(ReplaceSatTransponders(TpList {}, 2));
    EXPECT_EQ(Used(), (Entries { { 100, 1 }, { 500, 5 } }));
}

TEST_F(ReplaceSatTranspondersTest, StopsAtTheFirstZeroFrequencyOfTheList)
{
    FillTable({ { 100, 1 } });
    TpList list = List({ 400, 401, 0, 403 }, 4);
    ASSERT_TRUE(ReplaceSatTransponders(list, 4));
    EXPECT_EQ(Used(), (Entries { { 100, 1 }, { 400, 4 }, { 401, 4 } }));
}

TEST_F(ReplaceSatTranspondersTest, StoresTwoHundredAfterThreeHundredWhole)
{
    ResetPresetTables();
    AppendBlock(300, 0);
    ASSERT_TRUE(ReplaceSatTransponders(Block(200, 1), 1));
    EXPECT_EQ(CountTransponders(g_TpTable), 500);
    EXPECT_EQ(g_TpTable[299].sat_num, 0);
    EXPECT_EQ(g_TpTable[300].freq, 20000);
    EXPECT_EQ(g_TpTable[499].freq, 20199);
    EXPECT_EQ(g_TpTable[499].sat_num, 1);
}

struct Limit {
    int others;
    int own;
    int fresh;
    bool accepted;
};

class TransponderLimit : public testing::TestWithParam<Limit> {
protected:
    MessageRecorder m_messages;
};

TEST_P(TransponderLimit, RefusesMoreThan512AndKeepsTheOldEntries)
{
    const Limit limit = GetParam();
    ResetPresetTables();
    AppendBlock(limit.others / 2, 1);
    AppendBlock(limit.own, 2);
    AppendBlock(limit.others - limit.others / 2, 3);
    const TpTable before = g_TpTable;

    EXPECT_EQ(ReplaceSatTransponders(Block(limit.fresh, 2), 2), limit.accepted);
    if (limit.accepted) {
        EXPECT_EQ(CountTransponders(g_TpTable), limit.others + limit.fresh);
        EXPECT_EQ(m_messages.Count(), 0);
    } else {
        EXPECT_EQ(std::memcmp(g_TpTable.data(), before.data(), sizeof before), 0);
        EXPECT_EQ(m_messages.Texts(), QStringList { QStringLiteral("ERROR  TOTAL TRANSPONDER") });
    }
}

INSTANTIATE_TEST_SUITE_P(Boundaries, TransponderLimit,
    testing::Values(Limit { 500, 0, 12, true }, Limit { 500, 0, 13, false }, Limit { 0, 0, 512, true },
        Limit { 0, 100, 512, true }, Limit { 412, 100, 100, true }, Limit { 412, 100, 101, false },
        Limit { 512, 0, 0, true }, Limit { 511, 1, 2, false }));

TEST(GetSatTransponders, CopiesOneSatelliteInTableOrderAndZeroFillsTheRest)
{
    FillTable({ { 100, 1 }, { 200, 2 }, { 201, 2 }, { 500, 5 } });
    TpList list;
    list.fill(MakeTp(9999, 9));
    GetSatTransponders(2, list);
    EXPECT_EQ(list[0].freq, 200);
    EXPECT_EQ(list[1].freq, 201);
    EXPECT_EQ(CountTransponders(list), 2);
    EXPECT_EQ(list[2].sat_num, 0);

    GetSatTransponders(4, list);
    EXPECT_EQ(CountTransponders(list), 0);
}

} // namespace
