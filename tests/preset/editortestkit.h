#pragma once

#include "grid/cgridctrl.h"
#include "preset/cpreseteditdlg.h"
#include "preset/presettables.h"
#include "presettestdata.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QtTest>

// Real mouse and key input on the preset editor's grids, as a user gives it.

inline QPoint CellCenter(CGridCtrl& grid, int row, int column)
{
    QRect rect;
    grid.CellRect(row, column, rect);
    return rect.center();
}

inline void ClickCell(CGridCtrl& grid, int row, int column)
{
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(grid, row, column));
}

inline void DragCells(CGridCtrl& grid, int row, int column, int toRow, int toColumn)
{
    QTest::mousePress(grid.viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(grid, row, column));
    QTest::mouseMove(grid.viewport(), CellCenter(grid, toRow, toColumn));
    QTest::mouseRelease(grid.viewport(), Qt::LeftButton, Qt::NoModifier, CellCenter(grid, toRow, toColumn));
}

// The in-place editor the grid has open, if any.
inline QLineEdit* OpenEditor(CGridCtrl& grid)
{
    for (QLineEdit* edit : grid.findChildren<QLineEdit*>()) {
        if (edit->isVisible())
            return edit;
    }
    return nullptr;
}

// Clicks the cell and types text into it, ended by key (Return by default).
inline void TypeCell(CGridCtrl& grid, int row, int column, const QString& text, Qt::Key key = Qt::Key_Return)
{
    ClickCell(grid, row, column);
    QLineEdit* edit = OpenEditor(grid);
    if (edit) {
        edit->selectAll();
        QTest::keyClicks(edit, text);
    } else {
        QTest::keyClicks(&grid, text.left(1));
        edit = OpenEditor(grid);
        QVERIFY(edit);
        QTest::keyClicks(edit, text.mid(1));
    }
    QTest::keyClick(edit, key);
}

// The texts of a row's cells right of the heading column.
inline QStringList RowTexts(CGridCtrl& grid, int row)
{
    QStringList texts;
    for (int c = 1; c < grid.GetColumns(); ++c)
        texts << grid.CellText(row, c);
    return texts;
}

// The texts of rows first to last, each row's cells joined by '|'.
inline QStringList Rows(CGridCtrl& grid, int first, int last)
{
    QStringList rows;
    for (int r = first; r <= last; ++r)
        rows << RowTexts(grid, r).join(QLatin1Char('|'));
    return rows;
}

inline QAbstractButton* Button(QWidget& dialog, int id)
{
    return dialog.findChild<QAbstractButton*>(QStringLiteral("id%1").arg(id));
}

// True when the file and copy buttons are all in the given state.
inline bool FileAndCopyButtons(QWidget& dialog, bool enabled)
{
    for (int id : { 1000, 1001, 1002, 1003 }) {
        if (Button(dialog, id)->isEnabled() != enabled)
            return false;
    }
    return true;
}

inline QString StatusText(QWidget& dialog)
{
    return dialog.findChild<QLabel*>(QStringLiteral("id1040"))->text();
}

inline QProgressBar* Progress(QWidget& dialog)
{
    return dialog.findChild<QProgressBar*>(QStringLiteral("id1036"));
}

// Several named satellites, one of them with 40 transponders, as a bench would hold them.
inline void FillRealisticTables()
{
    ResetPresetTables();
    const char* names[] = { "Astra 19.2E", "Hot Bird 13E", "Eutelsat 7E", "Turksat 42E", "Thor 0.8W", "Hispasat 30W" };
    const std::uint16_t oscillators[] = { 10600, 10600, 10750, 10600, 5150, 11300 };
    for (std::size_t s = 0, t = 0; s < 6; ++s) {
        g_SatTable[s] = MakeSat(names[s]);
        g_LnbTable[s] = { oscillators[s], 9750, std::uint8_t(oscillators[s] == 10600), {}, {} };
        for (int i = 0, count = s == 0 ? 40 : 3 + int(s); i < count; ++i, ++t) {
            const auto freq = std::uint16_t(s == 4 ? 3700 + 40 * i : 10714 + 29 * i + 3 * int(s));
            g_TpTable[t] = MakeTp(freq, std::uint8_t(s), std::uint16_t(i % 3 == 0 ? 27500 : 22000), std::uint8_t(i % 6),
                std::uint8_t(1 + i % 2));
        }
    }
}
