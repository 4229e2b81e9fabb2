#pragma once

#include <QObject>
#include <array>

class QEvent;
class QLabel;
class QStatusBar;

// The lock-key panes at the right of the status bar. A pane is lit while its key
// is on, as far as the window system lets the program know; otherwise it stays grey.
class CKeyIndicators final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKeyIndicators)

public:
    enum EIndicator { indicatorKana, indicatorCaps, indicatorNum, indicatorScroll };

    explicit CKeyIndicators(QStatusBar *statusBar);

    QLabel *GetPane(int indicator) const { return m_panes.at(size_t(indicator)); }
    void SetLit(int indicator, bool lit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::array<QLabel *, 4> m_panes{};
    bool m_bNativeLocks;
};
