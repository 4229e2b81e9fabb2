#pragma once

#include <QList>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

class QPaintEvent;

// A short looping clip that shows the program is busy; at rest it shows its first frame.
class CBusyAnimation final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CBusyAnimation)

public:
    static constexpr int kFrameInterval = 25;

    explicit CBusyAnimation(QWidget *parent = nullptr);

    // The clip is one picture holding its frames side by side.
    bool Open(const QString &strip, int frameCount);
    void Play();
    void Stop();
    // While playing: the next frame, painted now rather than at the next event.
    void Step();
    bool IsPlaying() const { return m_timer.isActive(); }
    int GetFrame() const { return m_nFrame; }
    int GetFrameCount() const { return int(m_frames.size()); }
    QSize GetFrameSize() const;

    QSize sizeHint() const override { return GetFrameSize(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void ShowFrame(int frame);

    QList<QPixmap> m_frames;
    int m_nFrame = 0;
    QTimer m_timer;
};
