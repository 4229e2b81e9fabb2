#include "register/searchpager.h"

#include "store/mast01.h"

#include <limits>

namespace {
QString IdCondition(qint32 id)
{
    return QStringLiteral("ID = %1").arg(id);
}
} // namespace

CSearchPager::CSearchPager(CMast01 *pSet, int nPageSize)
    : m_pSet(pSet)
    , m_nPageSize(qMax(1, nPageSize))
{
}

QString CSearchPager::FormatLine(qint32 nCode, const QString &strName)
{
    return QString::asprintf("%04d | ", nCode) + strName;
}

qint32 CSearchPager::StartCodeFromText(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    qint64 value = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        // Beyond the range of a code there is nothing more to learn from the digits.
        if (value <= std::numeric_limits<qint32>::max())
            value = value * 10 + (text[i].unicode() - u'0');
    }
    value = qMin<qint64>(value, std::numeric_limits<qint32>::max());
    return qint32(negative ? -value : value);
}

bool CSearchPager::IsUsable() const
{
    return m_pSet && m_pSet->IsOpen();
}

void CSearchPager::TakeLines(const QString &condition)
{
    m_lines.clear();
    for (int i = 0; i < m_nPageSize; ++i) {
        m_lines.append({m_pSet->m_ID, FormatLine(m_pSet->m_Code, m_pSet->m_Name)});
        if (!m_pSet->FindNext(condition))
            break;
    }
}

void CSearchPager::FillPage(qint32 nStartCode)
{
    m_nStartCode = nStartCode;
    m_lines.clear();
    const QString condition = QStringLiteral("Code >= %1").arg(nStartCode);
    if (IsUsable() && m_pSet->FindFirst(condition))
        TakeLines(condition);
}

bool CSearchPager::NextPage()
{
    if (m_lines.isEmpty() || !IsUsable() || !m_pSet->FindFirst(IdCondition(m_lines.last().nID)))
        return false;
    // Past the last line's code, so that others sharing it are not shown again.
    const QString condition = QStringLiteral("Code > %1").arg(m_pSet->m_Code);
    if (!m_pSet->FindFirst(condition))
        return false;
    TakeLines(condition);
    return true;
}

bool CSearchPager::PrevPage()
{
    if (m_lines.isEmpty() || !IsUsable() || !m_pSet->FindFirst(IdCondition(m_lines.first().nID)))
        return false;
    qint32 nStart = m_pSet->m_Code;
    for (int i = 0; i <= m_nPageSize; ++i) {
        nStart = m_pSet->m_Code;
        m_pSet->MovePrev();
        if (m_pSet->IsBOF())
            break;
    }
    FillPage(nStart);
    return true;
}
