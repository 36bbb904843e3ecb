#include "tplistworkdir.h"

#include <cstring>
#include <gtest/gtest.h>

using CatalogTest = TplistTest;

// Every listed satellite has a four-digit position, in rising order, and a short name fit for List.c.
TEST_F(CatalogTest, GroupsHoldTheListedSatellitesInRisingPositionOrder)
{
    int previous = -1;
    for (int g = 0; g < CSatelliteCatalog::kGroupCount; ++g) {
        for (int i = 0; i < catalog->GroupSize(g); ++i) {
            const char* pos = catalog->PosText(g, i);
            ASSERT_EQ(std::strlen(pos), 4u);
            EXPECT_GT(std::atoi(pos), previous) << pos;
            previous = std::atoi(pos);
            const size_t shortLength = std::strlen(catalog->ShortName(g, i));
            EXPECT_TRUE(shortLength >= 3 && shortLength <= 12) << catalog->ShortName(g, i);
            EXPECT_EQ(std::strchr(catalog->ShortName(g, i), ' '), nullptr);
        }
        EXPECT_STREQ(catalog->PosText(g, catalog->GroupSize(g)), "");
    }
    EXPECT_EQ(catalog->AllTexts().size(), 153);
    // The list text keeps its source's spelling; the short name does not.
    EXPECT_STREQ(catalog->OnText(5, 14), "2470 (Solidarridad 2)");
    EXPECT_STREQ(catalog->ShortName(5, 14), "Solidaridad");
}

// Slots out of range select nothing; positions are found by their four digits only.
TEST_F(CatalogTest, OutOfRangeSlotsAndPositionLookUp)
{
    catalog->SetSlot(0, 7, true);
    catalog->SetSlot(9, 0, true);
    catalog->SetSlot(-1, 0, true);
    EXPECT_FALSE(catalog->CollectSelected(*state));
    int g = -1;
    int i = -1;
    ASSERT_TRUE(catalog->FindPosition(QStringLiteral("0740"), g, i));
    EXPECT_EQ(std::make_pair(g, i), std::make_pair(2, 16));
    EXPECT_FALSE(catalog->FindPosition(QStringLiteral("0741"), g, i));
    EXPECT_FALSE(catalog->FindPosition(QStringLiteral("740"), g, i));
    catalog->SetAll(true);
    ASSERT_TRUE(catalog->CollectSelected(*state));
    ASSERT_EQ(state->selectedCount, 153);
    EXPECT_STREQ(state->selected[152].sourcePath, "SatcoDx9/3592.txt");
}
