#pragma once

#include "preset/presetkeptbytes.h"
#include "preset/presetsnapshot.h"
#include "preset/presettypes.h"
#include "transfer/transferkind.h"

#include <QByteArrayView>
#include <QDialog>
#include <QSize>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class CAnchors;
class CPresetGrid;
class PresetHistory;
class QAction;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QUndoStack;

// The satellite slot whose transponders the transponder grid shows. It outlives the editor's windows, so
// rows are always committed to the satellite they were shown for.
extern int g_nShownSat;

// "Edit Preset Data": the satellites with their LNBs and the transponders of one satellite in two grids,
// rcu files, and the preset copy to and from the receiver. The main window keeps one for the whole run;
// the data lives in the preset tables, so closing and reopening keeps it.
class CPresetEditDlg : public QDialog {
    Q_OBJECT

public:
    // The main window's StartBufferTransfer: 1 when the worker started, 0 when the copy was abandoned.
    using BufferTransferStarter = std::function<int(
        TransferKind kind, const std::uint8_t* data, std::uint32_t length, unsigned expectedPackets)>;
    // What the last receive stored from offset 0.
    using ReceivedDataQuery = std::function<QByteArrayView()>;

    static constexpr int kReceivePackets = 64;
    static constexpr char kMessageCaption[] = "EDIT PRESET DATA";

    explicit CPresetEditDlg(QWidget* parent = nullptr);
    ~CPresetEditDlg() override;

    void SetTransferLink(BufferTransferStarter start, ReceivedDataQuery receivedData);

    [[nodiscard]] CPresetGrid& SatGrid() const { return *m_satGrid; }
    [[nodiscard]] CPresetGrid& TpGrid() const { return *m_tpGrid; }
    // True from a copy button to the copy's end notice.
    [[nodiscard]] bool IsCopyRunning() const { return m_bCopyRunning; }

    bool OnInitDialog();
    void FillSatelliteGrid();
    void FillTransponderGrid();
    void GatherLnbColumn();
    void GatherNameColumn();
    // Writes the grid's rows that have a frequency and a symbol rate, in order, to the start of the
    // zero-filled list; blank rows leave no gap.
    void GatherTransponderGrid(TpList& list) const;
    // False when the rows did not fit; the grid then shows the satellite's rows as the table kept them.
    bool CommitShownSatellite();
    // The one place where the grids' edits reach the tables: the open cell edit, the names and LNB types, and
    // the shown satellite's rows. Everything that reads the tables or leaves the grids runs it first.
    void TakeGridEdits();
    void SetStatusText(const QString& text);

    // Changes since the last load, save or copy, and their undo steps.
    [[nodiscard]] bool IsModified() const;
    [[nodiscard]] QUndoStack& UndoStack() const;
    // The rows below move: a satellite row takes its LNB and transponders along.
    void InsertRow(CPresetGrid& grid);
    void DeleteRow(CPresetGrid& grid);
    // The grid's context menu, built afresh for its state; the caller shows it.
    [[nodiscard]] std::unique_ptr<QMenu> MakeGridMenu(CPresetGrid& grid);
    // The size the editor starts at on its screen: its own, or less when the screen is smaller.
    [[nodiscard]] QSize FittedSize() const;

    void OnSatSelChanged();
    void OnOpenPresetFile();
    void OnSavePresetFile();
    void OnStbToPcCopy();
    void OnPcToStbCopy();
    void OnTransferProgress(unsigned count, bool sending);
    void OnExit();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void CreateCommands();
    // rect in the editor's coordinates; edges as CAnchors takes them.
    void PlaceWithAnchor(QWidget* widget, QRect rect, int edges);
    [[nodiscard]] PresetSnapshot Snapshot() const;
    // Takes the grids' cells (not an edit still open) into the tables and makes one undo step of what changed.
    void RecordChange(const QString& what);
    void RestoreSnapshot(const PresetSnapshot& snapshot, int shownSat);
    void MarkUnmodified();
    void UpdateChangeMarks();
    // Before work that replaces the tables or leaves the editor: true to go on (saved, discarded, or nothing to
    // save).
    bool SettleUnsavedChanges(bool discardReverts);
    bool SavePresetFile();
    void ShowGridMenu(CPresetGrid& grid, QPoint at);
    [[nodiscard]] CPresetGrid& FocusedGrid() const;
    void ShowTables(int shownSat);
    bool SatGridWndProc(QEvent* event);
    void RefillFromTables();
    void SelectSatelliteRow(int row);
    void FillShownTransponders();
    bool GatherGrids();
    void ShowProgress(unsigned count, unsigned expected);
    void SetCopyLocked(bool locked);
    void EndCopy();
    void OnCellTextRefused(const QString& reason, int pastedCells);
    // Takes an image that passed ParsePresetImage as the one the tables came from.
    void KeepBytesOf(const std::uint8_t* image, std::size_t length);

    CPresetGrid* m_tpGrid = nullptr;
    CPresetGrid* m_satGrid = nullptr;
    std::array<QPushButton*, 4> m_fileAndCopyButtons {};
    QProgressBar* m_progress = nullptr;
    BufferTransferStarter m_startTransfer;
    ReceivedDataQuery m_receivedData;
    unsigned m_nExpectedPackets = 0;
    bool m_bCopyRunning = false;
    std::array<std::uint8_t, 100000> m_image {};
    // What the last loaded or received image held beyond the tables; a save puts it back.
    PresetKeptBytes m_kept;
    std::unique_ptr<PresetHistory> m_history;
    QLabel* m_counts = nullptr;
    QLabel* m_modifiedMark = nullptr;
    std::unique_ptr<CAnchors> m_anchors;
    QSize m_baseSize;
    // The tables a running PC -> STB COPY sends; once it completes they are the unmodified state.
    std::optional<PresetSnapshot> m_sending;
    bool m_bSized = false;
};
