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
    if (m_bLoaded && stamp == m_stamp && db.GetName() == m_strDatabase)
        return;
    // The stamp is read first: a write landing meanwhile shows at the next search.
    // Without the table (a register opened read-only) the names are folded here, once.
    const QList<SFoldedName> rows = stamp.nValue >= 0 ? CFoldedNames::All(db) : CFoldedNames::FoldEmployees(db);
    m_entries.assign(rows.cbegin(), rows.cend());
    m_bJoined = false;
    m_bLoaded = true;
    m_stamp = stamp;
    m_strDatabase = db.GetName();
}

void CNameIndex::Join()
{
    qsizetype size = 0;
    for (const SFoldedName &entry : m_entries)
        size += entry.strWords.size() + 1;
    m_strJoined.clear();
    m_strJoined.reserve(size);
    m_starts.clear();
    m_starts.reserve(m_entries.size());
    for (const SFoldedName &entry : m_entries) {
        m_starts.push_back(m_strJoined.size());
        m_strJoined += entry.strWords;
        m_strJoined += QLatin1Char('\n');
    }
    m_bJoined = true;
}

qsizetype CNameIndex::EntryAt(qsizetype position) const
{
    return std::upper_bound(m_starts.cbegin(), m_starts.cend(), position) - m_starts.cbegin() - 1;
}

QList<qint32> CNameIndex::Match(CDaoDatabase &db, const QString &folded, int limit, int *total)
{
    Sync(db);
    if (!m_bJoined)
        Join();
    std::vector<bool> hit(m_entries.size());
    // Each match marks its entry and the scan goes on after that entry's words.
    auto mark = [this, &hit](const QString &text) {
        const QStringView joined(m_strJoined);
        for (qsizetype at = joined.indexOf(text); at >= 0;) {
            const qsizetype entry = EntryAt(at);
            hit[size_t(entry)] = true;
            const qsizetype next = size_t(entry) + 1 < m_starts.size() ? m_starts[size_t(entry) + 1] : joined.size();
            at = joined.indexOf(text, next);
        }
    };
    mark(folded);
    const QString number = CNameFold::NumberQuery(folded);
    if (!number.isEmpty() && number != folded)
        mark(number);
    QList<qint32> ids;
    int count = 0;
    for (size_t i = 0; i < m_entries.size(); ++i) {
        if (!hit[i] && (number.isEmpty() || !CodeStartsWith(m_entries[i].nCode, number)))
            continue;
        if (count++ < limit)
            ids.append(m_entries[i].nID);
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
    m_bJoined = false;
    m_stamp.nValue = stamp;
}

void CNameIndex::Forget()
{
    m_stamp = {};
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_strJoined = QString();
    m_starts.clear();
    m_starts.shrink_to_fit();
    m_bJoined = false;
    m_bLoaded = false;
}
