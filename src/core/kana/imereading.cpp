#include "kana/imereading.h"

#include "kana/kana.h"

#include <algorithm>

namespace {
// The kana a commit stands for: itself when it is kana, else the part of the pre-edit
// text it took, which is what was typed before it was converted.
QString KanaOf(const QString &commit, const QString &preeditBefore, const QString &preeditAfter)
{
    if (CKana::AllKana(commit))
        return commit;
    if (!preeditBefore.endsWith(preeditAfter))
        return {};
    const QString taken = preeditBefore.left(preeditBefore.size() - preeditAfter.size());
    return CKana::AllKana(taken) ? taken : QString();
}
} // namespace

void CImeReading::Committed(const QString &textBefore, const QString &commit, const QString &preeditBefore,
                            const QString &preeditAfter, const QString &textAfter)
{
    if (textBefore.isEmpty())
        Clear();
    // Spaces typed between words are the reading's spaces too; any other change since is not.
    const QString between = textBefore.mid(m_strText.size());
    if (!textBefore.startsWith(m_strText) || !std::all_of(between.cbegin(), between.cend(), CKana::IsSpace))
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
    return CKana::Hiragana(m_strReading.trimmed());
}

void CImeReading::Clear()
{
    m_strReading.clear();
    m_strText.clear();
    m_bLost = false;
}
