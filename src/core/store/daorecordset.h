#pragma once

#include "store/daofieldexchange.h"
#include "store/daofind.h"
#include "store/daokeyset.h"
#include "store/daoorderedfind.h"
#include "store/daorecordwriter.h"

#include <QHash>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <map>
#include <memory>
#include <vector>

class CDaoDatabase;
class CDaoQueryDef;
class CDaoStatement;

// A dynaset over a table or a query: an ordered set of rows with a current row,
// found and moved through, written through bound members. A set without a
// database of its own shares the one connection to its file with the other sets.
class CDaoRecordset
{
public:
    enum EditMode { dbEditNone, dbEditInProgress, dbEditAdd };

    explicit CDaoRecordset(CDaoDatabase *pDatabase = nullptr);
    virtual ~CDaoRecordset();
    CDaoRecordset(const CDaoRecordset &) = delete;
    CDaoRecordset &operator=(const CDaoRecordset &) = delete;

    virtual QString GetDefaultDBName() const;
    virtual QString GetDefaultSQL() const { return {}; }
    virtual void DoFieldExchange(CDaoFieldExchange *) {}

    void Open(int nOpenType = 2, const QString &sql = {}, int options = 0);
    void Open(CDaoQueryDef *pQueryDef, int nOpenType = 2, int options = 0);
    void Close();
    bool IsOpen() const { return m_bOpen; }

    bool IsBOF() const { return m_bBOF; }
    bool IsEOF() const { return m_bEOF; }
    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrev();

    // Move to a row meeting an SQL condition; when none does, stay where we were.
    // Typed finds: the values are bound, never written into the statement.
    bool FindFirst(const CDaoFind &find);
    bool FindLast(const CDaoFind &find);
    bool FindNext(const CDaoFind &find);
    bool FindPrev(const CDaoFind &find);
    bool FindById(qint64 id);
    bool FindFirst(const QString &condition);
    bool FindLast(const QString &condition);
    bool FindNext(const QString &condition);
    bool FindPrev(const QString &condition);

    void AddNew();
    void Edit();
    void Update();
    void CancelUpdate();
    // The current row as it was read: a write whose transaction fails after Update
    // puts it back, so that the row it wrote and then lost is not taken for what
    // the file holds, and a retried write is guarded by what the user saw.
    struct SReadRow {
        qint64 nKey = -1;
        QVariantList values;
        std::vector<CDaoLongBinary> binaries;
    };
    SReadRow KeepRead();
    void PutBack(const SReadRow &row);
    void Delete();
    void Requery();
    int GetEditMode() const { return int(m_writer.Mode()); }

    QVariant GetFieldValue(const QString &column);
    void SetFieldValue(const QString &column, const QVariant &value);
    int GetRecordCount();

    // Reads only these columns (and ID) while walking; the other members load
    // empty. An empty list reads every column again, the current row included.
    void SetColumnSubset(const QStringList &columns);
    const QStringList &GetColumnSubset() const { return m_subset; }

    // Bookmarks are row keys here.
    qint64 GetBookmark() const { return m_curId; }
    void SetBookmark(qint64 key);
    qint64 GetLastModifiedBookmark() const { return m_lastModified; }

    // Where record sets without a database of their own find the file.
    static void SetApplicationDatabasePath(const QString &path);
    static QString ApplicationDatabasePath();

    CDaoDatabase *m_pDatabase;
    QString m_strFilter;
    QString m_strSort;

private:
    struct PositionFind {
        QString condition;
        std::vector<int> positions;
        bool valid = false;
    };

    // Both go on with the pool's connection when the shared one closed under the set.
    void RequireOpen();
    void RequireCurrent();
    void Describe();
    void ReadColumnWidths();
    void Reposition();
    QString SelectKeys(const QString &condition, bool ordered, const QString &columns = QStringLiteral("ID")) const;
    std::vector<qint64> QueryKeys(const QString &sql, const QVariantList &values = {});
    void EnsureKeyset();
    bool UseOrderedFinds() const { return !m_bChanged && !m_keyset.IsBuilt(); }
    const std::vector<int> &MatchPositions(const CDaoFind &find);
    bool FindOrdered(const CDaoFind &find, bool last);
    const QString &FindSql(const QString &where, bool last);
    bool FindByPosition(const CDaoFind &find, int from, bool forward);
    void MoveToPosition(int pos);
    void SetCurrent(qint64 key, int pos);
    void SetOutside(bool bof);
    void LoadCurrent();
    void LoadRow(const CDaoStatement &q);
    // The members again as the current row was last read, without reading the file.
    void RestoreMembers();
    // Finds the bound members once: rows then load straight into them.
    void Bind();
    // A shared connection closed under the set (a lost server, a file about to be
    // replaced) gives way to the pool's current one; the row shown and what was read stay.
    void Reattach();
    void UpdateFetchColumns();
    void MapRowColumns();
    void SetCurrentOrdered();
    void ResetMembers();
    QByteArray FetchBinary(qint64 key, const QString &column);
    CDaoRecordWriter::Prepare Statements();
    [[noreturn]] void RefuseStaleUpdate();
    void InvalidateFinds();
    CDaoStatement &Prepare(const QString &sql);
    void ReturnStatements();

    std::shared_ptr<CDaoDatabase> m_sharedDatabase; // kept across Close: reopening is free
    QString m_strSource;                            // a table name, or "(select) AS src"
    QString m_strTable;                             // the table writes go to; empty for a query
    QStringList m_columns;
    QVector<int> m_kinds;
    QHash<QString, int> m_widths;
    std::map<QString, std::unique_ptr<CDaoStatement>> m_statements;
    QString m_strLastSql;
    CDaoStatement *m_pLastStatement = nullptr; // the one Prepare gave last, while it stays in m_statements
    QStringList m_subset;
    std::vector<int> m_fetchColumns;                     // field indexes read, in select order after ID
    std::vector<int> m_rowColumns;                       // each field's column in a row read, or -1
    std::vector<CDaoFieldExchange::SBinding> m_bindings; // the members, once a row has loaded
    QVariantList m_rowValues;                            // one per field; those not read stay null
    CDaoRecordWriter m_writer;                           // the row being added or edited
    QString m_strFetchColumns;

    CDaoLongBinary::Source m_binarySource; // photos of the rows it makes current
    CDaoKeyset m_keyset;
    CDaoOrderedFind m_ordered;
    PositionFind m_byPosition;
    struct SFindSql {
        QString where, filter, sort, fetch;
        bool last = false;
        QString sql;
    } m_findSql;
    qint64 m_curId = -1;
    int m_nPos = -1; // place in the keyset; -2 while the keyset is not built
    qint64 m_lastModified = -1;
    bool m_bOpen = false;
    bool m_bBOF = true;
    bool m_bEOF = true;
    bool m_bChanged = false; // written through since the last Open or Requery
};
