#include "app/clockpanes.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

#if defined(TESSAVO_HAVE_XKBCOMMON_X11) && QT_CONFIG(xcb)
#define TESSAVO_READ_XKB
#include <memory>
#include <xkbcommon/xkbcommon-x11.h>
#endif

namespace {

constexpr std::array<const char*, 3> kIndicators { "CAP", "NUM", "SCRL" };

#ifdef TESSAVO_READ_XKB
template <typename T, void (*Free)(T*)> struct Deleter {
    void operator()(T* p) const { Free(p); }
};
using Context = std::unique_ptr<xkb_context, Deleter<xkb_context, xkb_context_unref>>;
using Keymap = std::unique_ptr<xkb_keymap, Deleter<xkb_keymap, xkb_keymap_unref>>;
using State = std::unique_ptr<xkb_state, Deleter<xkb_state, xkb_state_unref>>;

std::optional<bool> LedOn(xkb_state* state, const char* led)
{
    const int on = xkb_state_led_name_is_active(state, led);
    return on < 0 ? std::nullopt : std::optional<bool>(on > 0);
}
#endif

} // namespace

CLockPanes::CLockPanes(QStatusBar& bar)
    : QObject(&bar)
{
    for (std::size_t i = 0; i < m_panes.size(); ++i) {
        const QString indicator = QString::fromLatin1(kIndicators[i]);
        auto* pane = new QLabel(&bar);
        pane->setObjectName(QStringLiteral("pane") + indicator);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(indicator) + 12);
        bar.addPermanentWidget(pane);
        m_panes[i] = pane;
    }
    m_refresh.setSingleShot(true);
    m_refresh.setInterval(0);
    connect(&m_refresh, &QTimer::timeout, this, [this] { Show(Read()); });
    qApp->installEventFilter(this);
    Show(Read());
}

CLockPanes::~CLockPanes() = default;

void CLockPanes::Show(const Locks& locks)
{
    const std::array<std::optional<bool>, 3> states { locks.caps, locks.num, locks.scroll };
    for (std::size_t i = 0; i < m_panes.size(); ++i)
        m_panes[i]->setText(states[i].value_or(false) ? QString::fromLatin1(kIndicators[i]) : QString());
}

CLockPanes::Locks CLockPanes::Read()
{
#ifdef TESSAVO_READ_XKB
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection
        || !xkb_x11_setup_xkb_extension(connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr))
        return {};
    const std::int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    const Context context(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    if (device < 0 || !context)
        return {};
    const Keymap keymap(xkb_x11_keymap_new_from_device(context.get(), connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS));
    const State state(keymap ? xkb_x11_state_new_from_device(keymap.get(), connection, device) : nullptr);
    if (!state)
        return {};
    return { LedOn(state.get(), XKB_LED_NAME_CAPS), LedOn(state.get(), XKB_LED_NAME_NUM),
        LedOn(state.get(), XKB_LED_NAME_SCROLL) };
#else
    return {};
#endif
}

bool CLockPanes::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ApplicationActivate) {
        m_refresh.start();
    } else if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock)
            m_refresh.start();
    }
    return QObject::eventFilter(watched, event);
}
