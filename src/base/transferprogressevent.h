#pragma once

#include <QEvent>

// A buffer transfer's progress notice, sent synchronously to the window titled "Edit Preset Data"
// on the GUI thread. The editor handles it in event(); count and sending are the notice's values.
class CTransferProgressEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = QEvent::Type(QEvent::User + 3);

    CTransferProgressEvent(unsigned count, bool sending)
        : QEvent(kType)
        , m_count(count)
        , m_sending(sending)
    {
    }

    [[nodiscard]] unsigned Count() const { return m_count; }
    [[nodiscard]] bool Sending() const { return m_sending; }

private:
    unsigned m_count;
    bool m_sending;
};
