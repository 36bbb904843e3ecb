#pragma once

#include "base/anchors.h"
#include "tplist/csatellitecatalog.h"
#include "tplist/tpbuildstate.h"

#include <QDialog>
#include <array>

class QComboBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;

// "TP List Create": the user selects satellites of the catalogue by group or one at a time and
// "List File" turns their SatcoDX files into transponder lists and List.c. The object lives as long
// as the form, so the build state carries over between openings; the selection does not.
class CTpListCreateDlg : public QDialog {
    Q_OBJECT
public:
    explicit CTpListCreateDlg(QWidget* parent = nullptr);
    ~CTpListCreateDlg() override;

    // Toggle buttons 0 to 8 are SatcoDx1 to SatcoDx9; this one is ALL SAT.
    static constexpr int kAllSat = CSatelliteCatalog::kGroupCount;

    void OnGroupSelChange();
    void OnGroupToggle(int g, bool pressed);
    void OnSatListDblClk();
    void OnListFile();
    void OnExitButton();

    [[nodiscard]] const TpBuildState& BuildState() const { return m_state; }

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnInitDialog();
    void ShowGroup(int g);
    // Fills the list with the satellites of groups first to last, each checked when selected.
    void ShowRows(int first, int last);
    void OnSatChecked(QListWidgetItem* item);
    void SetListEnabled(bool enabled);
    void SetStatusText(const QString& text);
    void UpdateSelectedCount();

    TpBuildState m_state;
    CSatelliteCatalog m_catalog;
    CAnchors m_anchors;
    std::array<QPushButton*, kAllSat + 1> m_groupButtons {};
    QLabel* m_status = nullptr;
    QLabel* m_selectedCount = nullptr;
    QPushButton* m_rcuFile = nullptr;
    QPushButton* m_listFile = nullptr;
    QListWidget* m_satList = nullptr;
    QComboBox* m_groupCombo = nullptr;
};
