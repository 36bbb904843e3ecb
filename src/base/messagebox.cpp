#include "base/messagebox.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex g_handlerMutex;

int DefaultHandler(const QString& text, const QString& caption, unsigned type)
{
    std::fprintf(stderr, "[%s] %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
    const unsigned buttons = type & kMessageButtonsMask;
    return (buttons == MB_YESNO || buttons == MB_YESNOCANCEL) ? IDYES : IDOK;
}

MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler = DefaultHandler;
    return handler;
}

} // namespace

QString ApplicationTitle()
{
    return QStringLiteral("Tessavo2");
}

int ShowMessageBox(const QString& text, const QString& caption, unsigned type)
{
    MessageBoxHandler handler;
    {
        std::lock_guard lock(g_handlerMutex);
        handler = Handler();
    }
    return handler(text, caption.isEmpty() ? ApplicationTitle() : caption, type);
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    std::lock_guard lock(g_handlerMutex);
    MessageBoxHandler previous = std::move(Handler());
    Handler() = handler ? std::move(handler) : MessageBoxHandler(DefaultHandler);
    return previous;
}
