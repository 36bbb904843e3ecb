#include "preset/cpresetgrid.h"

#include "grid/cgriddroplist.h"
#include "grid/cgrideditbox.h"

#include <QStringList>

namespace {

// Every editor is a drop-down with an edit field, so a value outside the list may be typed.
constexpr int kEditorStyle = CGridDropList::kDropDown;

} // namespace

CPresetGrid::~CPresetGrid() = default;

void CPresetGrid::MakeInPlaceEditor(const QRect& rect, int /*style*/, int controlId, int row, int column,
                                    const QString& text, unsigned startKey)
{
    static const QStringList fecItems { "1/2", "2/3", "3/4", "5/6", "7/8", "AUTO" };
    static const QStringList polarItems { "AUTO", "HOR.", "VER." };
    static const QStringList lnbItems { "Universal", "5150", "9750", "10000", "10050", "10550", "10600", "10678",
        "10700", "10750", "11000", "11200", "11250", "11300", "11475" };
    switch (column) {
    case 1:
    case 2:
        new CGridEditBox(this, rect, kEditorStyle, controlId, row, column, text, startKey);
        break;
    case 3:
        new CGridDropList(this, rect, kEditorStyle, controlId, row, column, fecItems, text, startKey);
        break;
    case 4:
        new CGridDropList(this, rect, kEditorStyle, controlId, row, column, polarItems, text, startKey);
        break;
    case kAliasColumn:
        new CGridDropList(this, rect, kEditorStyle, controlId, row, EditColumn(column), lnbItems, text, startKey);
        break;
    default:
        break;
    }
}
