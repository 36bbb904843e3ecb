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
