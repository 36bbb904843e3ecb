#pragma once

#include "base/messagebox.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <mutex>

// Replaces the message-box handler for a test's lifetime: records every text and answers
// from a queue (OK, or Yes for yes/no boxes, when the queue is empty).
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void QueueAnswer(int answer);
    [[nodiscard]] QStringList Texts() const;
    [[nodiscard]] QStringList Captions() const;
    [[nodiscard]] int Count() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    QStringList m_texts;
    QStringList m_captions;
    std::deque<int> m_answers;
    MessageBoxHandler m_previous;
};
