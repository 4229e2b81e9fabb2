#pragma once

#include <QString>
#include <QStringView>

// How names and readings are compared when a person is looked for: the forms a
// keyboard or an input method may give for the same text are made one, so that
// "ﾔﾏﾀﾞ", "やまだ" and "ヤマダ" meet.
class CNameFold final
{
public:
    CNameFold() = delete;

    // Full-width and half-width forms as one (NFKC, which also joins a half-width
    // kana with its voiced mark), hiragana as katakana, upper case as lower, and
    // no spaces of either width.
    static QString Fold(QStringView text);
    // Only the digits, of either width: a telephone number as it is looked for.
    static QString Digits(QStringView text);
    // What a search looks through for one employee; a folded query holds no tab,
    // so it never matches across two parts.
    static QString Words(QStringView name, QStringView kana, QStringView tel);
    // The digits a folded query stands for when it is a code or a telephone number
    // (digits, perhaps with hyphens); empty when it is not.
    static QString NumberQuery(const QString &folded);
};
