#include "csv/csvquote.h"

#include <QList>

namespace {
bool IsControl(char32_t c)
{
    // C0, DEL, C1, and the marks that turn a line's direction around.
    return c < 0x20 || (c >= 0x7f && c <= 0x9f) || c == 0x2028 || c == 0x2029 || (c >= 0x202a && c <= 0x202e)
        || (c >= 0x2066 && c <= 0x2069);
}

QString Escape(char32_t c)
{
    switch (c) {
    case U'\n':
        return QStringLiteral("\\n");
    case U'\r':
        return QStringLiteral("\\r");
    case U'\t':
        return QStringLiteral("\\t");
    default: {
        const bool small = c <= 0xff;
        return (small ? QStringLiteral("\\x") : QStringLiteral("\\u"))
             + QString::number(uint(c), 16).toUpper().rightJustified(small ? 2 : 4, QLatin1Char('0'));
    }
    }
}
} // namespace

QString CCsvQuote::Cell(const QString &text)
{
    const QList<uint> characters = text.toUcs4();
    QString quoted;
    for (qsizetype i = 0; i < characters.size() && i < kMaxLength; ++i) {
        const char32_t c = characters[i];
        quoted += IsControl(c) ? Escape(c) : QString::fromUcs4(&c, 1);
    }
    if (characters.size() > kMaxLength)
        quoted += QChar(0x2026);
    return quoted;
}
