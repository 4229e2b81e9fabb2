#include "store/jetdialect.h"

#include <QHash>
#include <QRegularExpression>

namespace {
// INTEGER with the table's PRIMARY KEY (ID) makes ID SQLite's rowid, numbered from 1.
const QHash<QString, QString> &TypeWords()
{
    static const QHash<QString, QString> words = {
        {QStringLiteral("COUNTER"), QStringLiteral("INTEGER")}, {QStringLiteral("LONG"), QStringLiteral("INTEGER")},
        {QStringLiteral("BIT"), QStringLiteral("BOOLEAN")},     {QStringLiteral("DATETIME"), QStringLiteral("DATETIME")},
        {QStringLiteral("IMAGE"), QStringLiteral("BLOB")},      {QStringLiteral("VARCHAR"), QStringLiteral("VARCHAR")},
    };
    return words;
}

// A counter keeps counting past deleted rows; the program never writes an ID.
const QHash<QString, QString> &ServerTypeWords()
{
    static const QHash<QString, QString> words = {
        {QStringLiteral("COUNTER"), QStringLiteral("integer GENERATED ALWAYS AS IDENTITY")},
        {QStringLiteral("LONG"), QStringLiteral("integer")},
        {QStringLiteral("BIT"), QStringLiteral("smallint")},
        {QStringLiteral("DATETIME"), QStringLiteral("date")},
        {QStringLiteral("IMAGE"), QStringLiteral("bytea")},
    };
    return words;
}

bool IsDefinition(const QString &sql)
{
    const QString head = sql.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
    return head == QLatin1String("CREATE") || head == QLatin1String("ALTER");
}

// Jet's Counter never hands out a number twice; SQLite only promises that with
// AUTOINCREMENT, which must sit on the column itself. So a table key on the
// counter column moves onto the column, keeping its constraint name.
QString MoveCounterKey(const QString &sql)
{
    static const QRegularExpression counter(QStringLiteral("([(,]\\s*)(\\w+)(\\s+)Counter\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tableKey(
        QStringLiteral(",\\s*(CONSTRAINT\\s+\\w+\\s+)?PRIMARY\\s+KEY\\s*\\(\\s*(\\w+)\\s*\\)"),
        QRegularExpression::CaseInsensitiveOption);
    const auto column = counter.match(sql);
    if (!column.hasMatch())
        return sql;
    const QString name = column.captured(2);
    const auto key = tableKey.match(sql);
    QString constraint;
    QString out = sql;
    if (key.hasMatch()) {
        if (key.captured(2).compare(name, Qt::CaseInsensitive) != 0 || key.capturedStart() < column.capturedEnd())
            return sql; // the key lies elsewhere: a plain number column
        constraint = key.captured(1);
        out.remove(key.capturedStart(), key.capturedLength());
    }
    out.insert(column.capturedEnd(), QLatin1Char(' ') + constraint + QStringLiteral("PRIMARY KEY AUTOINCREMENT"));
    return out;
}

qsizetype SkipQuoted(const QString &sql, qsizetype i)
{
    const QChar open = sql.at(i);
    const QChar close = open == u'[' ? QChar(u']') : open;
    qsizetype j = i + 1;
    while (j < sql.size() && sql.at(j) != close)
        ++j;
    return qMin(j + 1, sql.size());
}
} // namespace

QString CJetDialect::ToPostgres(const QString &jet)
{
    const bool definition = IsDefinition(jet);
    QString sql = jet;
    if (definition) {
        // Constraint names share one namespace per schema on the server: both tables say MinKey.
        static const QRegularExpression table(QStringLiteral("^\\s*CREATE\\s+TABLE\\s+\\[?(\\w+)\\]?"),
                                              QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression constraint(QStringLiteral("\\bCONSTRAINT\\s+(\\w+)"),
                                                   QRegularExpression::CaseInsensitiveOption);
        if (const auto name = table.match(sql); name.hasMatch())
            sql.replace(constraint, QStringLiteral("CONSTRAINT %1_\\1").arg(name.captured(1)));
    }
    QString out;
    out.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        if (c == u'[') {
            const qsizetype end = SkipQuoted(sql, i);
            out += QStringView(sql).mid(i + 1, qMax<qsizetype>(0, end - i - 2));
            i = end;
        } else if (c == u'\'' || c == u'"') {
            const qsizetype end = SkipQuoted(sql, i);
            out += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (definition && (c.isLetter() || c == u'_')) {
            qsizetype j = i;
            while (j < sql.size() && (sql.at(j).isLetterOrNumber() || sql.at(j) == u'_'))
                ++j;
            const QString word = sql.mid(i, j - i);
            out += ServerTypeWords().value(word.toUpper(), word);
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

QString CJetDialect::ToSqlite(const QString &jet)
{
    if (!IsDefinition(jet))
        return jet;
    const QString sql = MoveCounterKey(jet);
    QString out;
    out.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"' || c == u'[') {
            const qsizetype end = SkipQuoted(sql, i);
            out += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (c.isLetter() || c == u'_') {
            qsizetype j = i;
            while (j < sql.size() && (sql.at(j).isLetterOrNumber() || sql.at(j) == u'_'))
                ++j;
            const QString word = sql.mid(i, j - i);
            out += TypeWords().value(word.toUpper(), word);
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}
