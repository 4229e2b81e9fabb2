#pragma once

#include <QChar>
#include <QString>

// The characters a reading is made of, shared by the readings typed and suggested.
class CKana final
{
public:
    CKana() = delete;

    // A space between words, of either width.
    static bool IsSpace(QChar c);
    // Hiragana, katakana or the long vowel mark ー.
    static bool IsKana(QChar c);
    // Not empty, and kana only.
    static bool AllKana(const QString &text);
    // Katakana as hiragana; everything else as it is.
    static QString Hiragana(const QString &text);
};
