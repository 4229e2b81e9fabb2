#include "store/foldednames.h"

#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/daostatement.h"
#include "store/namefold.h"

#include <QUuid>
#include <algorithm>
#include <memory>

namespace {
// Rows written by one statement: a server then answers once per hundred, not once a row.
constexpr int kRowsPerInsert = 100;

const QString kSelectEmployees = QStringLiteral("SELECT ID, Code, Name, Kana, TEL FROM Mast01");
// Rows another program's write left to be folded again.
const QString kUnfolded = QStringLiteral("SELECT count(*) FROM Mast01Fold WHERE Words IS NULL AND ID <> 0");
// Past this many of them, folding every employee costs less than asking for each.
constexpr qsizetype kFoldEachUpTo = 1000;

SFoldedName FoldedOf(const CDaoStatement &q)
{
    return {qint32(q.Int64(0)), qint32(q.Int64(1)), CNameFold::Words(q.Text(2), q.Text(3), q.Text(4))};
}

QString InsertSql(int rows)
{
    QStringList values;
    for (int i = 0; i < rows; ++i)
        values << QStringLiteral("(?, ?, ?)");
    return QStringLiteral("INSERT INTO Mast01Fold (ID, Code, Words) VALUES ") + values.join(QStringLiteral(", "));
}

void Insert(CDaoDatabase &db, const QList<SFoldedName> &rows)
{
    std::unique_ptr<CDaoStatement> full;
    for (qsizetype from = 0; from < rows.size(); from += kRowsPerInsert) {
        const qsizetype count = qMin<qsizetype>(kRowsPerInsert, rows.size() - from);
        std::unique_ptr<CDaoStatement> part;
        if (count == kRowsPerInsert && !full)
            full = std::make_unique<CDaoStatement>(db, InsertSql(kRowsPerInsert));
        if (count != kRowsPerInsert)
            part = std::make_unique<CDaoStatement>(db, InsertSql(int(count)));
        CDaoStatement &q = part ? *part : *full;
        for (qsizetype i = 0; i < count; ++i) {
            const SFoldedName &row = rows.at(from + i);
            q.Bind(int(i * 3), row.nID);
            q.Bind(int(i * 3 + 1), row.nCode);
            q.Bind(int(i * 3 + 2), row.strWords);
        }
        q.Exec();
        q.Finish();
    }
}

QString NewToken()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QList<SFoldedName> ReadEmployees(CDaoDatabase &db)
{
    QList<SFoldedName> rows;
    CDaoStatement q(db, kSelectEmployees);
    q.Exec();
    while (q.Next())
        rows.append(FoldedOf(q));
    q.Finish();
    return rows;
}

bool InCodeOrder(const SFoldedName &a, const SFoldedName &b)
{
    return a.nCode != b.nCode ? a.nCode < b.nCode : a.nID < b.nID;
}

} // namespace

QStringList CFoldedNames::CreateStatements()
{
    return {QStringLiteral("CREATE TABLE Mast01Fold ( ID long not null, Code long null, Words text null, "
                           "CONSTRAINT FoldKey PRIMARY KEY (ID))"),
            QStringLiteral("INSERT INTO Mast01Fold (ID, Code, Words) VALUES (0, 0, '%1')").arg(NewToken())};
}

void CFoldedNames::Ensure(CDaoDatabase &db)
{
    if (db.IsReadOnly())
        return;
    const qint64 employees = db.CountOf(QStringLiteral("SELECT count(*) FROM Mast01"));
    if (employees < 0 || db.CountOf(QStringLiteral("SELECT count(*) FROM Mast00")) < 0)
        return;
    const qint64 folded = db.CountOf(QStringLiteral("SELECT count(*) FROM Mast01Fold WHERE ID <> 0"));
    if (folded == employees && db.CountOf(kUnfolded) == 0)
        return;
    db.BeginTrans();
    try {
        if (folded < 0)
            db.ExecuteAll(CreateStatements());
        Rebuild(db);
        db.CommitTrans();
    } catch (...) {
        db.Rollback();
        throw;
    }
}

