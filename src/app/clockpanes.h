#pragma once

#include <QObject>
#include <QTimer>
#include <array>
#include <optional>

class QLabel;
class QStatusBar;

// The Caps, Num and Scroll Lock panes of the main window's status bar. A pane shows its lock's name
// while the lock is on; it stays blank while the lock is off or while the window system cannot tell.
// The panes follow the lock keys and every return to the program.
class CLockPanes : public QObject {
    Q_OBJECT

public:
    // Each state is empty where the window system does not tell it.
    struct Locks {
        std::optional<bool> caps;
        std::optional<bool> num;
        std::optional<bool> scroll;
    };

    // Adds the three panes to the right of the bar.
    explicit CLockPanes(QStatusBar& bar);
    ~CLockPanes() override;

    void Show(const Locks& locks);
    // The lock states now, from the X11 keyboard extension where the program runs on X11.
    [[nodiscard]] static Locks Read();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::array<QLabel*, 3> m_panes {};
    // Coalesces the notices of one key press, which every widget it passes through reports.
    QTimer m_refresh;
};
