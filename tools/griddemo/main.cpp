// A transponder-style grid to try the grid control by hand; with --screenshot DIR it writes
// pictures of the grid in its usual states instead and exits.

#include "grid/cgridctrl.h"
#include "grid/cgriddroplist.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTextStream>

namespace {

const QStringList kFecTexts { "1/2", "2/3", "3/4", "5/6", "7/8", "AUTO" };
const QStringList kPolarTexts { "AUTO", "HOR.", "VER." };

class CDemoGrid : public CGridCtrl {
public:
    CDemoGrid() = default;

    void MakeInPlaceEditor(const QRect& rect, int style, int controlId, int row, int column, const QString& text,
        unsigned startKey) override
    {
        if (column == 3 || column == 4)
            new CGridDropList(this, rect, CGridDropList::kDropDown, controlId, row, column,
                column == 3 ? kFecTexts : kPolarTexts, text, startKey);
        else
            CGridCtrl::MakeInPlaceEditor(rect, style, controlId, row, column, text, startKey);
    }
};

void Fill(CGridCtrl& grid)
{
    grid.SetRows(513);
    grid.SetFixedRows(1);
    grid.SetColumns(5);
    grid.SetFixedColumns(1);
    const QStringList headings { "", "Frequency", "Symbol Rate", "FEC", "Polarization" };
    GridItemInfo item;
    item.mask = GVIF_TEXT | GVIF_FORMAT;
    for (int r = 0; r < grid.GetRows(); ++r) {
        for (int c = 0; c < grid.GetColumns(); ++c) {
            item.row = r;
            item.column = c;
            if (r == 0) {
                item.format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
                item.text = headings[c];
            } else if (c == 0) {
                item.format = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
                item.text = QString::number(r);
            } else {
                item.format = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
                const int i = r - 1;
                const bool used = r <= 300;
                switch (c) {
                case 1:
                    item.text = used ? QString::number(10700 + (i * 37) % 2050) : QString();
                    break;
                case 2:
                    item.text = used ? QString::number(22000 + (i % 7) * 1500) : QString();
                    break;
                case 3:
                    item.text = used ? kFecTexts[i % kFecTexts.size()] : QString();
                    break;
                default:
                    item.text = used ? kPolarTexts[1 + i % 2] : QString();
                    break;
                }
            }
            grid.WriteItem(item);
        }
    }
    grid.FitAll();
}

// As wide as the columns and the scroll bar, so that no empty band shows at the right.
void FitWidth(CGridCtrl& grid)
{
    const int bar = grid.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    grid.resize(grid.TotalWidth() + bar + 2 * grid.frameWidth(), 500);
}

QPoint CellCentre(const CGridCtrl& grid, int row, int column)
{
    QRect rect;
    grid.CellRect(row, column, rect);
    return rect.center();
}

bool Save(const QPixmap& picture, const QDir& dir, const QString& name)
{
    const QString path = dir.filePath(name);
    if (!picture.save(path)) {
        QTextStream(stderr) << "Cannot write " << path << "\n";
        return false;
    }
    QTextStream(stdout) << path << "\n";
    return true;
}

int Screenshots(const QString& dirName)
{
    const QDir dir(dirName);
    if (!dir.exists() && !QDir().mkpath(dirName)) {
        QTextStream(stderr) << "Cannot create " << dirName << "\n";
        return 1;
    }
    CDemoGrid grid;
    Fill(grid);
    FitWidth(grid);
    grid.show();
    grid.activateWindow();
    if (!QTest::qWaitForWindowActive(&grid))
        QTextStream(stderr) << "The window did not become active\n";
    QWidget* view = grid.viewport();
    bool ok = Save(grid.grab(), dir, "grid-fresh.png");

    QTest::mouseClick(view, Qt::LeftButton, {}, CellCentre(grid, 3, 2));
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
    ok = Save(grid.grab(), dir, "grid-selection.png") && ok;

    QTest::keyClick(&grid, Qt::Key_PageDown);
    QTest::keyClick(&grid, Qt::Key_PageDown);
    QTest::keyClick(&grid, Qt::Key_PageDown);
    ok = Save(grid.grab(), dir, "grid-scrolled.png") && ok;

    QTest::keyClick(&grid, Qt::Key_Home);
    QTest::keyClick(&grid, Qt::Key_Left);
    QTest::keyClick(&grid, '1');
    QTest::keyClicks(QApplication::focusWidget(), "1495");
    ok = Save(grid.grab(), dir, "grid-edit.png") && ok;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    QTest::mouseClick(view, Qt::LeftButton, {}, CellCentre(grid, 3, 4));
    QTest::mouseClick(view, Qt::LeftButton, {}, CellCentre(grid, 3, 4));
    auto* list = grid.findChild<CGridDropList*>();
    if (!list) {
        QTextStream(stderr) << "No drop list opened\n";
        return 1;
    }
    list->showPopup();
    QPixmap picture = grid.grab();
    QWidget* popup = list->view()->window();
    QPainter(&picture).drawPixmap(grid.mapFromGlobal(popup->mapToGlobal(QPoint(0, 0))), popup->grab());
    ok = Save(picture, dir, "grid-droplist.png") && ok;
    list->hidePopup();
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    const int shot = static_cast<int>(args.indexOf("--screenshot"));
    if (shot > 0) {
        if (shot + 1 >= args.size()) {
            QTextStream(stderr) << "usage: griddemo [--screenshot DIR]\n";
            return 2;
        }
        return Screenshots(args[shot + 1]);
    }
    CDemoGrid grid;
    grid.setWindowTitle("Grid demo");
    Fill(grid);
    FitWidth(grid);
    grid.show();
    return QApplication::exec();
}