void CFoldedNames::Rebuild(CDaoDatabase &db)
{
    const QList<SFoldedName> rows = ReadEmployees(db);
    db.Execute(QStringLiteral("DELETE FROM Mast01Fold WHERE ID <> 0"));
    Insert(db, rows);
    Bump(db);
    CDaoStatement token(db, QStringLiteral("UPDATE Mast01Fold SET Words = ? WHERE ID = 0"));
    token.Bind(0, NewToken());
    token.Exec();
    token.Finish();
}

QList<SFoldedName> CFoldedNames::Refresh(CDaoDatabase &db, const QList<qint32> &ids)
{
    QList<SFoldedName> rows;
    CDaoStatement read(db, kSelectEmployees + QStringLiteral(" WHERE ID = ?"));
    CDaoStatement remove(db, QStringLiteral("DELETE FROM Mast01Fold WHERE ID = ?"));
    for (qint32 id : ids) {
        read.Bind(0, id);
        read.Exec();
        if (read.Next())
            rows.append(FoldedOf(read));
        read.Finish();
        remove.Bind(0, id);
        remove.Exec();
        remove.Finish();
    }
    Insert(db, rows);
    return rows;
}

qint64 CFoldedNames::Bump(CDaoDatabase &db)
{
    CDaoStatement raise(db, QStringLiteral("UPDATE Mast01Fold SET Code = Code + 1 WHERE ID = 0"));
    raise.Exec();
    const bool raised = raise.RowsAffected() > 0;
    raise.Finish();
    if (!raised) {
        CDaoStatement insert(db, QStringLiteral("INSERT INTO Mast01Fold (ID, Code, Words) VALUES (0, 1, NULL)"));
        insert.Exec();
        insert.Finish();
    }
    const qint64 stamp = Stamp(db).nValue;
    if (stamp < 0)
        throw CDaoException(QStringLiteral("データベースの更新に失敗しました。"));
    return stamp;
}

SFoldStamp CFoldedNames::Stamp(CDaoDatabase &db)
{
    const QString sql = QStringLiteral("SELECT Code, Words FROM Mast01Fold WHERE ID = 0");
    std::unique_ptr<CDaoStatement> q = db.TakeStatement(sql);
    try {
        if (!q)
            q = std::make_unique<CDaoStatement>(db, sql);
        q->Exec();
    } catch (const CDaoException &) {
        return {}; // a register made before the table, opened read-only
    }
    SFoldStamp stamp;
    if (q->Next())
        stamp = {q->Int64(0), q->Text(1)};
    db.ReturnStatement(sql, std::move(q));
    return stamp;
}

QList<SFoldedName> CFoldedNames::All(CDaoDatabase &db)
{
    QList<SFoldedName> rows;
    QList<qsizetype> unfolded;
    CDaoStatement q(db, QStringLiteral("SELECT ID, Code, Words FROM Mast01Fold WHERE ID <> 0"));
    q.Exec();
    while (q.Next()) {
        if (q.Type(2) == CDaoStatement::EType::Null)
            unfolded.append(rows.size());
        rows.append({qint32(q.Int64(0)), qint32(q.Int64(1)), q.Text(2)});
    }
    q.Finish();
    if (unfolded.size() > kFoldEachUpTo)
        return FoldEmployees(db);
    if (!unfolded.isEmpty())
        FoldAgain(db, unfolded, &rows);
    std::sort(rows.begin(), rows.end(), InCodeOrder);
    return rows;
}

void CFoldedNames::FoldAgain(CDaoDatabase &db, const QList<qsizetype> &which, QList<SFoldedName> *rows)
{
    CDaoStatement read(db, kSelectEmployees + QStringLiteral(" WHERE ID = ?"));
    QList<qint32> gone;
    for (const qsizetype i : which) {
        SFoldedName &row = (*rows)[i];
        read.Bind(0, row.nID);
        read.Exec();
        if (read.Next())
            row = FoldedOf(read);
        else
            gone.append(row.nID);
        read.Finish();
    }
    // Deleted since: a search by code must not find them either.
    rows->removeIf([&gone](const SFoldedName &row) { return gone.contains(row.nID); });
}

QList<SFoldedName> CFoldedNames::FoldEmployees(CDaoDatabase &db)
{
    QList<SFoldedName> rows = ReadEmployees(db);
    std::sort(rows.begin(), rows.end(), InCodeOrder);
    return rows;
}
