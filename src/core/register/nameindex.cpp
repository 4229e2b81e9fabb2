#include "register/nameindex.h"

#include "store/daodatabase.h"
#include "store/namefold.h"

#include <QSet>
#include <algorithm>
#include <charconv>

namespace {
bool Before(const SFoldedName &a, const SFoldedName &b)
{
    return a.nCode != b.nCode ? a.nCode < b.nCode : a.nID < b.nID;
}

// Without making a string per employee: this runs for each of them.
bool CodeStartsWith(qint32 code, const QString &digits)
{
    char text[16];
    const auto end = std::to_chars(text, text + sizeof text, code).ptr;
    const qsizetype length = end - text;
    if (digits.size() > length)
        return false;
    for (qsizetype i = 0; i < digits.size(); ++i) {
        if (digits.at(i).unicode() != char16_t(text[i]))
            return false;
    }
    return true;
}
} // namespace

CNameIndex &CNameIndex::Instance()
{
    static CNameIndex index;
    return index;
}

void CNameIndex::Sync(CDaoDatabase &db)
{
    const SFoldStamp stamp = CFoldedNames::Stamp(db);
    if (stamp.nValue >= 0 && stamp == m_stamp && db.GetName() == m_strDatabase)
        return;
    // The stamp is read first: a write landing meanwhile shows at the next search.
    const QList<SFoldedName> rows = stamp.nValue >= 0 ? CFoldedNames::All(db) : QList<SFoldedName>();
    m_entries.assign(rows.cbegin(), rows.cend());
    m_stamp = stamp;
    m_strDatabase = db.GetName();
}

QList<qint32> CNameIndex::Match(CDaoDatabase &db, const QString &folded, int limit, int *total)
{
    Sync(db);
    const QString number = CNameFold::NumberQuery(folded);
    const bool alsoDigits = !number.isEmpty() && number != folded;
    QList<qint32> ids;
    int count = 0;
    for (const SFoldedName &entry : m_entries) {
        const bool hit = entry.strWords.contains(folded)
                      || (!number.isEmpty()
                          && (CodeStartsWith(entry.nCode, number) || (alsoDigits && entry.strWords.contains(number))));
        if (!hit)
            continue;
        if (count++ < limit)
            ids.append(entry.nID);
    }
    if (total)
        *total = count;
    return ids;
}

void CNameIndex::Follow(const CDaoDatabase &db, qint64 stamp, const QList<qint32> &ids, const QList<SFoldedName> &rows)
{
    // Another program wrote in between, or nothing is held yet: the next search reads it all.
    if (m_stamp.nValue < 0 || stamp != m_stamp.nValue + 1 || db.GetName() != m_strDatabase) {
        Forget();
        return;
    }
    const QSet<qint32> changed(ids.cbegin(), ids.cend());
    std::erase_if(m_entries, [&changed](const SFoldedName &entry) { return changed.contains(entry.nID); });
    for (const SFoldedName &row : rows)
        m_entries.insert(std::lower_bound(m_entries.begin(), m_entries.end(), row, Before), row);
    m_stamp.nValue = stamp;
}

void CNameIndex::Forget()
{
    m_stamp = {};
    m_entries.clear();
    m_entries.shrink_to_fit();
}
