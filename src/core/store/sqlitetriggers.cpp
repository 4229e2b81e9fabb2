#include "store/sqlitetriggers.h"

#include "store/changelog.h"
#include "store/sqlitechannel.h"

namespace {
// Only what every SQLite that may write the file knows (no JSON functions), so
// that no program's write fails on a trigger it cannot run.
const QString kStamp = QStringLiteral("strftime('%Y-%m-%d %H:%M:%S', 'now', 'localtime')");
const QString kEff = QStringLiteral("CAST(strftime('%Y%m%d', 'now', 'localtime') AS INTEGER)");
const QString kOurs = QStringLiteral("(SELECT Origin FROM MorvekWriter WHERE ID = 0) IS NULL");
const QString kPhoto = QStringLiteral("(写真)");

QString Lead()
{
    return QStringLiteral("%1, %2, '%3'").arg(kStamp, kEff, CChangeLog::OtherProgram());
}

// A value as the history writes it: dates as yyyy-MM-dd, Sex as 0 or 1.
QString Text(const QString &row, const QString &column)
{
    const QString value = row + QLatin1Char('.') + column;
    if (column == QLatin1String("Sex"))
        return QStringLiteral("CASE WHEN %1 IS NULL THEN NULL WHEN %1 THEN '1' ELSE '0' END").arg(value);
    if (column == QLatin1String("Sdate") || column == QLatin1String("Indat") || column == QLatin1String("Outdat"))
        return QStringLiteral("CASE WHEN CAST(%1 AS TEXT) GLOB '[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]*' "
                              "THEN substr(%1, 1, 10) ELSE CAST(%1 AS TEXT) END")
            .arg(value);
    return QStringLiteral("CAST(%1 AS TEXT)").arg(value);
}

// The row packed as CHistoryWriter::Pack packs it: a JSON array of texts and nulls.
QString Packed(const QString &row, const QStringList &columns)
{
    QStringList items;
    for (const QString &column : columns)
        items << QStringLiteral("CASE WHEN %1 IS NULL THEN 'null' ELSE '\"' || replace(replace(replace(replace("
                                "replace(%1, '\\', '\\\\'), '\"', '\\\"'), char(10), '\\n'), char(13), '\\r'), "
                                "char(9), '\\t') || '\"' END")
                     .arg(Text(row, column));
    return QStringLiteral("'[' || ") + items.join(QStringLiteral(" || ',' || ")) + QStringLiteral(" || ']'");
}

QString Journal(const QString &payload)
{
    return QStringLiteral("INSERT INTO %1 (Origin, Payload) VALUES ('', %2);")
        .arg(QLatin1String(CSqliteChannel::kTable), payload);
}

QString Trigger(const QString &name, const QString &event, const QString &table, const QStringList &body)
{
    return QStringLiteral("CREATE TRIGGER %1 AFTER %2 ON %3 WHEN %4 BEGIN %5 END")
        .arg(name, event, table, kOurs, body.join(QLatin1Char(' ')));
}

// One entry per column that differs; the column naming the unit above is a move.
QString Edited(const QStringList &columns, const QString &above, int edited, bool photo)
{
    QStringList fields;
    for (const QString &column : columns) {
        if (column != above)
            fields << QStringLiteral("SELECT '%1' AS f, %2 AS o, %3 AS n")
                          .arg(column, Text(QStringLiteral("old"), column), Text(QStringLiteral("new"), column));
    }
    QString changed = QStringLiteral("o IS NOT n");
    if (photo) {
        fields << QStringLiteral("SELECT 'Pic', CASE WHEN old.Pic IS NULL THEN NULL ELSE '%1' END, "
                                 "CASE WHEN new.Pic IS NULL THEN NULL ELSE '%1' END")
                      .arg(kPhoto);
        changed = QStringLiteral("(CASE WHEN f = 'Pic' THEN old.Pic IS NOT new.Pic ELSE o IS NOT n END)");
    }
    return QStringLiteral("INSERT INTO ChangeLog (Stamp, Eff, Who, Kind, Target, Field, OldVal, NewVal) "
                          "SELECT %1, %2, new.ID, f, o, n FROM (%3) WHERE %4;")
        .arg(Lead())
        .arg(edited)
        .arg(fields.join(QStringLiteral(" UNION ALL ")), changed);
}

QString Moved(const QString &above, int moved)
{
    return QStringLiteral("INSERT INTO ChangeLog (Stamp, Eff, Who, Kind, Target, OldUnit, NewUnit) "
                          "SELECT %1, %2, new.ID, COALESCE(old.%3, 0), COALESCE(new.%3, 0) "
                          "WHERE COALESCE(old.%3, 0) <> COALESCE(new.%3, 0);")
        .arg(Lead())
        .arg(moved)
        .arg(above);
}

// The entry of a row added (new) or deleted (old): the unit above on its side, the
// name as its value, and the row whole where the history keeps it.
QString Whole(bool added, int kind, const QString &above, const QStringList &shot, bool fromNowhere)
{
    const QString row = added ? QStringLiteral("new") : QStringLiteral("old");
    QStringList columns{QStringLiteral("Stamp, Eff, Who, Kind, Target"),
                        added ? QStringLiteral("NewUnit") : QStringLiteral("OldUnit"),
                        added ? QStringLiteral("NewVal") : QStringLiteral("OldVal")};
    QStringList values{Lead(), QString::number(kind), row + QStringLiteral(".ID"),
                       QStringLiteral("COALESCE(%1.%2, 0)").arg(row, above), row + QStringLiteral(".Name")};
    if (fromNowhere) {
        columns << (added ? QStringLiteral("OldUnit") : QStringLiteral("NewUnit"));
        values << QString::number(CChangeLog::kNowhere);
    }
    if (!shot.isEmpty()) {
        columns << QStringLiteral("Shot");
        values << Packed(row, shot);
    }
    return QStringLiteral("INSERT INTO ChangeLog (%1) SELECT %2;")
        .arg(columns.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")));
}

const QString kNameChanged = QStringLiteral(
    "old.Code IS NOT new.Code OR old.Name IS NOT new.Name OR old.Kana IS NOT new.Kana OR old.TEL IS NOT new.TEL");
// The folded text is made by the program: a row without it is folded again where it is read.
const QString kBump = QStringLiteral("UPDATE Mast01Fold SET Code = Code + 1 WHERE ID = 0;");

QStringList EmployeeTriggers()
{
    const QStringList &columns = CChangeLog::EmployeeColumns();
    const QString added = Trigger(
        QStringLiteral("MorvekOther_Mast01_Insert"), QStringLiteral("INSERT"), QStringLiteral("Mast01"),
        {Whole(true, CChangeLog::kEmployeeAdded, QStringLiteral("Busyo"), {}, true),
         Journal(QStringLiteral("'employeeAdded 0 ' || new.ID")),
         QStringLiteral("INSERT OR REPLACE INTO Mast01Fold (ID, Code, Words) VALUES (new.ID, new.Code, NULL);"), kBump});
    const QString edited = Trigger(
        QStringLiteral("MorvekOther_Mast01_Update"), QStringLiteral("UPDATE"), QStringLiteral("Mast01"),
        {Edited(columns, QStringLiteral("Busyo"), CChangeLog::kEmployeeEdited, true),
         Moved(QStringLiteral("Busyo"), CChangeLog::kEmployeeMoved),
         Journal(QStringLiteral("'employeeChanged 0 ' || new.ID || CASE WHEN COALESCE(old.Busyo, 0) <> "
                                "COALESCE(new.Busyo, 0) THEN char(10) || 'employeesMoved ' || COALESCE(new.Busyo, 0) "
                                "|| ' ' || new.ID ELSE '' END")),
         QStringLiteral("INSERT OR REPLACE INTO Mast01Fold (ID, Code, Words) SELECT new.ID, new.Code, NULL WHERE %1;")
             .arg(kNameChanged),
         QStringLiteral("UPDATE Mast01Fold SET Code = Code + 1 WHERE ID = 0 AND (%1);").arg(kNameChanged)});
    const QString deleted = Trigger(QStringLiteral("MorvekOther_Mast01_Delete"), QStringLiteral("DELETE"),
                                    QStringLiteral("Mast01"),
                                    {Whole(false, CChangeLog::kEmployeeDeleted, QStringLiteral("Busyo"), columns, true),
                                     Journal(QStringLiteral("'employeeDeleted 0 ' || old.ID")),
                                     QStringLiteral("DELETE FROM Mast01Fold WHERE ID = old.ID AND ID <> 0;"), kBump});
    return {added, edited, deleted};
}

QStringList UnitTriggers()
{
    const QStringList &columns = CChangeLog::UnitColumns();
    const QString added = Trigger(QStringLiteral("MorvekOther_Mast00_Insert"), QStringLiteral("INSERT"),
                                  QStringLiteral("Mast00"),
                                  {Whole(true, CChangeLog::kUnitAdded, QStringLiteral("Parent"), columns, false),
                                   Journal(QStringLiteral("'unitAdded ' || COALESCE(new.Parent, 0) || ' ' || new.ID"))});
    const QString edited = Trigger(QStringLiteral("MorvekOther_Mast00_Update"), QStringLiteral("UPDATE"),
                                   QStringLiteral("Mast00"),
                                   {Edited(columns, QStringLiteral("Parent"), CChangeLog::kUnitEdited, false),
                                    Moved(QStringLiteral("Parent"), CChangeLog::kUnitMoved),
                                    Journal(QStringLiteral("'unitChanged ' || COALESCE(new.Parent, 0) || ' ' || new.ID"))});
    const QString deleted = Trigger(
        QStringLiteral("MorvekOther_Mast00_Delete"), QStringLiteral("DELETE"), QStringLiteral("Mast00"),
        {Whole(false, CChangeLog::kUnitDeleted, QStringLiteral("Parent"), columns, false),
         Journal(QStringLiteral("'unitDeleted ' || COALESCE(old.Parent, 0) || ' ' || old.ID"))});
    return {added, edited, deleted};
}
} // namespace

const SWriteTriggerSql &CSqliteTriggers::Sql()
{
    static const SWriteTriggerSql made = [] {
        const QString journal = QLatin1String(CSqliteChannel::kTable);
        SWriteTriggerSql sql;
        sql.create =
            QStringList{
                CSqliteChannel::CreateStatement(),
                QStringLiteral("CREATE TABLE IF NOT EXISTS MorvekWriter (ID INTEGER PRIMARY KEY, Origin TEXT)"),
                QStringLiteral("INSERT OR IGNORE INTO MorvekWriter (ID, Origin) VALUES (0, NULL)"),
                // Other programs' rows are pruned as they come, every so many of them.
                QStringLiteral("CREATE TRIGGER IF NOT EXISTS MorvekChanges_Prune AFTER INSERT ON %1 WHEN new.Seq % %2 = 0 "
                               "BEGIN DELETE FROM %1 WHERE Seq <= new.Seq - %2; END")
                    .arg(journal)
                    .arg(CSqliteChannel::kKeptRows),
            }
            + EmployeeTriggers() + UnitTriggers();
        sql.probe = QStringLiteral(
            "SELECT count(*) FROM sqlite_master WHERE type = 'trigger' AND name = 'MorvekOther_Mast00_Delete'");
        sql.mark = QStringLiteral("UPDATE MorvekWriter SET Origin = ? WHERE ID = 0");
        sql.unmark = QStringLiteral("UPDATE MorvekWriter SET Origin = NULL WHERE ID = 0");
        return sql;
    }();
    return made;
}
