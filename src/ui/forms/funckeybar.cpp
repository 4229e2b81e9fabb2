#include "forms/funckeybar.h"

#include "forms/busyanimation.h"
#include "forms/colorstatic.h"
#include "forms/funckeycaptions.h"

#include <QPainter>
#include <QResizeEvent>

namespace {
// F5 to F8 stand out, so the hand finds the middle group.
const QColor kMiddleGroupColor(185, 156, 156);
constexpr int kClipLeft = 4;
} // namespace

CFuncKeyBar::CFuncKeyBar(QWidget *parent)
    : QWidget(parent)
    , m_pAnimation(new CBusyAnimation(this))
{
    setFixedHeight(kBarHeight);
    setAccessibleName(QStringLiteral("ファンクションキー"));
    const CFuncKeyCaptions::Set plain = CFuncKeyCaptions::Plain();
    for (size_t i = 0; i < m_cells.size(); ++i) {
        auto *cell = new CColorStatic(plain[i], this);
        cell->SetAccessiblePrefix(QStringLiteral("F%1").arg(i + 1));
        cell->setFrameStyle(QFrame::WinPanel | QFrame::Raised);
        if (i >= 4 && i <= 7)
            cell->SetColors(Qt::black, kMiddleGroupColor);
        m_cells[i] = cell;
    }
}

bool CFuncKeyBar::OpenClip()
{
    if (!m_pAnimation->Open(QStringLiteral(":/anim/busy.svg"), kClipFrames))
        return false;
    const QSize frame = m_pAnimation->GetFrameSize();
    m_pAnimation->move(kClipLeft, 2 + (kBarHeight - 2 - frame.height()) / 2);
    return true;
}

void CFuncKeyBar::SetCaption(int index, const QString &text)
{
    m_cells.at(size_t(index))->SetWindowText(text);
}

QString CFuncKeyBar::GetCaption(int index) const
{
    return m_cells.at(size_t(index))->GetWindowText();
}

void CFuncKeyBar::StartAnimation()
{
    m_pAnimation->Play();
}

void CFuncKeyBar::StopAnimation()
{
    m_pAnimation->Stop();
}

void CFuncKeyBar::StepAnimation()
{
    m_pAnimation->Step();
}

QSize CFuncKeyBar::sizeHint() const
{
    return QSize(CFuncKeyLayout::kAnimationSpace + 12 * 50, kBarHeight);
}

void CFuncKeyBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QSize client = event->size();
    for (size_t i = 0; i < m_cells.size(); ++i)
        m_cells[i]->setGeometry(CFuncKeyLayout::CellRect(int(i), client.width(), client.height()));
}

void CFuncKeyBar::paintEvent(QPaintEvent *)
{
    // The border on the top edge that separates the bar from the window above it.
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(0, 0, width(), 0);
    painter.setPen(palette().color(QPalette::Light));
    painter.drawLine(0, 1, width(), 1);
}
