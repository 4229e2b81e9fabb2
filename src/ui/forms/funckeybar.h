#pragma once

#include "forms/funckeylayout.h"

#include <QString>
#include <QWidget>
#include <array>

class CBusyAnimation;
class CColorStatic;
class QPaintEvent;
class QResizeEvent;

// The bar along the bottom of the main window: what F1 to F12 do in the window or
// form in front, and a small animation at its left end while the program is busy.
class CFuncKeyBar final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFuncKeyBar)

public:
    static constexpr int kBarHeight = 31;
    static constexpr int kClipFrames = 6;

    explicit CFuncKeyBar(QWidget *parent = nullptr);

    bool OpenClip();
    void SetCaption(int index, const QString &text);
    QString GetCaption(int index) const;
    CColorStatic *GetCell(int index) const { return m_cells.at(size_t(index)); }
    CBusyAnimation *GetAnimation() const { return m_pAnimation; }

    void StartAnimation();
    void StopAnimation();
    void StepAnimation();

    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    std::array<CColorStatic *, CFuncKeyLayout::kCellCount> m_cells{};
    CBusyAnimation *m_pAnimation = nullptr;
};
