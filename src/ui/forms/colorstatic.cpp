#include "forms/colorstatic.h"

#include "base/accessiblenotice.h"
#include "forms/readablecolors.h"

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
    setAccessibleName(text);
}

void CColorStatic::SetAccessiblePrefix(const QString &prefix)
{
    m_strPrefix = prefix;
    TellName();
}

void CColorStatic::TellName()
{
    // A key without a task shows its own name: "F6", not "F6 F6".
    const bool blank = m_strText.trimmed().isEmpty();
    QString name = blank ? m_strPrefix : m_strText;
    if (!blank && !m_strPrefix.isEmpty() && m_strText != m_strPrefix)
        name = QStringLiteral("%1 %2").arg(m_strPrefix, m_strText);
    if (name == accessibleName())
        return;
    setAccessibleName(name);
    CAccessibleNotice::Tell(this, QAccessible::NameChanged);
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
    TellName();
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
    const QColor back = CReadableColors::Background(m_crBack, palette().color(QPalette::Button), palette());
    const bool dark = CReadableColors::DarkPalette(palette());
    painter.fillRect(rect(), back);
    painter.setFont(CaptionFont());
    painter.setPen(CReadableColors::TextOn(back, dark ? palette().color(QPalette::ButtonText) : m_crText));
    painter.drawText(contentsRect(), Qt::AlignCenter | Qt::TextSingleLine, m_strText);
    drawFrame(&painter);
}
