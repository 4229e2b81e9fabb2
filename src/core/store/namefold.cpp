#include "store/namefold.h"

namespace {
constexpr char16_t kFirstHiragana = u'\u3041'; // ぁ
constexpr char16_t kLastHiragana = u'\u3096';  // ゖ
constexpr char16_t kIterationMark = u'\u309D'; // ゝ, and ゞ after it
constexpr char16_t kToKatakana = 0x60;

char16_t AsKatakana(char16_t c)
{
    const bool hiragana = (c >= kFirstHiragana && c <= kLastHiragana) || c == kIterationMark || c == kIterationMark + 1;
    return hiragana ? char16_t(c + kToKatakana) : c;
}
} // namespace

QString CNameFold::Fold(QStringView text)
{
    const QString normal = text.toString().normalized(QString::NormalizationForm_KC);
    QString out;
    out.reserve(normal.size());
    for (QChar c : normal) {
        if (!c.isSpace())
            out.append(QChar(AsKatakana(c.unicode())));
    }
    return out.toCaseFolded();
}

QString CNameFold::Digits(QStringView text)
{
    QString out;
    for (QChar c : text.toString().normalized(QString::NormalizationForm_KC)) {
        if (c >= u'0' && c <= u'9')
            out.append(c);
    }
    return out;
}

QString CNameFold::Words(QStringView name, QStringView kana, QStringView tel)
{
    return Fold(name) + QLatin1Char('\t') + Fold(kana) + QLatin1Char('\t') + Digits(tel);
}

QString CNameFold::NumberQuery(const QString &folded)
{
    QString digits;
    for (QChar c : folded) {
        if (c >= u'0' && c <= u'9')
            digits.append(c);
        else if (c != u'-' && c != u'\u30FC') // ー stands for a hyphen in typed numbers
            return {};
    }
    return digits;
}
