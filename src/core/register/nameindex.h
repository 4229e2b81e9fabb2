#pragma once

#include "store/foldednames.h"

#include <QList>
#include <QString>
#include <vector>

class CDaoDatabase;

// The folded names of every employee in memory, in code order, so that a search
// as the user types walks memory instead of the file. It is read from the side
// table the first time and again whenever the table's stamp tells that another
// program wrote; the register's own writes are followed as they are kept.
class CNameIndex final
{
public:
    static CNameIndex &Instance();
    CNameIndex(const CNameIndex &) = delete;
    CNameIndex &operator=(const CNameIndex &) = delete;

    // Up to limit IDs of the employees matching a folded query, in code order;
    // total gets how many match in all.
    QList<qint32> Match(CDaoDatabase &db, const QString &folded, int limit, int *total);
    // A write of ours was kept: it raised the stamp to stamp and left rows for the
    // employees ids (none for those it removed).
    void Follow(const CDaoDatabase &db, qint64 stamp, const QList<qint32> &ids, const QList<SFoldedName> &rows);
    // Read again at the next search.
    void Forget();

private:
    CNameIndex() = default;
    void Sync(CDaoDatabase &db);
    // Every entry's words in one text, each closed by a line feed (which a folded
    // query never holds): one scan finds them all, without a call per employee.
    void Join();
    // The entry whose words hold the text's position.
    qsizetype EntryAt(qsizetype position) const;

    QString m_strDatabase;
    SFoldStamp m_stamp;
    std::vector<SFoldedName> m_entries; // by code, then ID
    QString m_strJoined;
    std::vector<qsizetype> m_starts; // where each entry's words begin in m_strJoined
    bool m_bJoined = false;
    bool m_bLoaded = false;
};
