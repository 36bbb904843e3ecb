#include "tplist/csatellitecatalog.h"

#include "tplist/tpbuildstate.h"

#include <cstdio>
#include <cstring>
#include <utility>

namespace {

struct CatalogRow {
    const char* posText;
    const char* name;
    const char* shortName;
};

constexpr std::array<int, CSatelliteCatalog::kGroupCount> kGroupSizes { 7, 13, 27, 21, 14, 18, 15, 15, 23 };

// Slot order, which is also position order.
constexpr CatalogRow kCatalog[] = {
    // SatcoDx1
    { "0030", "Telecom 2A", "Telecom2A" },
    { "0050", "Sirius 2, 3", "Sirius23" },
    { "0051", "Astra 1A", "Astra1A" },
    { "0070", "Eutelsat W3", "EutelsatW3" },
    { "0100", "Eutelsat W1", "EutelsatW1" },
    { "0130", "Hotbird 1~5", "Hotbird15" },
    { "0160", "Eutelsat W2", "EutelsatW2" },
    // SatcoDx2
    { "0192", "Astra 1BH", "Astra1BH" },
    { "0210", "AfriStar", "AfriStar" },
    { "0215", "Eutelsat 2F3", "Eutelsat2F3" },
    { "0235", "Kopernikus 3", "Kopernikus3" },
    { "0242", "Astra 1D", "Astra1D" },
    { "0260", "Arabsat 23A", "Arabsat23A" },
    { "0282", "Astra 2AD", "Astra2AD" },
    { "0285", "Eurobird", "Eurobird" },
    { "0305", "Arabsat 2B", "Arabsat2B" },
    { "0313", "Turksat 1B", "Turksat1B" },
    { "0360", "Eutelsat W4", "EutelsatW4" },
    { "0390", "HellasSat 1", "HellasSat1" },
    { "0400", "Express A1R", "ExpressA1R" },
    // SatcoDx3
    { "0420", "Turksat 1C", "Turksat1C" },
    { "0421", "Eurasisasat 1", "Eurasisasat" },
    { "0425", "NewSat 1", "NewSat1" },
    { "0450", "EuropeStar 1", "EuropeStar1" },
    { "0480", "Eutelsat 2F1", "Eutelsat2F1" },
    { "0500", "Anatolia 1", "Anatolia1" },
    { "0530", "Gorizont 32", "Gorizont32" },
    { "0550", "Insat 3C", "Insat3C" },
    { "0560", "Most 1", "Most1" },
    { "0570", "NSS 703", "NSS703" },
    { "0600", "Intelsat 904", "Intelsat904" },
    { "0620", "Intelsat 902", "Intelsat902" },
    { "0640", "Intelsat 804", "Intelsat804" },
    { "0660", "Intelsat 704", "Intelsat704" },
    { "0685", "Panamsat 710", "Panamsat710" },
    { "0720", "Panamsat 4", "Panamsat4" },
    { "0740", "Insat 3C", "Insat3C" },
    { "0750", "LMT 1", "LMT1" },
    { "0765", "Apstar 2R", "Apstar2R" },
    { "0785", "Thaicom 23", "Thaicom23" },
    { "0800", "Express 2A", "Express2A" },
    { "0830", "Insat 2E3B", "Insat2E3B" },
    { "0875", "Chinastar 1", "Chinastar1" },
    { "0880", "ST 1", "ST1" },
    { "0900", "Yamal 102", "Yamal102" },
    { "0915", "Measat 1", "Measat1" },
    { "0965", "Gorizont 28", "Gorizont28" },
    // SatcoDx4
    { "1005", "Asisasat 2", "Asisasat2" },
    { "1030", "Express 9", "Express9" },
    { "1050", "AsiaStar", "AsiaStar" },
    { "1055", "Asiasat 3S", "Asiasat3S" },
    { "1077", "Cakrawarta 1", "Cakrawarta1" },
    { "1080", "Telkom 1", "Telkom1" },
    { "1082", "AAP 1", "AAP1" },
    { "1100", "BSat1 2A", "BSat12A" },
    { "1101", "JCSat 110", "JCSat110" },
    { "1105", "Sinosat 1", "Sinosat1" },
    { "1130", "Palapa C2", "PalapaC2" },
    { "1131", "Koreasat 2", "Koreasat2" },
    { "1160", "Koreasat 3", "Koreasat3" },
    { "1200", "Thaicom 1A", "Thaicom1A" },
    { "1240", "JCSat 4A", "JCSat4A" },
    { "1280", "JCSat 3", "JCSat3" },
    { "1340", "Apstar 1A", "Apstar1A" },
    { "1380", "Apstar 1", "Apstar1" },
    { "1400", "Gorizont 22", "Gorizont22" },
    { "1440", "Superbird C", "SuperbirdC" },
    { "1450", "Gorizont 21", "Gorizont21" },
    // SatcoDx5
    { "1460", "Agila 2", "Agila2" },
    { "1480", "Measat 2", "Measat2" },
    { "1500", "JCSat 1B", "JCSat1B" },
    { "1540", "JCSat 2", "JCSat2" },
    { "1560", "Optus B3", "OptusB3" },
    { "1580", "Superbird A2", "SuperbirdA2" },
    { "1600", "Optus B1", "OptusB1" },
    { "1620", "Superbird B14", "SuperbirdB14" },
    { "1660", "Panamsat 8", "Panamsat8" },
    { "1690", "Panamsat 2", "Panamsat2" },
    { "1740", "Intelsat 802", "Intelsat802" },
    { "1770", "Intelsat 702", "Intelsat702" },
    { "1800", "Intelsat 701", "Intelsat701" },
    { "1857", "TDRS 5", "TDRS5" },
    // SatcoDx6
    { "2120", "Echostar", "Echostar" },
    { "2210", "AMC 8", "AMC8" },
    { "2230", "AMC 7", "AMC7" },
    { "2250", "Satcom C4", "SatcomC4" },
    { "2270", "Galaxy 1R", "Galaxy1R" },
    { "2290", "Satcom C3", "SatcomC3" },
    { "2310", "Telstar 7", "Telstar7" },
    { "2330", "Galaxy 9", "Galaxy9" },
    { "2350", "Galaxy 5", "Galaxy5" },
    { "2370", "Galaxy 10R", "Galaxy10R" },
    { "2410", "Echostar 46", "Echostar46" },
    { "2412", "DirecTV 6", "DirecTV6" },
    { "2413", "Anik E2", "AnikE2" },
    { "2432", "SATMEX 5", "SATMEX5" },
    { "2470", "Solidarridad 2", "Solidaridad" },
    { "2489", "Anik 2", "Anik2" },
    { "2500", "Echostar 5", "Echostar5" },
    { "2502", "DirecTV 1", "DirecTV1" },
    // SatcoDx7
    { "2527", "Anik F1", "AnikF1" },
    { "2550", "G-Star 4", "G-Star4" },
    { "2570", "AMC 1", "AMC1" },
    { "2590", "AMC 4", "AMC4" },
    { "2591", "DirecTV 1R", "DirecTV1R" },
    { "2610", "Galaxy 4R", "Galaxy4R" },
    { "2630", "Telsta r5", "Telstar5" },
    { "2650", "Galaxy 8I", "Galaxy8I" },
    { "2670", "Telstar 6", "Telstar6" },
    { "2680", "Brasilsat B4", "BrasilsatB4" },
    { "2690", "Galaxy 11", "Galaxy11" },
    { "2691", "Nimiq 1", "Nimiq1" },
    { "2710", "Telstar 4", "Telstar4" },
    { "2730", "AMC 3", "AMC3" },
    { "2750", "AMC 2", "AMC2" },
    // SatcoDx8
    { "2760", "Brasilsat B3", "BrasilsatB3" },
    { "2790", "Satcom K2", "SatcomK2" },
    { "2810", "AMC 5", "AMC5" },
    { "2860", "SBS 6", "SBS6" },
    { "2861", "Galaxy 6", "Galaxy6" },
    { "2880", "AMC 6", "AMC6" },
    { "2882", "Nahuel 1A", "Nahuel1A" },
    { "2900", "Brasilsat B1", "BrasilsatB1" },
    { "2950", "Brasilsat B2", "BrasilsatB2" },
    { "2985", "Echostar 3", "Echostar3" },
    { "3020", "Panamsat 9", "Panamsat9" },
    { "3045", "Intelsat 805", "Intelsat805" },
    { "3070", "Intelsat 706", "Intelsat706" },
    { "3100", "Intelsat 709", "Intelsat709" },
    { "3130", "TDRS 6", "TDRS6" },
    // SatcoDx9
    { "3150", "Panamsat 1R", "Panamsat1R" },
    { "3170", "Panamsat 6", "Panamsat6" },
    { "3195", "NSS 806", "NSS806" },
    { "3223", "Columbia 515", "Columbia515" },
    { "3225", "TelStar 11", "TelStar11" },
    { "3255", "Intelsat 903", "Intelsat903" },
    { "3285", "Intelsat 801", "Intelsat801" },
    { "3300", "Hispasat 1AC", "Hispasat1AC" },
    { "3325", "Intelsat 605", "Intelsat605" },
    { "3355", "Intelsat 603", "Intelsat603" },
    { "3385", "NSSK 833", "NSSK833" },
    { "3420", "Intelsat 901", "Intelsat901" },
    { "3450", "Telstar 12", "Telstar12" },
    { "3460", "Express 2", "Express2" },
    { "3475", "Eutelsat 2", "Eutelsat2" },
    { "3490", "Express 3A", "Express3A" },
    { "3520", "Telecom 2D", "Telecom2D" },
    { "3521", "Atlantic 2", "Atlantic2" },
    { "3530", "Nilest 101", "Nilest101" },
    { "3550", "Telecom 2C", "Telecom2C" },
    { "3560", "Amos 1", "Amos1" },
    { "3590", "Intelsat 707", "Intelsat707" },
    { "3592", "Thor 123", "Thor123" },
};

static_assert(sizeof(kCatalog) / sizeof(kCatalog[0]) == CSatelliteCatalog::kSatelliteCount);

} // namespace

