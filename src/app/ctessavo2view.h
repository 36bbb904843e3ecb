#pragma once

#include "transfer/transferkind.h"
#include "transfer/transferreporter.h"

#include <QWidget>

#include <array>

class CColorLabel;
class CMainFrame;
class QDialog;
class QLabel;
class QProgressBar;
class QPushButton;

// The download form that fills the main window: code, preset data and loader data sections.
class CTessavo2View : public QWidget, public CTransferReporter {
    Q_OBJECT
public:
    enum Kind {
        KindNone = 0,
        KindCode = int(TransferKind::Code),
        KindPreset = int(TransferKind::Preset),
        KindLoader = int(TransferKind::Loader),
    };

    explicit CTessavo2View(CMainFrame* frame);

    // Fixed size of the form in dialog units.
    static constexpr int kWidthDu = 364;
    static constexpr int kHeightDu = 299;

    void OnInitialUpdate();

    [[nodiscard]] int SelectedKind() const { return m_nSelectedKind; }

    // The worker's reports. Texts and buttons land on the GUI thread in the order given; a
    // progress notice waits until the preset editor has handled it.
    void SetStatusText(const QString& text) override;
    void EnableStartButtons() override;
    void TransferProgress(unsigned count, bool sending) override;
    // The kind of the section whose Start Send was pressed last.
    [[nodiscard]] int DownloadKind() const { return m_nRequestedKind; }

    // How the last download ended, kept on the form after its message box has gone.
    void ShowLastResult(const QString& text);

    // The "TP List Create" dialog arrives with its own work; the form takes ownership. Until one
    // is set, "Rcu File Create(&R)" does nothing.
    void SetTpListCreateDialog(QDialog* dialog);
    void OnRcuFileCreate();

    void OnOpenCode() { OpenFile(m_sections[0]); }
    void OnOpenPreset() { OpenFile(m_sections[1]); }
    void OnOpenLoader() { OpenFile(m_sections[2]); }
    void OnStartCode() { StartSend(m_sections[0]); }
    void OnStartPreset() { StartSend(m_sections[1]); }
    void OnStartLoader() { StartSend(m_sections[2]); }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Section {
        int kind;
        const char* suffix;
        const char* filter;
        QPushButton* start = nullptr;
        CColorLabel* path = nullptr;
    };

    [[nodiscard]] CColorLabel* Label(int id) const;
    void OpenFile(const Section& section);
    void StartSend(const Section& section);
    void SetStartButtonsEnabled(bool enabled);

    CMainFrame* m_frame = nullptr;
    std::array<Section, 3> m_sections;
    QProgressBar* m_progress = nullptr;
    QLabel* m_lastResult = nullptr;
    QDialog* m_tpListCreateDlg = nullptr;
    int m_nSelectedKind = KindNone;
    int m_nRequestedKind = KindNone;
};
