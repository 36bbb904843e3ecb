#pragma once

#include "preset/presettypes.h"
#include "transfer/transferkind.h"

#include <QByteArrayView>
#include <QDialog>
#include <array>
#include <cstdint>
#include <functional>

class CPresetGrid;
class QProgressBar;
class QPushButton;

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
    void CommitShownSatellite();
    void SetStatusText(const QString& text);

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
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    bool SatGridWndProc(QEvent* event);
    void RefillFromTables();
    void SelectSatelliteRow(int row);
    void ShowProgress(unsigned count, unsigned expected);
    void SetCopyLocked(bool locked);
    void EndCopy();

    CPresetGrid* m_tpGrid = nullptr;
    CPresetGrid* m_satGrid = nullptr;
    std::array<QPushButton*, 4> m_fileAndCopyButtons {};
    QProgressBar* m_progress = nullptr;
    BufferTransferStarter m_startTransfer;
    ReceivedDataQuery m_receivedData;
    unsigned m_nExpectedPackets = 0;
    bool m_bCopyRunning = false;
    std::array<std::uint8_t, 100000> m_image {};
};
