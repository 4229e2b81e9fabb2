#pragma once

#include <QString>

// The reading of a field's text as it was typed through an input method: the kana
// of each conversion before it was committed, as spreadsheet programs keep a cell's
// reading. Anything typed or changed otherwise (pasted, deleted, typed past the
// input method) loses it until the field is emptied.
class CImeReading final
{
public:
    // One commit of the input method: the field's text before and after it, what was
    // committed, and the pre-edit (not yet committed) text before and after it.
    void Committed(const QString &textBefore, const QString &commit, const QString &preeditBefore,
                   const QString &preeditAfter, const QString &textAfter);
    // The reading in hiragana when it still belongs to text; empty when it is lost.
    QString For(const QString &text) const;
    void Clear();

private:
    QString m_strReading; // as typed: hiragana or katakana, spaces as in the text
    QString m_strText;    // the text the reading belongs to
    bool m_bLost = false;
};
