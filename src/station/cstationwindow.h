#pragma once

#include "station/cstation.h"

#include <QWidget>
#include <memory>
#include <vector>

class CStationTile;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QDateEdit;
class QGridLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTreeWidget;

// Tools > Production Station: flashes one image on every ticked line, hands off. The image, the lines
// and the speed are fixed while a run goes on; a tile per line follows it, the records arrive as they are
// logged, and nothing modal ever waits for an operator.
class CStationWindow : public QWidget {
    Q_OBJECT
public:
    explicit CStationWindow(QWidget* parent = nullptr);
    ~CStationWindow() override;

    // Takes the image as Open would (tests and the command line of a demo use it).
    void OpenImage(const QString& path);
    void AddTypedLine(const QString& path);
    void SetLogPath(const QString& path);
    [[nodiscard]] QString LogPath() const { return m_logPath; }
    [[nodiscard]] CStation* Station() const { return m_station.get(); }
    [[nodiscard]] CStationTile* Tile(int line) const;

    void StartAll();
    void StopAll();
    void StartLine(int line);
    void StopLine(int line);

signals:
    // A finished download was announced, by sound when that is on.
    void announced(bool passed);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildSetup(QGridLayout* grid);
    QWidget* BuildRecords();
    void RefreshPorts();
    [[nodiscard]] QStringList TickedPorts() const;
    void ShowPlannedTiles();
    void MakeTiles(int count);
    [[nodiscard]] bool PrepareStation();
    void OnLineChanged(int line);
    void OnRecord(const QJsonObject& record);
    void ShowTotals();
    void ShowRunning();
    void OnOpen();
    void OnPickLog();
    void OnExport();
    void Say(const QString& text);

    std::unique_ptr<CStation> m_station;
    bool m_stationStale = true;
    QString m_imagePath;
    QString m_logPath;
    QLabel* m_image = nullptr;
    QLabel* m_sha = nullptr;
    QComboBox* m_kind = nullptr;
    QPushButton* m_open = nullptr;
    QListWidget* m_ports = nullptr;
    QLineEdit* m_typed = nullptr;
    QPushButton* m_add = nullptr;
    QPushButton* m_refresh = nullptr;
    QComboBox* m_speed = nullptr;
    QDoubleSpinBox* m_rearm = nullptr;
    QPushButton* m_startAll = nullptr;
    QPushButton* m_stopAll = nullptr;
    QCheckBox* m_sound = nullptr;
    QLabel* m_log = nullptr;
    QPushButton* m_pickLog = nullptr;
    QGridLayout* m_tileGrid = nullptr;
    std::vector<CStationTile*> m_tiles;
    QLabel* m_totals = nullptr;
    QPushButton* m_reset = nullptr;
    QTreeWidget* m_records = nullptr;
    QDateEdit* m_day = nullptr;
    QPushButton* m_export = nullptr;
    QLabel* m_status = nullptr;
};
