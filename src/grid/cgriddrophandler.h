#pragma once

#include <QObject>
#include <QPointer>

class CGridCtrl;

// Binds one grid to the drag-and-drop events of its viewport and passes them on to the grid's
// DragEnterAt, DragOverAt, DragLeaveNow and DropAt, where the rules of a drop live. Events for
// any other widget are left alone.
class CGridDropHandler : public QObject {
    Q_OBJECT

public:
    CGridDropHandler() = default;
    ~CGridDropHandler() override;

    // False when already registered or when the widget is not a grid.
    bool Register(QWidget* grid);
    void Revoke();
    [[nodiscard]] bool IsRegistered() const { return m_bRegistered; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<CGridCtrl> m_pGrid;
    bool m_bRegistered = false;
};
