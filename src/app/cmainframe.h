#pragma once

#include "serial/portsettings.h"
#include "transfer/transferkind.h"

#include <QElapsedTimer>
#include <QMainWindow>
#include <QString>
#include <cstdint>
#include <memory>

class CPortSettingDlg;
class CStationWindow;
class CTransferEngine;
struct TransferSetup;
struct TransferRecord;
class CTessavo2View;
class QAction;
class QDialog;
class QLabel;

// The main window. It exists for the whole run and owns the port settings dialog, the preset
// editor, the status bar and the transfer engine. Its constructor shows the "Port Setting" dialog
// before any window appears.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame();
    ~CMainFrame() override;

    // False when the port settings were declined at start-up ("The End" has been shown); the
    // program then ends with exit code 1 and the frame is never created.
    [[nodiscard]] bool PortConfirmed() const { return m_bPortConfirmed; }

    // Builds the window: menu, status bar and the download form.
    void Create();

    [[nodiscard]] CPortSettingDlg& PortSettingDlg() { return *m_portSettingDlg; }
    [[nodiscard]] const PortSettings& GetPortSettings() const;
    [[nodiscard]] CTessavo2View* View() const { return m_view; }

    // The file the form's next download reads whole before it starts.
    [[nodiscard]] QString SelectedPath() const { return m_selectedPath; }
    void SetSelectedPath(const QString& path) { m_selectedPath = path; }
    // Both return 1 when the worker started, 0 when the transfer was abandoned (its message shown).
    int StartFileTransfer(TransferKind kind);
    int StartBufferTransfer(TransferKind kind, const uint8_t* data, uint32_t length, unsigned expectedPackets);
    [[nodiscard]] CTransferEngine& Engine() { return *m_engine; }

    // The preset editor arrives with its own work; the frame takes ownership. Until one is set,
    // "Edit Preset Data(&P)" does nothing.
    void SetPresetEditor(QDialog* dialog);

    void OnPortSetup();
    void OnEditPreset();
    void OnAppAbout();
    // Tools "Cancel Transfer" (Esc): enabled only while a transfer or a pending receive runs.
    void OnCancelTransfer();
    // Tools "History": the downloads of the records file, newest first.
    void OnHistory();

    // Where the desktop tool appends a record of every transfer (JSON Lines, the fields of the command
    // line's --log).
    [[nodiscard]] static QString HistoryPath();
    // Tools "Production Station(&S)": opens the station window, or brings it forward.
    void OnProductionStation();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenus();
    void CreateStatusBar();
    void CreateDevicePane();
    int ReportOpening(int started);
    [[nodiscard]] TransferSetup Setup(TransferKind kind, unsigned expectedPackets) const;
    int BeginRecord(int started, TransferKind kind, const QString& file, const QByteArray& bytes);
    void EndRecord();

    CPortSettingDlg* m_portSettingDlg = nullptr;
    QDialog* m_presetEditDlg = nullptr;
    CTessavo2View* m_view = nullptr;
    QAction* m_cancelTransfer = nullptr;
    CStationWindow* m_stationWindow = nullptr;
    QLabel* m_devicePane = nullptr;
    std::unique_ptr<CTransferEngine> m_engine;
    QString m_selectedPath;
    std::unique_ptr<TransferRecord> m_record; // of the running transfer
    QElapsedTimer m_recordTimer;
    bool m_bPortConfirmed = false;
};
