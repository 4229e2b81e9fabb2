#pragma once

#include <QChar>
#include <QString>

// The kinds of entry field; the numbers are the ones forms declare in their tables.
enum EFieldType : int {
    FIELD_TEXT_ASCII = 1,
    FIELD_DIGITS = 2,
    FIELD_TOGGLE = 3,
    FIELD_DATE = 5,
    FIELD_ANY = 15,
};

// Which characters an entry field takes. A typed character falls into a class
// (a set of bits); a field takes it when the class shares a bit with the field's
// mask. Classes follow the characters' code page 932 bytes: half-width katakana
// are single bytes there, kanji, hiragana and full-width letters are not.
class CCharClass final
{
public:
    enum : quint16 {
        ClassDigit = 1,
        ClassLetter = 2,
        ClassWide = 4,
        ClassSymbol = 8,
        ClassToggle = 16,
        ClassDate = 32,
        ClassAll = 0xFFFF,
    };

    // 0 for Tab and Enter, which a field never inserts. "-" and "." depend on the
    // text already in the field.
    static quint16 Classify(char32_t ch, const QString &fieldText);
    static bool Accepts(quint16 mask, char32_t ch, const QString &fieldText);

    // 0 for a number that names no field type.
    static quint16 MaskForType(int fieldType);
};