CSatelliteCatalog::CSatelliteCatalog()
{
    FillCatalog();
}

void CSatelliteCatalog::FillCatalog()
{
    m_entries = {};
    m_groupSize = kGroupSizes;
    m_bandLetters = { 'C', 'K' };
    int row = 0;
    for (int g = 0; g < kGroupCount; ++g) {
        for (int i = 0; i < m_groupSize[g]; ++i, ++row) {
            SatEntry& entry = m_entries[g * kSlotsPerGroup + i];
            const CatalogRow& source = kCatalog[row];
            std::snprintf(entry.onText, sizeof entry.onText, "%s (%s)", source.posText, source.name);
            std::snprintf(entry.offText, sizeof entry.offText, " %s", entry.onText);
            entry.posText = source.posText;
            entry.shortName = source.shortName;
            entry.listIsOn = false;
        }
    }
}

const CSatelliteCatalog::SatEntry* CSatelliteCatalog::Entry(int g, int i) const
{
    if (g < 0 || g >= kGroupCount || i < 0 || i >= m_groupSize[g])
        return nullptr;
    return &m_entries[g * kSlotsPerGroup + i];
}

CSatelliteCatalog::SatEntry* CSatelliteCatalog::Entry(int g, int i)
{
    return const_cast<SatEntry*>(std::as_const(*this).Entry(g, i));
}

