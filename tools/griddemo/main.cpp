// A transponder-style grid to try the grid control by hand (griddemo --help lists the options);
// with --screenshot DIR it writes pictures of the grid in its usual states instead and exits.

#include "grid/ccelltipwnd.h"
#include "grid/cgridctrl.h"
#include "grid/cgriddroplist.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QDrag>
#include <QMimeData>
#include <QPainter>
#include <QSaveFile>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTest>
#include <QTextStream>

namespace {

struct DemoOptions {
    bool dragAndDrop = false;
    bool titleTips = true;
    int columnWidth = 0;
    QString dumpFile;
    QString screenshotDir;
};

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

// Every cell's text, heading row and column included: rows end with LF, cells are separated by TAB.
bool Dump(const CGridCtrl& grid, const QString& path)
{
    QStringList rows;
    for (int r = 0; r < grid.GetRows(); ++r) {
        QStringList cells;
        for (int c = 0; c < grid.GetColumns(); ++c)
            cells << grid.CellText(r, c);
        rows << cells.join(QLatin1Char('\t'));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write((rows.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8()) < 0
        || !file.commit()) {
        QTextStream(stderr) << "Cannot write " << path << "\n";
        return false;
    }
    return true;
}

void SetUp(CGridCtrl& grid, const DemoOptions& options)
{
    grid.SetDragAndDrop(options.dragAndDrop);
    grid.SetTitleTips(options.titleTips);
    Fill(grid);
    if (options.columnWidth > 0) {
        for (int c = grid.GetFixedColumns(); c < grid.GetColumns(); ++c)
            grid.SetColumnWidthAt(c, options.columnWidth);
        grid.RecalcScrollBars();
    }
    FitWidth(grid);
    grid.SetCurrentCell(1, 1);
    grid.setFocus();
}

// The grid with whatever floats over it: a title tip, or the picture of a drag at the pointer.
QPixmap Picture(CGridCtrl& grid, const QPixmap& dragged = {}, QPoint pointer = {})
{
    std::vector<std::pair<QPoint, QPixmap>> layers { { QPoint(0, 0), grid.grab() } };
    if (CCellTipWnd* tip = grid.TitleTip(); tip && tip->isVisible())
        layers.emplace_back(grid.mapFromGlobal(tip->mapToGlobal(QPoint(0, 0))), tip->grab());
    if (!dragged.isNull())
        layers.emplace_back(grid.viewport()->mapTo(&grid, pointer) + QPoint(12, 12), dragged);
    QRect canvas;
    for (const auto& [at, layer] : layers)
        canvas |= QRect(at, layer.deviceIndependentSize().toSize());
    QPixmap picture(canvas.size());
    picture.fill(Qt::white);
    QPainter painter(&picture);
    for (const auto& [at, layer] : layers)
        painter.drawPixmap(at - canvas.topLeft(), layer);
    return picture;
}

int Screenshots(const QString& dirName)
{
    const QDir dir(dirName);
    if (!dir.exists() && !QDir().mkpath(dirName)) {
        QTextStream(stderr) << "Cannot create " << dirName << "\n";
        return 1;
    }
    CDemoGrid grid;
    SetUp(grid, {});
    grid.SetCurrentCell(-1, -1);
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
    QTest::keyClick(list, Qt::Key_Escape);

    // A cut cell under the pointer shows its whole text in a tip.
    for (int c = 1; c < grid.GetColumns(); ++c)
        grid.SetColumnWidthAt(c, 44);
    grid.SetCellText(2, 2, "27500 (DVB-S2)");
    FitWidth(grid);
    grid.RecalcScrollBars();
    view->update();
    QMouseEvent hover(QEvent::MouseMove, CellCentre(grid, 2, 2), view->mapToGlobal(CellCentre(grid, 2, 2)),
        Qt::NoButton, Qt::NoButton, {});
    QApplication::sendEvent(view, &hover);
    ok = Save(Picture(grid), dir, "grid-titletip.png") && ok;

    // A block dragged onto another cell: the target cell is framed while the pointer is over it.
    grid.SetDragAndDrop(true);
    grid.HideTitleTip();
    grid.SelectBlock(4, 1, 5, 2, true);
    grid.SetCurrentCell(4, 1);
    const QPoint target = CellCentre(grid, 8, 3);
    CGridCtrl::SetDragRunner([&](QDrag& drag) {
        QDragEnterEvent enter(target, Qt::CopyAction | Qt::MoveAction, drag.mimeData(), Qt::LeftButton, {});
        QApplication::sendEvent(view, &enter);
        ok = Save(Picture(grid, drag.pixmap(), target), dir, "grid-drag.png") && ok;
        QDropEvent drop(target, Qt::CopyAction | Qt::MoveAction, drag.mimeData(), Qt::LeftButton, {});
        QApplication::sendEvent(view, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    });
    QTest::mousePress(view, Qt::LeftButton, {}, CellCentre(grid, 5, 2));
    QMouseEvent drag(QEvent::MouseMove, target, view->mapToGlobal(target), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(view, &drag);
    QTest::mouseRelease(view, Qt::LeftButton, {}, target);
    CGridCtrl::SetDragRunner(nullptr);
    return ok ? 0 : 1;
}

// 0 to run, 1 after --help, 2 on a usage error.
int ParseOptions(const QStringList& arguments, DemoOptions& options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("A transponder grid to try the grid control by hand."));
    parser.addHelpOption();
    parser.addOptions({
        { QStringLiteral("dnd"), QStringLiteral("Allow dragging and dropping cells.") },
        { QStringLiteral("no-title-tips"), QStringLiteral("Show no tip over cells whose text is cut.") },
        { QStringLiteral("column-width"), QStringLiteral("Set every non-fixed column to PX pixels after fitting."),
            QStringLiteral("PX") },
        { QStringLiteral("dump"), QStringLiteral("On exit, write every cell's text to FILE (TAB and LF separated)."),
            QStringLiteral("FILE") },
        { QStringLiteral("screenshot"), QStringLiteral("Write pictures of the grid into DIR and exit."),
            QStringLiteral("DIR") },
    });
    if (!parser.parse(arguments)) {
        QTextStream(stderr) << parser.errorText() << "\n";
        return 2;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText();
        return 1;
    }
    bool number = true;
    if (parser.isSet(QStringLiteral("column-width")))
        options.columnWidth = parser.value(QStringLiteral("column-width")).toInt(&number);
    if (!number || options.columnWidth < 0 || !parser.positionalArguments().isEmpty()) {
        QTextStream(stderr) << "usage: griddemo [--dnd] [--no-title-tips] [--column-width PX] [--dump FILE]"
                               " [--screenshot DIR]\n";
        return 2;
    }
    options.dragAndDrop = parser.isSet(QStringLiteral("dnd"));
    options.titleTips = !parser.isSet(QStringLiteral("no-title-tips"));
    options.dumpFile = parser.value(QStringLiteral("dump"));
    options.screenshotDir = parser.value(QStringLiteral("screenshot"));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    DemoOptions options;
    {
        // Options are read before any window system is needed, so --help works without a display.
        QCoreApplication core(argc, argv);
        if (const int parsed = ParseOptions(QCoreApplication::arguments(), options))
            return parsed == 1 ? 0 : parsed;
    }
    QApplication app(argc, argv);
    if (!options.screenshotDir.isEmpty())
        return Screenshots(options.screenshotDir);
    CDemoGrid grid;
    grid.setWindowTitle("Grid demo");
    SetUp(grid, options);
    auto* quit = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), &grid);
    QObject::connect(quit, &QShortcut::activated, &grid, &QWidget::close);
    grid.show();
    const int result = QApplication::exec();
    if (!options.dumpFile.isEmpty() && !Dump(grid, options.dumpFile))
        return 1;
    return result;
}
