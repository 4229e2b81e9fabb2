#include "csv/csvcolumnmap.h"

#include "csv/csvcolumnaliases.h"
#include "csv/csvcolumns.h"
#include "csv/csvquote.h"

#include <QCryptographicHash>
#include <algorithm>

QString CCsvColumnMap::Key(const QString &file, const QString &header)
{
    return file + QLatin1Char('\n') + CCsvColumnAliases::Folded(header);
}

bool CCsvColumnMap::Parse(const QString &text, QString &error)
{
    m_targets.clear();
    for (const QString &pair : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype at = pair.indexOf(QLatin1Char('='));
        const QString header = pair.left(at).trimmed();
        if (at < 0 || header.isEmpty()) {
            error = QStringLiteral("--map の「%1」は「ファイルの見出し=列の名前」の形ではありません。")
                        .arg(CCsvQuote::Cell(pair));
            m_targets.clear();
            return false;
        }
        const QString column = pair.mid(at + 1).trimmed();
        if (!column.isEmpty() && column != SkipText() && CCsvColumnAliases::EmployeeColumn(column) < 0
            && CCsvColumnAliases::UnitColumn(column) < 0) {
            error = QStringLiteral("--map の「%1」: 「%2」という列はありません。使える列: %3、%4")
                        .arg(CCsvQuote::Cell(pair), CCsvQuote::Cell(column),
                             CCsvColumns::EmployeeHeaders().join(QStringLiteral("、")), SkipText());
            m_targets.clear();
            return false;
        }
        Set({}, header, column);
    }
    if (m_targets.isEmpty()) {
        error = QStringLiteral("--map に見出しの対応がありません（例: --map \"社員番号=社員コード\"）。");
        return false;
    }
    return true;
}

void CCsvColumnMap::Set(const QString &file, const QString &header, const QString &column)
{
    m_targets.insert(Key(file, header), column.isEmpty() ? SkipText() : column);
}

int CCsvColumnMap::Column(const QString &file, bool units, const QString &header, QString &error) const
{
    auto found = m_targets.constFind(Key(file, header));
    if (found == m_targets.cend())
        found = m_targets.constFind(Key({}, header));
    if (found == m_targets.cend())
        return -2;
    if (*found == SkipText())
        return -1;
    const int column = units ? CCsvColumnAliases::UnitColumn(*found) : CCsvColumnAliases::EmployeeColumn(*found);
    if (column < 0) {
        error = QStringLiteral("%1: 見出し「%2」を読み込む「%3」という列はありません。")
                    .arg(file, CCsvQuote::Cell(header), CCsvQuote::Cell(*found));
        return -3;
    }
    return column;
}

QStringList CCsvColumnMap::Unused(const QStringList &seenHeaders) const
{
    QStringList unused;
    for (auto it = m_targets.cbegin(); it != m_targets.cend(); ++it) {
        const QString file = it.key().section(QLatin1Char('\n'), 0, 0);
        const QString header = it.key().section(QLatin1Char('\n'), 1);
        const bool seen = std::any_of(seenHeaders.begin(), seenHeaders.end(),
                                      [&header](const QString &h) { return CCsvColumnAliases::Folded(h) == header; });
        if (file.isEmpty() && !seen)
            unused << header;
    }
    unused.sort();
    return unused;
}

QString CCsvColumnMap::SettingsKey(const QString &file, const QStringList &headers)
{
    const QByteArray joined = (file + QLatin1Char('\n') + headers.join(QLatin1Char('\n'))).toUtf8();
    return QStringLiteral("CsvImport/Columns/")
         + QString::fromLatin1(QCryptographicHash::hash(joined, QCryptographicHash::Sha1).toHex());
}