int CSatelliteCatalog::GroupSize(int g) const
{
    return (g >= 0 && g < kGroupCount) ? m_groupSize[g] : 0;
}

QStringList CSatelliteCatalog::GroupTexts(int g) const
{
    QStringList texts;
    for (int i = 0; i < GroupSize(g); ++i)
        texts << QString::fromLatin1(ListText(g, i));
    return texts;
}

QStringList CSatelliteCatalog::AllTexts() const
{
    QStringList texts;
    for (int g = 0; g < kGroupCount; ++g)
        texts << GroupTexts(g);
    return texts;
}

void CSatelliteCatalog::SetGroup(int g, bool selected)
{
    for (int i = 0; i < GroupSize(g); ++i)
        SetSlot(g, i, selected);
}

void CSatelliteCatalog::SetAll(bool selected)
{
    for (int g = 0; g < kGroupCount; ++g)
        SetGroup(g, selected);
}

void CSatelliteCatalog::SetSlot(int g, int i, bool selected)
{
    if (SatEntry* entry = Entry(g, i))
        entry->listIsOn = selected;
}

bool CSatelliteCatalog::IsSelected(int g, int i) const
{
    return std::strcmp(ListText(g, i), OffText(g, i)) != 0;
}

const char* CSatelliteCatalog::ListText(int g, int i) const
{
    const SatEntry* entry = Entry(g, i);
    return entry ? (entry->listIsOn ? entry->onText : entry->offText) : "";
}

const char* CSatelliteCatalog::OnText(int g, int i) const
{
    const SatEntry* entry = Entry(g, i);
    return entry ? entry->onText : "";
}

const char* CSatelliteCatalog::OffText(int g, int i) const
{
    const SatEntry* entry = Entry(g, i);
    return entry ? entry->offText : "";
}

const char* CSatelliteCatalog::PosText(int g, int i) const
{
    const SatEntry* entry = Entry(g, i);
    return entry ? entry->posText : "";
}

const char* CSatelliteCatalog::ShortName(int g, int i) const
{
    const SatEntry* entry = Entry(g, i);
    return entry ? entry->shortName : "";
}

bool CSatelliteCatalog::FindPosition(const QString& posText, int& g, int& i) const
{
    const QByteArray wanted = posText.toLatin1();
    for (int group = 0; group < kGroupCount; ++group) {
        for (int slot = 0; slot < GroupSize(group); ++slot) {
            if (wanted == PosText(group, slot)) {
                g = group;
                i = slot;
                return true;
            }
        }
    }
    return false;
}

bool CSatelliteCatalog::CollectSelected(TpBuildState& state) const
{
    state.selectedCount = 0;
    for (int g = 0; g < kGroupCount; ++g) {
        for (int i = 0; i < GroupSize(g); ++i) {
            if (!IsSelected(g, i) || state.selectedCount >= kMaxSelectedSats)
                continue;
            SelectedSat& row = state.selected[state.selectedCount++];
            std::snprintf(row.sourcePath, sizeof row.sourcePath, "SatcoDx%d/%s.txt", g + 1, PosText(g, i));
            std::snprintf(row.posText, sizeof row.posText, "%s", PosText(g, i));
            std::snprintf(row.shortName, sizeof row.shortName, "%s", ShortName(g, i));
        }
    }
    return state.selectedCount > 0;
}
