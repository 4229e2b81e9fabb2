#include "kana/kana.h"

#include <algorithm>

namespace {
constexpr char16_t kToHiragana = 0x60;

bool IsKatakana(QChar c)
{
    return c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6;
}
} // namespace

bool CKana::IsSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QChar(0x3000);
}

bool CKana::IsKana(QChar c)
{
    return (c.unicode() >= 0x3041 && c.unicode() <= 0x3096) || IsKatakana(c) || c.unicode() == 0x30FC;
}

bool CKana::AllKana(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), IsKana);
}

QString CKana::Hiragana(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        if (IsKatakana(c))
            c = QChar(char16_t(c.unicode() - kToHiragana));
    }
    return out;
}
