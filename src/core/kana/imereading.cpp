#include "kana/imereading.h"

#include <algorithm>

namespace {
bool IsSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QChar(0x3000);
}

bool IsKana(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x3041 && u <= 0x3096) || (u >= 0x30A1 && u <= 0x30F6) || u == 0x30FC;
}

bool AllKana(const QString &text)
{
    return !text.isEmpty() && std::all_of(text.cbegin(), text.cend(), IsKana);
}

// The kana a commit stands for: itself when it is kana, else the part of the pre-edit
// text it took, which is what was typed before it was converted.
QString KanaOf(const QString &commit, const QString &preeditBefore, const QString &preeditAfter)
{
    if (AllKana(commit))
        return commit;
    if (!preeditBefore.endsWith(preeditAfter))
        return {};
    const QString taken = preeditBefore.left(preeditBefore.size() - preeditAfter.size());
    return AllKana(taken) ? taken : QString();
}
} // namespace

void CImeReading::Committed(const QString &textBefore, const QString &commit, const QString &preeditBefore,
                            const QString &preeditAfter, const QString &textAfter)
{
    if (textBefore.isEmpty())
        Clear();
    // Spaces typed between words are the reading's spaces too; any other change since is not.
    const QString between = textBefore.mid(m_strText.size());
    if (!textBefore.startsWith(m_strText) || !std::all_of(between.cbegin(), between.cend(), IsSpace))
        m_bLost = true;
    const QString kana = KanaOf(commit, preeditBefore, preeditAfter);
    if (kana.isEmpty() || textAfter != textBefore + commit)
        m_bLost = true;
    m_strReading += between + kana;
    m_strText = textAfter;
}

QString CImeReading::For(const QString &text) const
{
    if (m_bLost || text.isEmpty() || text.trimmed() != m_strText.trimmed())
        return {};
    QString hiragana = m_strReading.trimmed();
    for (QChar &c : hiragana) {
        if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6)
            c = QChar(char16_t(c.unicode() - 0x60));
    }
    return hiragana;
}

void CImeReading::Clear()
{
    m_strReading.clear();
    m_strText.clear();
    m_bLost = false;
}
