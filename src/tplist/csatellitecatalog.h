#pragma once

#include <QStringList>
#include <array>

struct TpBuildState;

// The built-in catalogue of 153 satellites in nine groups (SatcoDx1 to SatcoDx9) and its selection.
// Group g is 0 to 8, slot i is 0 to GroupSize(g) - 1; out-of-range slots read as empty and ignore changes.
class CSatelliteCatalog {
public:
    static constexpr int kGroupCount = 9;
    static constexpr int kSlotsPerGroup = 27;
    static constexpr int kSlotCount = kGroupCount * kSlotsPerGroup;
    static constexpr int kSatelliteCount = 153;

    CSatelliteCatalog();

    // Reloads every text and clears the selection.
    void FillCatalog();

    [[nodiscard]] int GroupSize(int g) const;
    [[nodiscard]] QStringList GroupTexts(int g) const;
    [[nodiscard]] QStringList AllTexts() const;

    void SetGroup(int g, bool selected);
    void SetAll(bool selected);
    void SetSlot(int g, int i, bool selected);
    [[nodiscard]] bool IsSelected(int g, int i) const;

    [[nodiscard]] const char* ListText(int g, int i) const;
    [[nodiscard]] const char* OnText(int g, int i) const;
    [[nodiscard]] const char* OffText(int g, int i) const;
    [[nodiscard]] const char* PosText(int g, int i) const;
    [[nodiscard]] const char* ShortName(int g, int i) const;

    // Finds the slot of a four-digit position such as "0130".
    [[nodiscard]] bool FindPosition(const QString& posText, int& g, int& i) const;

    // Fills the selection table from the selected slots in catalogue order; true when any is selected.
    bool CollectSelected(TpBuildState& state) const;

    // 'C' then 'K': the order of the two conversion passes per satellite.
    [[nodiscard]] char BandLetter(int pass) const { return m_bandLetters[pass == 0 ? 0 : 1]; }

private:
    struct SatEntry {
        char onText[32] {};
        char offText[33] {};
        const char* posText = "";
        const char* shortName = "";
        bool listIsOn = false;
    };

    [[nodiscard]] const SatEntry* Entry(int g, int i) const;
    [[nodiscard]] SatEntry* Entry(int g, int i);

    std::array<int, kGroupCount> m_groupSize {};
    std::array<SatEntry, kSlotCount> m_entries {};
    std::array<char, 2> m_bandLetters { 'C', 'K' };
};
