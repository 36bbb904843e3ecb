#pragma once

#include "base/filedialog.h"
#include "base/transferprogressevent.h"
#include "grid/cgridctrl.h"
#include "messagerecorder.h"
#include "preset/cpreseteditdlg.h"
#include "preset/cpresetgrid.h"
#include "preset/presettables.h"
#include "presettestdata.h"
#include "transfer/transferkind.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>
#include <vector>

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

// The image of the gap tables; the tables are left as at program start.
inline QByteArray GapImage()
{
    FillGapTables();
    const QByteArray image = BuiltImage();
    ResetPresetTables();
    return image;
}

// Delivers a transfer notice the way the desktop tool does: to the window found by its title.
inline void Notify(unsigned count, bool sending)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->windowTitle() == QLatin1String("Edit Preset Data")) {
            CTransferProgressEvent notice(count, sending);
            QApplication::sendEvent(window, &notice);
            return;
        }
    }
}

// An editor with its seams answered by the test: message boxes recorded, file dialogs answered from a list,
// copies recorded instead of started.
class EditorSession {
protected:
    std::unique_ptr<MessageRecorder> m_messages;
    std::unique_ptr<CPresetEditDlg> m_dlg;
    QStringList m_fileAnswers;
    QTemporaryDir m_dir;
    std::vector<std::pair<int, QByteArray>> m_calls;
    int m_startResult = 1;
    QByteArray m_received;

    CPresetGrid& Sat() { return m_dlg->SatGrid(); }
    CPresetGrid& Tp() { return m_dlg->TpGrid(); }
    void Begin()
    {
        ResetPresetTables();
        g_nShownSat = 0;
        m_messages = std::make_unique<MessageRecorder>();
        m_fileAnswers.clear();
        m_calls.clear();
        m_startResult = 1;
        SetFileDialogHandler([this](const FileDialogRequest& request) {
            if (request.filter != QLatin1String(kRcuFilter) || request.defaultSuffix != QLatin1String("rcu"))
                return QString();
            return m_fileAnswers.isEmpty() ? QString() : m_fileAnswers.takeFirst();
        });
    }
    void End()
    {
        m_dlg.reset();
        SetFileDialogHandler(nullptr);
        m_messages.reset();
    }
    void Show()
    {
        m_dlg = std::make_unique<CPresetEditDlg>();
        m_dlg->SetTransferLink(
            [this](TransferKind kind, const std::uint8_t* data, std::uint32_t length, unsigned) {
                m_calls.emplace_back(int(kind), QByteArray(reinterpret_cast<const char*>(data), qsizetype(length)));
                return m_startResult;
            },
            [this] { return QByteArrayView(m_received); });
        m_dlg->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_dlg.get()));
    }
    // Shown and active, so the editor's shortcuts take keys.
    void ShowActive()
    {
        Show();
        m_dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_dlg.get()));
    }
    QString Save(const QString& name)
    {
        m_fileAnswers << m_dir.filePath(name);
        Button(*m_dlg, 1001)->click();
        return m_dir.filePath(name);
    }
    void Load(const QString& path)
    {
        m_fileAnswers << path;
        Button(*m_dlg, 1000)->click();
    }
    // Replaces the tables with image by the way given: "Open" loads it as a file, otherwise STB -> PC COPY
    // starts a copy, which receives it only when told to.
    void Refill(const QString& way, const QByteArray& image, bool receive = true)
    {
        if (way == QLatin1String("Open")) {
            QVERIFY(WriteFile(m_dir.filePath(QStringLiteral("refill.rcu")), image));
            Load(m_dir.filePath(QStringLiteral("refill.rcu")));
            return;
        }
        Button(*m_dlg, 1002)->click();
        if (receive)
            Receive(image, int(image.size()));
    }
    // Ends a receive that stored the first length bytes of image, with the engine's last notices.
    void Receive(const QByteArray& image, int length)
    {
        m_received = image.left(length);
        Notify(65, false);
        Notify(0, false);
    }
};
