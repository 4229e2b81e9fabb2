#pragma once

#include <QElapsedTimer>

// The wait cursor and the main window's busy clip for a walk that takes longer
// than about kDelay milliseconds: nothing shows for a quick one. The walk calls
// Pulse() as it goes, which puts both up once the delay is over and then moves
// the clip on, since the event loop waits until the walk is done. Both go off
// again however the walk ends; nested guards show them once.
class CBusyIndicator final
{
public:
    static constexpr int kDelay = 100;

    explicit CBusyIndicator(int delayMs = kDelay);
    ~CBusyIndicator();
    CBusyIndicator(const CBusyIndicator &) = delete;
    CBusyIndicator &operator=(const CBusyIndicator &) = delete;

    void Pulse();
    bool IsShown() const { return m_bShown; }

private:
    void Show();

    QElapsedTimer m_clock;
    qint64 m_nLastStep = 0;
    int m_nDelay;
    unsigned m_nPulses = 0;
    bool m_bShown = false;
};
