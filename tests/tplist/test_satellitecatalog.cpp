#include "tplistworkdir.h"

#include <cstring>
#include <gtest/gtest.h>
#include <utility>

using CatalogTest = TplistTest;

// The list texts keep their source's spelling; the dialog's tests check the texts it shows.
TEST_F(CatalogTest, GroupsHoldTheListedSatellitesInRisingPositionOrder)
{
    const int sizes[] = { 7, 13, 27, 21, 14, 18, 15, 15, 23 };
    int previous = -1;
    for (int g = 0; g < CSatelliteCatalog::kGroupCount; ++g) {
        EXPECT_EQ(catalog->GroupSize(g), sizes[g]);
        for (int i = 0; i < catalog->GroupSize(g); ++i) {
            const char* pos = catalog->PosText(g, i);
            ASSERT_EQ(std::strlen(pos), 4u);
            EXPECT_GT(std::atoi(pos), previous) << pos;
            previous = std::atoi(pos);
            const size_t shortLength = std::strlen(catalog->ShortName(g, i));
            EXPECT_TRUE(shortLength >= 3 && shortLength <= 12) << catalog->ShortName(g, i);
            EXPECT_EQ(std::strchr(catalog->ShortName(g, i), ' '), nullptr);
        }
        EXPECT_STREQ(catalog->PosText(g, sizes[g]), "");
    }
    EXPECT_EQ(catalog->AllTexts().size(), 153);
    EXPECT_STREQ(catalog->OnText(5, 14), "2470 (Solidarridad 2)");
    EXPECT_STREQ(catalog->ShortName(5, 14), "Solidaridad");
    EXPECT_STREQ(catalog->OnText(6, 6), "2630 (Telsta r5)");
    EXPECT_STREQ(catalog->OnText(0, 1), "0050 (Sirius 2, 3)");
    EXPECT_STREQ(catalog->ShortName(6, 1), "G-Star4");
}

// Slots out of range select nothing; every selected slot is collected once, even a name listed twice.
TEST_F(CatalogTest, CollectSelectedListsEverySelectedSlotOnce)
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
    EXPECT_STREQ(state->selected[0].sourcePath, "SatcoDx1/0030.txt");
    EXPECT_STREQ(state->selected[0].posText, "0030");
    EXPECT_STREQ(state->selected[0].shortName, "Telecom2A");
    EXPECT_STREQ(state->selected[152].sourcePath, "SatcoDx9/3592.txt");
    catalog->SetAll(false);
    catalog->SetGroup(2, true);
    ASSERT_TRUE(catalog->CollectSelected(*state));
    ASSERT_EQ(state->selectedCount, 27);
    QStringList insat;
    for (int s = 0; s < state->selectedCount; ++s) {
        if (std::strcmp(state->selected[s].shortName, "Insat3C") == 0)
            insat << state->selected[s].sourcePath;
    }
    EXPECT_EQ(insat, (QStringList { "SatcoDx3/0550.txt", "SatcoDx3/0740.txt" }));
}
