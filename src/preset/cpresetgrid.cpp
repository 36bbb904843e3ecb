#include "preset/cpresetgrid.h"

#include "grid/cgriddroplist.h"
#include "grid/cgrideditbox.h"
#include "preset/presetcelltext.h"

#include <QStringList>

namespace {

// Every list is a drop-down with an edit field, so a value outside the list may be typed.
constexpr int kListStyle = CGridDropList::kDropDown;

constexpr int kNameColumn = 1;
constexpr int kLnbColumn = 2;

} // namespace

CPresetGrid::CPresetGrid(Kind kind)
    : m_kind(kind)
{
    if (kind == Satellites) {
        // A name longer than the slot holds would be shown but never saved.
        SetColumnMaxLength(kNameColumn, kSatNameSize - 1);
        // A Standard 5150 LNB in one key.
        SetEnterText(kLnbColumn, QStringLiteral("5150"));
    } else {
        SetFitToWidth(true);
    }
}

CPresetGrid::~CPresetGrid() = default;

void CPresetGrid::MakeInPlaceEditor(
    const QRect& rect, int style, int controlId, int row, int column, const QString& text, unsigned startKey)
{
    static const QStringList fecItems { "1/2", "2/3", "3/4", "5/6", "7/8", "AUTO" };
    static const QStringList polarItems { "AUTO", "HOR.", "VER." };
    static const QStringList lnbItems { "Universal", "5150", "9750", "10000", "10050", "10550", "10600", "10678",
        "10700", "10750", "11000", "11200", "11250", "11300", "11475" };
    switch (column) {
    case 1:
    case 2:
        new CGridEditBox(this, rect, style, controlId, row, column, text, startKey);
        break;
    case 3:
    case 4:
        new CGridDropList(
            this, rect, kListStyle, controlId, row, column, column == 3 ? fecItems : polarItems, text, startKey);
        break;
    case kAliasColumn:
        new CGridDropList(this, rect, kListStyle, controlId, row, EditColumn(column), lnbItems, text, startKey);
        break;
    default:
        break;
    }
}

bool CPresetGrid::AdmitCellText(int /*row*/, int column, QString& text, QString& refusal) const
{
    if (m_kind == Satellites && column != kLnbColumn)
        return true;
    const CellVerdict verdict = m_kind == Satellites ? AdmitLnbText(text) : AdmitTransponderText(column, text);
    text = verdict.text;
    refusal = verdict.refusal;
    return refusal.isEmpty();
}
