#include "shell/keyindicators.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QStatusBar>

namespace {
// X11 reports lock states in a key event's modifier mask.
constexpr quint32 kX11LockMask = 1u << 1;
constexpr quint32 kX11NumLockMask = 1u << 4;
} // namespace

CKeyIndicators::CKeyIndicators(QStatusBar *statusBar)
    : QObject(statusBar)
    , m_bNativeLocks(QGuiApplication::platformName() == QLatin1String("xcb"))
{
    const char *const texts[] = {"ｶﾅ", "CAP", "NUM", "SCRL"};
    for (size_t i = 0; i < m_panes.size(); ++i) {
        auto *pane = new QLabel(QString::fromUtf8(texts[i]), statusBar);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 8);
        pane->setEnabled(false);
        statusBar->addPermanentWidget(pane);
        m_panes[i] = pane;
    }
    if (m_bNativeLocks)
        qApp->installEventFilter(this);
}

void CKeyIndicators::SetLit(int indicator, bool lit)
{
    m_panes.at(size_t(indicator))->setEnabled(lit);
}

bool CKeyIndicators::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const quint32 state = static_cast<QKeyEvent *>(event)->nativeModifiers();
        SetLit(indicatorCaps, state & kX11LockMask);
        SetLit(indicatorNum, state & kX11NumLockMask);
    }
    return QObject::eventFilter(watched, event);
}
