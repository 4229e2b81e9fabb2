#include "register/searchpager.h"

#include "store/daofind.h"
#include "store/mast01.h"

#include <limits>

namespace {
CDaoFind ByCode(CDaoFind::EOp op, qint32 code)
{
    return CDaoFind(QStringLiteral("Code"), op, code);
}
} // namespace

CSearchPager::CSearchPager(int nPageSize)
    : m_nPageSize(qMax(1, nPageSize))
{
}

CSearchPager::~CSearchPager() = default;

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

CMast01 &CSearchPager::Set()
{
    if (!m_pSet) {
        auto set = std::make_unique<CMast01>();
        set->m_strSort = QStringLiteral("Code");
        set->SetColumnSubset({QStringLiteral("ID"), QStringLiteral("Code"), QStringLiteral("Name")});
        set->Open();
        m_pSet = std::move(set);
    }
    return *m_pSet;
}

void CSearchPager::TakeLines(const CDaoFind &find)
{
    CMast01 &set = Set();
    m_lines.clear();
    for (int i = 0; i < m_nPageSize; ++i) {
        m_lines.append({set.m_ID, FormatLine(set.m_Code, set.m_Name)});
        if (!set.FindNext(find))
            break;
    }
    // Left open, the walk's query would keep other programs from writing to a
    // shared file while the page is on screen.
    set.FindById(m_lines.first().nID);
}

bool CSearchPager::FindLine(const SSearchLine &line)
{
    return Set().FindById(line.nID);
}

void CSearchPager::FillPage(qint32 nStartCode)
{
    m_nStartCode = nStartCode;
    m_lines.clear();
    const CDaoFind find = ByCode(CDaoFind::EOp::greaterOrEqual, nStartCode);
    if (Set().FindFirst(find))
        TakeLines(find);
}

bool CSearchPager::NextPage()
{
    if (m_lines.isEmpty() || !FindLine(m_lines.last()))
        return false;
    // Past the last line's code, so that others sharing it are not shown again.
    const CDaoFind find = ByCode(CDaoFind::EOp::greater, Set().m_Code);
    if (!Set().FindFirst(find))
        return false;
    TakeLines(find);
    return true;
}

bool CSearchPager::PrevPage()
{
    if (m_lines.isEmpty() || !FindLine(m_lines.first()))
        return false;
    CMast01 &set = Set();
    qint32 nStart = set.m_Code;
    for (int i = 0; i <= m_nPageSize; ++i) {
        nStart = set.m_Code;
        set.MovePrev();
        if (set.IsBOF())
            break;
    }
    FillPage(nStart);
    return true;
}
