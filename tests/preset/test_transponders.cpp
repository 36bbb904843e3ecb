#include "messagerecorder.h"
#include "preset/presettables.h"
#include "presettestdata.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

using Entries = std::vector<std::pair<int, int>>;

// (freq, sat) of the entries in use, in table order.
Entries Used()
{
    Entries used;
    for (int i = 0; i < CountTransponders(g_TpTable); ++i)
        used.emplace_back(g_TpTable[std::size_t(i)].freq, g_TpTable[std::size_t(i)].sat_num);
    return used;
}

void FillTable(const Entries& entries)
{
    ResetPresetTables();
    for (std::size_t i = 0; i < entries.size(); ++i)
        g_TpTable[i] = MakeTp(std::uint16_t(entries[i].first), std::uint8_t(entries[i].second));
}

// A list of satellite sat with the given frequencies, then count more from 20000 on.
TpList List(std::uint8_t sat, std::vector<int> freqs, int count = 0)
{
    for (int i = 0; i < count; ++i)
        freqs.push_back(20000 + i);
    TpList list {};
    for (std::size_t i = 0; i < freqs.size(); ++i)
        list[i] = MakeTp(std::uint16_t(freqs[i]), sat);
    return list;
}

TEST(SatTransponders, ReplaceKeepsTheTableGroupedAndGetCopiesOneSatellite)
{
    MessageRecorder messages;
    FillTable({ { 100, 1 }, { 200, 2 }, { 201, 2 }, { 500, 5 } });
    TpList list;
    list.fill(MakeTp(9999, 9));
    GetSatTransponders(2, list);
    EXPECT_EQ(std::tie(list[0].freq, list[1].freq, list[2].freq, list[2].sat_num), std::tuple(200, 201, 0, 0));

    ASSERT_TRUE(ReplaceSatTransponders(List(3, { 303, 301, 302 }), 3));
    ASSERT_TRUE(ReplaceSatTransponders(List(7, { 700 }), 7));
    ASSERT_TRUE(ReplaceSatTransponders(List(0, { 50 }), 0));
    EXPECT_EQ(Used(),
        (Entries { { 50, 0 }, { 100, 1 }, { 200, 2 }, { 201, 2 }, { 303, 3 }, { 301, 3 }, { 302, 3 }, { 500, 5 },
            { 700, 7 } }));
    // A list stops at its first zero frequency; the freed tail is cleared.
    ASSERT_TRUE(ReplaceSatTransponders(List(2, { 210, 0, 212 }), 2));
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
    Entries entries;
    for (const auto& [count, sat] : Entries { { others / 2, 1 }, { own, 2 }, { others - others / 2, 3 } })
        for (int i = 0; i < count; ++i)
            entries.emplace_back(1000 + i, sat);
    FillTable(entries);
    const TpTable before = g_TpTable;
    EXPECT_EQ(ReplaceSatTransponders(List(2, {}, fresh), 2), accepted);
    if (accepted) {
        const Entries used = Used();
        ASSERT_EQ(int(used.size()), others + fresh);
        EXPECT_EQ(used[std::size_t(others / 2 + fresh - 1)], std::pair(20000 + fresh - 1, 2));
        EXPECT_EQ(messages.Count(), 0);
    } else {
        EXPECT_EQ(std::memcmp(g_TpTable.data(), before.data(), sizeof before), 0);
        const int over = others + fresh - NUM_ME_TP;
        EXPECT_EQ(messages.Texts(),
            QStringList {
                QStringLiteral("ERROR  TOTAL TRANSPONDER\nAt most 512 transponders in all: %1 rows did not fit")
                    .arg(over) });
    }
}

INSTANTIATE_TEST_SUITE_P(Boundaries, TransponderLimit,
    testing::Values(Limit { 300, 0, 200, true }, Limit { 500, 0, 12, true }, Limit { 500, 0, 13, false },
        Limit { 0, 100, 512, true }, Limit { 412, 100, 100, true }, Limit { 412, 100, 101, false },
        Limit { 511, 1, 2, false }));

} // namespace
