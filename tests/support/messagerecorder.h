#pragma once

#include "base/messagebox.h"

#include <QStringList>
#include <deque>
#include <mutex>

// Replaces the message-box handler for a test's lifetime: records every text and answers from a queue
// (OK, or Yes for yes/no boxes, when the queue is empty). Boxes may come from any thread.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder() { SetMessageBoxHandler(std::move(m_previous)); }
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    void QueueAnswer(int answer)
    {
        std::lock_guard lock(m_mutex);
        m_answers.push_back(answer);
    }
    [[nodiscard]] QStringList Texts() const
    {
        std::lock_guard lock(m_mutex);
        return m_texts;
    }
    [[nodiscard]] QStringList Captions() const
    {
        std::lock_guard lock(m_mutex);
        return m_captions;
    }
    [[nodiscard]] int Count() const { return int(Texts().size()); }
    void Clear()
    {
        std::lock_guard lock(m_mutex);
        m_texts.clear();
        m_captions.clear();
    }

private:
    mutable std::mutex m_mutex;
    QStringList m_texts;
    QStringList m_captions;
    std::deque<int> m_answers;
    MessageBoxHandler m_previous;
};
