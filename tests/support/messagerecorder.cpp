#include "messagerecorder.h"

MessageRecorder::MessageRecorder()
{
    m_previous = SetMessageBoxHandler([this](const QString& text, const QString& caption, unsigned type) {
        std::lock_guard lock(m_mutex);
        m_texts << text;
        m_captions << caption;
        if (!m_answers.empty()) {
            const int answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        const unsigned buttons = type & kMessageButtonsMask;
        return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? int(IDYES) : int(IDOK);
    });
}

MessageRecorder::~MessageRecorder()
{
    SetMessageBoxHandler(std::move(m_previous));
}

void MessageRecorder::QueueAnswer(int answer)
{
    std::lock_guard lock(m_mutex);
    m_answers.push_back(answer);
}

QStringList MessageRecorder::Texts() const
{
    std::lock_guard lock(m_mutex);
    return m_texts;
}

QStringList MessageRecorder::Captions() const
{
    std::lock_guard lock(m_mutex);
    return m_captions;
}

int MessageRecorder::Count() const
{
    std::lock_guard lock(m_mutex);
    return int(m_texts.size());
}

void MessageRecorder::Clear()
{
    std::lock_guard lock(m_mutex);
    m_texts.clear();
    m_captions.clear();
}
