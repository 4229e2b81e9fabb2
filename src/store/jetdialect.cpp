#include "jetdialect.h"

#include <QHash>

namespace {
// INTEGER with the table's PRIMARY KEY (ID) makes ID SQLite's rowid, numbered from 1.
const QHash<QString, QString> &TypeWords()
{
    static const QHash<QString, QString> words = {
        {QStringLiteral("COUNTER"), QStringLiteral("INTEGER")},
        {QStringLiteral("LONG"), QStringLiteral("INTEGER")},
        {QStringLiteral("BIT"), QStringLiteral("BOOLEAN")},
        {QStringLiteral("DATETIME"), QStringLiteral("DATETIME")},
        {QStringLiteral("IMAGE"), QStringLiteral("BLOB")},
        {QStringLiteral("VARCHAR"), QStringLiteral("VARCHAR")},
    };
    return words;
}

bool IsDefinition(const QString &sql)
{
    const QString head = sql.trimmed().section(QLatin1Char(' '), 0, 0).toUpper();
    return head == QLatin1String("CREATE") || head == QLatin1String("ALTER");
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

QString CJetDialect::ToSqlite(const QString &sql)
{
    if (!IsDefinition(sql))
        return sql;
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
