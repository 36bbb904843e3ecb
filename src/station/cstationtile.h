#pragma once

#include "station/cstation.h"

#include <QFrame>

class QLabel;
class QPushButton;

// One line of the station as a large tile: the port, its state in big letters on the state's colour,
// the detail under it (rate and time left, the reason of a FAIL), the receivers done and the line's own
// Start and Stop.
class CStationTile : public QFrame {
    Q_OBJECT
public:
    explicit CStationTile(int line, QWidget* parent = nullptr);

    void Show(const LineStatus& status);
    [[nodiscard]] QPushButton* StartButton() const { return m_start; }
    [[nodiscard]] QPushButton* StopButton() const { return m_stop; }

    // The colour a state is shown on; the text on it is white except on the quiet states.
    [[nodiscard]] static QColor StateColor(LineState state);

signals:
    void startClicked(int line);
    void stopClicked(int line);

private:
    QLabel* m_port = nullptr;
    QLabel* m_state = nullptr;
    QLabel* m_detail = nullptr;
    QLabel* m_count = nullptr;
    QPushButton* m_start = nullptr;
    QPushButton* m_stop = nullptr;
};
