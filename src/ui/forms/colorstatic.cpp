#include "forms/colorstatic.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

namespace {
constexpr double kFontHeightMm = 4.0;
constexpr double kMmPerInch = 25.4;
} // namespace

CColorStatic::CColorStatic(const QString &text, QWidget *parent)
    : QFrame(parent)
    , m_strText(text)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CColorStatic::SetColors(const QColor &text, const QColor &background)
{
    m_crText = text;
    m_crBack = background;
    update();
}

void CColorStatic::SetWindowText(const QString &text)
{
    m_strText = text;
    update();
}

QFont CColorStatic::CaptionFont() const
{
    // A fixed physical height, so captions read the same on every screen.
    QFont font(QStringLiteral("ＭＳ ゴシック"));
    font.setWeight(QFont::Normal);
    font.setPixelSize(qMax(1, qRound(kFontHeightMm * logicalDpiY() / kMmPerInch)));
    return font;
}

QSize CColorStatic::sizeHint() const
{
    const QFontMetrics metrics(CaptionFont());
    const int frame = 2 * frameWidth();
    return QSize(metrics.horizontalAdvance(m_strText) + metrics.averageCharWidth() * 2 + frame,
                 metrics.height() + 4 + frame);
}

void CColorStatic::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_crBack);
    painter.setFont(CaptionFont());
    painter.setPen(m_crText);
    painter.drawText(contentsRect(), Qt::AlignCenter | Qt::TextSingleLine, m_strText);
    drawFrame(&painter);
}
