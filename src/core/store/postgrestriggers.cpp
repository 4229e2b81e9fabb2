#include "store/postgrestriggers.h"

#include "store/changelog.h"
#include "store/postgreschannel.h"

namespace {
const QString kPhoto = QStringLiteral("(写真)");

// A value as the history writes it: dates as yyyy-MM-dd, Sex as 0 or 1.
QString Text(const QString &row, const QString &column)
{
    const QString value = row + QLatin1Char('.') + column.toLower();
    if (column == QLatin1String("Sex"))
        return QStringLiteral("CASE WHEN %1 IS NULL THEN NULL WHEN %1 <> 0 THEN '1' ELSE '0' END").arg(value);
    if (column == QLatin1String("Sdate") || column == QLatin1String("Indat") || column == QLatin1String("Outdat"))
        return QStringLiteral("to_char(%1, 'YYYY-MM-DD')").arg(value);
    return value + QStringLiteral("::text");
}

QString Packed(const QString &row, const QStringList &columns)
{
    QStringList items;
    for (const QString &column : columns)
        items << Text(row, column);
    return QStringLiteral("json_build_array(%1)::text").arg(items.join(QStringLiteral(", ")));
}

// (field, was, now) for every column but the one naming the unit above.
QString FieldValues(const QStringList &columns, const QString &above)
{
    QStringList rows;
    for (const QString &column : columns) {
        if (column != above)
            rows << QStringLiteral("('%1', %2, %3)")
                        .arg(column, Text(QStringLiteral("o"), column), Text(QStringLiteral("n"), column));
    }
    return rows.join(QStringLiteral(", "));
}

const QString kPairs = QStringLiteral("morvek_old o JOIN morvek_new n ON n.id = o.id");
const QString kLead = QStringLiteral("v_stamp, v_eff, v_who");

QString Ids(const QString &row)
{
    return QStringLiteral("string_agg(%1.id::text, ',' ORDER BY %1.id)").arg(row);
}

// The function behind the three triggers of a table: what each row's change
// adds to the history, then the lines of one notification.
QString Function(const QString &name, const QString &inserted, const QString &deleted, const QString &updated,
                 const QString &after)
{
    return QStringLiteral("CREATE OR REPLACE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER "
                          "SET search_path FROM CURRENT AS $morvek$\n"
                          "DECLARE\n"
                          "  v_stamp text := to_char(localtimestamp, 'YYYY-MM-DD HH24:MI:SS');\n"
                          "  v_eff integer := to_char(localtimestamp, 'YYYYMMDD')::integer;\n"
                          "  v_who text := left('%2 (' || session_user || ')', 64);\n"
                          "  v_lines text;\n"
                          "BEGIN\n"
                          "  IF coalesce(current_setting('morvek.origin', true), '') <> '' THEN RETURN NULL; END IF;\n"
                          "  IF TG_OP = 'INSERT' THEN\n%3\n"
                          "  ELSIF TG_OP = 'DELETE' THEN\n%4\n"
                          "  ELSE\n%5\n"
                          "  END IF;\n"
                          "  IF v_lines IS NULL OR v_lines = '' THEN RETURN NULL; END IF;\n%6\n"
                          "  IF octet_length(v_lines) > %7 THEN v_lines := 'everything 0 '; END IF;\n"
                          "  PERFORM pg_notify('%8', 'other' || chr(10) || v_lines);\n"
                          "  RETURN NULL;\n"
                          "END $morvek$")
        .arg(name, CChangeLog::OtherProgram(), inserted, deleted, updated, after)
        .arg(7900)
        .arg(QLatin1String(CPostgresChannel::kName));
}

QStringList Triggers(const QString &table, const QString &function)
{
    const QString head = QStringLiteral("CREATE TRIGGER morvek_other_%1_%2 AFTER %3 ON %1 REFERENCING %4 "
                                        "FOR EACH STATEMENT EXECUTE FUNCTION %5()");
    return {head.arg(table, QStringLiteral("insert"), QStringLiteral("INSERT"), QStringLiteral("NEW TABLE AS morvek_new"),
                     function),
            head.arg(table, QStringLiteral("update"), QStringLiteral("UPDATE"),
                     QStringLiteral("OLD TABLE AS morvek_old NEW TABLE AS morvek_new"), function),
            head.arg(table, QStringLiteral("delete"), QStringLiteral("DELETE"), QStringLiteral("OLD TABLE AS morvek_old"),
                     function)};
}

QString Edits(const QStringList &columns, const QString &above, int edited, int moved)
{
    return QStringLiteral("    INSERT INTO changelog (stamp, eff, who, kind, target, field, oldval, newval)\n"
                          "      SELECT %1, %2, n.id, c.field, c.was, c.now FROM %3\n"
                          "      CROSS JOIN LATERAL (VALUES %4) AS c(field, was, now) WHERE c.was IS DISTINCT FROM c.now;\n"
                          "    INSERT INTO changelog (stamp, eff, who, kind, target, oldunit, newunit)\n"
                          "      SELECT %1, %5, n.id, coalesce(o.%6, 0), coalesce(n.%6, 0) FROM %3\n"
                          "      WHERE coalesce(o.%6, 0) <> coalesce(n.%6, 0);\n")
        .arg(kLead)
        .arg(edited)
        .arg(kPairs, FieldValues(columns, above))
        .arg(moved)
        .arg(above.toLower());
}

// The entries of the rows added (n, of morvek_new) or deleted (o, of morvek_old):
// the unit above on its side, the name as the value, the row whole where the history keeps it.
QString Whole(bool added, int kind, const QString &above, const QStringList &shot, bool fromNowhere)
{
    const QString row = added ? QStringLiteral("n") : QStringLiteral("o");
    QStringList columns{QStringLiteral("stamp, eff, who, kind, target"),
                        added ? QStringLiteral("newunit") : QStringLiteral("oldunit"),
                        added ? QStringLiteral("newval") : QStringLiteral("oldval")};
    QStringList values{kLead, QString::number(kind), row + QStringLiteral(".id"),
                       QStringLiteral("coalesce(%1.%2, 0)").arg(row, above), row + QStringLiteral(".name")};
    if (fromNowhere) {
        columns << (added ? QStringLiteral("oldunit") : QStringLiteral("newunit"));
        values << QString::number(CChangeLog::kNowhere);
    }
    if (!shot.isEmpty()) {
        columns << QStringLiteral("shot");
        values << Packed(row, shot);
    }
    return QStringLiteral("    INSERT INTO changelog (%1)\n      SELECT %2 FROM %3 %4;\n")
        .arg(columns.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")),
             added ? QStringLiteral("morvek_new") : QStringLiteral("morvek_old"), row);
}

QStringList EmployeeStatements()
{
    const QStringList &columns = CChangeLog::EmployeeColumns();
    const QString inserted =
        Whole(true, CChangeLog::kEmployeeAdded, QStringLiteral("busyo"), {}, true)
        + QStringLiteral("    INSERT INTO mast01fold (id, code, words) SELECT n.id, n.code, NULL FROM morvek_new n\n"
                         "      ON CONFLICT (id) DO UPDATE SET code = excluded.code, words = NULL;\n"
                         "    SELECT 'employeeAdded 0 ' || %1 INTO v_lines FROM morvek_new n;")
              .arg(Ids(QStringLiteral("n")));
    const QString deleted = Whole(false, CChangeLog::kEmployeeDeleted, QStringLiteral("busyo"), columns, true)
                          + QStringLiteral(
                                "    DELETE FROM mast01fold f USING morvek_old o WHERE f.id = o.id AND f.id <> 0;\n"
                                "    SELECT 'employeeDeleted 0 ' || %1 INTO v_lines FROM morvek_old o;")
                                .arg(Ids(QStringLiteral("o")));
    const QString updated =
        Edits(columns, QStringLiteral("Busyo"), CChangeLog::kEmployeeEdited, CChangeLog::kEmployeeMoved)
        + QStringLiteral(
              "    INSERT INTO changelog (stamp, eff, who, kind, target, field, oldval, newval)\n"
              "      SELECT %1, %2, n.id, 'Pic', CASE WHEN o.pic IS NULL THEN NULL ELSE '%3' END,\n"
              "        CASE WHEN n.pic IS NULL THEN NULL ELSE '%3' END FROM %4 WHERE o.pic IS DISTINCT FROM n.pic;\n"
              "    UPDATE mast01fold f SET code = n.code, words = NULL FROM %4\n"
              "      WHERE f.id = n.id AND f.id <> 0\n"
              "      AND (o.code, o.name, o.kana, o.tel) IS DISTINCT FROM (n.code, n.name, n.kana, n.tel);\n"
              "    SELECT concat_ws(chr(10), (SELECT 'employeeChanged 0 ' || %5 FROM %4),\n"
              "      (SELECT string_agg('employeesMoved ' || m.unit || ' ' || m.ids, chr(10)) FROM\n"
              "        (SELECT coalesce(n.busyo, 0) AS unit, %5 AS ids FROM %4\n"
              "         WHERE coalesce(o.busyo, 0) <> coalesce(n.busyo, 0) GROUP BY 1) m)) INTO v_lines;")
              .arg(kLead)
              .arg(CChangeLog::kEmployeeEdited)
              .arg(kPhoto, kPairs, Ids(QStringLiteral("n")));
    // The folded names' stamp: a search then reads them again, folding the rows left without words.
    const QString bump = QStringLiteral("  UPDATE mast01fold SET code = code + 1 WHERE id = 0;");
    return QStringList{Function(QStringLiteral("morvek_other_mast01"), inserted, deleted, updated, bump)}
         + Triggers(QStringLiteral("mast01"), QStringLiteral("morvek_other_mast01"));
}

QStringList UnitStatements()
{
    const QStringList &columns = CChangeLog::UnitColumns();
    const QString lines = QStringLiteral("string_agg('%1 ' || coalesce(%2.parent, 0) || ' ' || %2.id, chr(10))");
    const QString inserted = Whole(true, CChangeLog::kUnitAdded, QStringLiteral("parent"), columns, false)
                           + QStringLiteral("    SELECT %1 INTO v_lines FROM morvek_new n;")
                                 .arg(lines.arg(QStringLiteral("unitAdded"), QStringLiteral("n")));
    const QString deleted = Whole(false, CChangeLog::kUnitDeleted, QStringLiteral("parent"), columns, false)
                          + QStringLiteral("    SELECT %1 INTO v_lines FROM morvek_old o;")
                                .arg(lines.arg(QStringLiteral("unitDeleted"), QStringLiteral("o")));
    const QString updated = Edits(columns, QStringLiteral("Parent"), CChangeLog::kUnitEdited, CChangeLog::kUnitMoved)
                          + QStringLiteral("    SELECT %1 INTO v_lines FROM %2;")
                                .arg(lines.arg(QStringLiteral("unitChanged"), QStringLiteral("n")), kPairs);
    return QStringList{Function(QStringLiteral("morvek_other_mast00"), inserted, deleted, updated, {})}
         + Triggers(QStringLiteral("mast00"), QStringLiteral("morvek_other_mast00"));
}
} // namespace

const SWriteTriggerSql &CPostgresTriggers::Sql()
{
    static const SWriteTriggerSql made = [] {
        SWriteTriggerSql sql;
        sql.create = EmployeeStatements() + UnitStatements();
        sql.probe = QStringLiteral("SELECT count(*) FROM pg_trigger WHERE tgname = 'morvek_other_mast00_delete' "
                                   "AND tgrelid = to_regclass('mast00')");
        sql.mark = QStringLiteral("SELECT set_config('morvek.origin', ?, true)");
        return sql;
    }();
    return made;
}
