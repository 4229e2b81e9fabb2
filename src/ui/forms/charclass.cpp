#include "forms/charclass.h"

namespace {
constexpr char16_t kSymbols[] = u"/:;<=>?@[\\]_|~";

bool IsHalfWidthKatakana(char32_t ch)
{
    return ch >= 0xFF66 && ch <= 0xFF9F;
}
} // namespace

quint16 CCharClass::Classify(char32_t ch, const QString &fieldText)
{
    if (ch == u'\t' || ch == u'\r' || ch == u'\n')
        return 0;
    if (ch == u'-')
        return fieldText.isEmpty() ? ClassDigit | ClassSymbol : ClassSymbol;
    if (ch == u'.')
        return fieldText.contains(u'.') ? ClassSymbol : ClassDigit | ClassSymbol;
    if (ch < 0x80 && QStringView(kSymbols).contains(QChar(ch)))
        return ClassSymbol;
    if (ch < 0x20)
        return ClassAll;
    if (ch < u'0')
        return ClassSymbol;
    if (ch <= u'9')
        return ClassDigit | ClassToggle | ClassDate;
    if ((ch >= u'A' && ch <= u'Z') || (ch >= u'a' && ch <= u'z'))
        return ClassLetter;
    if (IsHalfWidthKatakana(ch))
        return ClassLetter | ClassWide;
    // The caret, grave accent, braces, DEL and everything beyond ASCII.
    return ClassWide;
}

bool CCharClass::Accepts(quint16 mask, char32_t ch, const QString &fieldText)
{
    return (Classify(ch, fieldText) & mask) != 0;
}

quint16 CCharClass::MaskForType(int fieldType)
{
    switch (fieldType) {
    case FIELD_TEXT_ASCII:
        return ClassDigit | ClassLetter | ClassSymbol;
    case FIELD_DIGITS:
        return ClassDigit;
    case FIELD_TOGGLE:
        return ClassToggle;
    case FIELD_DATE:
        return ClassDate;
    case FIELD_ANY:
        return ClassAll;
    default:
        return 0;
    }
}
