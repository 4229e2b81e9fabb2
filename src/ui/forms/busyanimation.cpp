#include "forms/busyanimation.h"

#include <QPainter>

CBusyAnimation::CBusyAnimation(QWidget *parent)
    : QWidget(parent)
{
    m_timer.setInterval(kFrameInterval);
    connect(&m_timer, &QTimer::timeout, this, [this] { ShowFrame((m_nFrame + 1) % GetFrameCount()); });
}

bool CBusyAnimation::Open(const QString &strip, int frameCount)
{
    Stop();
    m_frames.clear();
    const QPixmap picture(strip);
    if (picture.isNull() || frameCount <= 0)
        return false;
    const int width = picture.width() / frameCount;
    for (int i = 0; i < frameCount; ++i)
        m_frames.append(picture.copy(i * width, 0, width, picture.height()));
    resize(GetFrameSize());
    ShowFrame(0);
    return true;
}

QSize CBusyAnimation::GetFrameSize() const
{
    return m_frames.isEmpty() ? QSize() : m_frames.constFirst().size();
}

void CBusyAnimation::Play()
{
    if (!m_frames.isEmpty())
        m_timer.start();
}

void CBusyAnimation::Stop()
{
    m_timer.stop();
    ShowFrame(0);
}

void CBusyAnimation::Step()
{
    if (!IsPlaying())
        return;
    ShowFrame((m_nFrame + 1) % GetFrameCount());
    if (isVisible())
        repaint();
}

void CBusyAnimation::ShowFrame(int frame)
{
    m_nFrame = frame;
    update();
}

void CBusyAnimation::paintEvent(QPaintEvent *)
{
    if (m_frames.isEmpty())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_frames.at(m_nFrame));
}
