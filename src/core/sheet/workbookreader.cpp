#include "sheet/workbookreader.h"

#include "sheet/workbookcell.h"
#include "sheet/workbookpartdevice.h"

#include <QDir>
#include <QHash>
#include <QXmlStreamReader>

namespace {
// A relationship's target, relative to the folder of the part that names it.
QString Resolve(const QString &from, const QString &target)
{
    if (target.startsWith(u'/'))
        return QDir::cleanPath(target.mid(1));
    const qsizetype slash = from.lastIndexOf(u'/');
    return QDir::cleanPath((slash < 0 ? QString() : from.left(slash + 1)) + target);
}

QString RelationsOf(const QString &part)
{
    const qsizetype slash = part.lastIndexOf(u'/');
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

// The text of a string item (<si>, <is>): its own <t> or those of its runs, however
// deeply the file nests them; the reading aids of Japanese text (<rPh>) are not part
// of it. Text past maxLength is not kept: overlong tells the caller to refuse it.
QString ItemText(QXmlStreamReader &reader, qsizetype maxLength, bool &overlong)
{
    QString text;
    overlong = false;
    qsizetype depth = 0;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::EndElement) {
            if (depth-- == 0)
                break;
        } else if (token != QXmlStreamReader::StartElement) {
            continue;
        } else if (reader.name() == u"t") {
            const QString part = reader.readElementText(QXmlStreamReader::SkipChildElements);
            overlong = overlong || text.size() + part.size() > maxLength;
            if (!overlong)
                text += part;
        } else if (reader.name() == u"rPh" || reader.name() == u"phoneticPr") {
            reader.skipCurrentElement();
        } else {
            ++depth;
        }
    }
    return overlong ? QString() : CWorkbookCell::Unescape(text);
}

// The relationship id of a <sheet>, whatever its namespace prefix.
QString RelationId(const QXmlStreamAttributes &attributes)
{
    for (const QXmlStreamAttribute &attribute : attributes)
        if (attribute.name() == u"id" && !attribute.namespaceUri().isEmpty())
            return attribute.value().toString();
    return {};
}
} // namespace

bool CWorkbookReader::Open(const QString &path, QString &error)
{
    if (!m_archive.Open(path, error))
        return false;
    // The package names its workbook; files of every maker keep it in xl/.
    QString workbook = QStringLiteral("xl/workbook.xml");
    if (m_archive.Contains(QStringLiteral("_rels/.rels"))) {
        QByteArray bytes;
        if (!ReadPart(QStringLiteral("_rels/.rels"), bytes, error))
            return false;
        QXmlStreamReader reader(bytes);
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == u"Relationship"
                && reader.attributes().value(QLatin1StringView("Type")).endsWith(u"/officeDocument"))
                workbook = Resolve(QString(), reader.attributes().value(QLatin1StringView("Target")).toString());
        }
    }
    if (!m_archive.Contains(workbook)) {
        error = QStringLiteral("%1 は Excel ブック（.xlsx）ではありません（%2 がありません）。").arg(Shown(), workbook);
        return false;
    }
    if (!ReadWorkbook(workbook, error))
        return false;
    QString sharedStrings, styles;
    if (!ReadRelations(workbook, sharedStrings, styles, error))
        return false;
    if (!sharedStrings.isEmpty() && m_archive.Contains(sharedStrings) && !ReadSharedStrings(sharedStrings, error))
        return false;
    if (!styles.isEmpty() && m_archive.Contains(styles)) {
        QByteArray bytes;
        if (!ReadPart(styles, bytes, error))
            return false;
        // Styles that cannot be read leave numbers as numbers; the checks then name the cell.
        m_styles.Read(bytes);
    }
    return true;
}

bool CWorkbookReader::ReadPart(const QString &part, QByteArray &bytes, QString &error)
{
    return m_archive.Read(part, bytes, error);
}

QString CWorkbookReader::Damaged(const QString &part, const QXmlStreamReader &reader) const
{
    return QStringLiteral("%1 の %2 が壊れています（%3 行目: %4）。")
        .arg(Shown(), part)
        .arg(reader.lineNumber())
        .arg(reader.errorString());
}

bool CWorkbookReader::ReadWorkbook(const QString &part, QString &error)
{
    QByteArray bytes;
    if (!ReadPart(part, bytes, error))
        return false;
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto attributes = reader.attributes();
        if (reader.name() == u"workbookPr") {
            const auto system = attributes.value(QLatin1StringView("date1904"));
            m_system1904 = system == u"1" || system == u"true";
        } else if (reader.name() == u"sheet") {
            m_names << attributes.value(QLatin1StringView("name")).toString();
            m_relationIds << RelationId(attributes);
        }
    }
    if (reader.hasError()) {
        error = Damaged(part, reader);
        return false;
    }
    if (m_names.isEmpty()) {
        error = QStringLiteral("%1 にシートがありません。").arg(Shown());
        return false;
    }
    return true;
}

bool CWorkbookReader::ReadRelations(const QString &part, QString &sharedStrings, QString &styles, QString &error)
{
    const QString relations = RelationsOf(part);
    QByteArray bytes;
    if (!ReadPart(relations, bytes, error))
        return false;
    QHash<QString, QString> targets;
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"Relationship")
            continue;
        const auto attributes = reader.attributes();
        const QString target = Resolve(part, attributes.value(QLatin1StringView("Target")).toString());
        const auto type = attributes.value(QLatin1StringView("Type"));
        if (type.endsWith(u"/sharedStrings"))
            sharedStrings = target;
        else if (type.endsWith(u"/styles"))
            styles = target;
        targets.insert(attributes.value(QLatin1StringView("Id")).toString(), target);
    }
    if (reader.hasError()) {
        error = Damaged(relations, reader);
        return false;
    }
    for (const QString &id : std::as_const(m_relationIds))
        m_parts << targets.value(id);
    return true;
}

bool CWorkbookReader::ReadSharedStrings(const QString &part, QString &error)
{
    const auto device = m_archive.OpenPart(part, error);
    if (!device)
        return false;
    QXmlStreamReader reader(device.get());
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement || reader.name() != u"si")
            continue;
        if (m_shared.size() >= MaxSharedStrings) {
            error = QStringLiteral("%1 の文字列が多すぎます（%2 個まで）。").arg(Shown()).arg(MaxSharedStrings);
            return false;
        }
        bool overlong = false;
        m_shared << ItemText(reader, CReadBudget::MaxCellLength, overlong);
        // Refused only where a cell uses it, so that the message can name the cell.
        if (overlong)
            m_overlong.insert(m_shared.size() - 1);
        if (!m_budget.Charge(CReadBudget::CellCost(m_shared.constLast().size()))) {
            error = m_budget.Refusal(Shown());
            return false;
        }
    }
    if (!m_archive.Finished(*device, part, error))
        return false;
    if (reader.hasError()) {
        error = Damaged(part, reader);
        return false;
    }
    return true;
}

QString CWorkbookReader::CellError(const SCellPlace &place, const QString &what) const
{
    return QStringLiteral("%1 のシート「%2」のセル %3: %4")
        .arg(Shown(), place.sheet, CWorkbookCell::Reference(place.column, place.row), what);
}

bool CWorkbookReader::KeepRow(SSheetRow &row, QList<SSheetRow> &rows, QString &error)
{
    if (row.cells.isEmpty())
        return true;
    qint64 cost = CReadBudget::RowCost();
    for (const QString &cell : std::as_const(row.cells))
        cost += CReadBudget::CellCost(cell.size());
    if (!m_budget.Charge(cost)) {
        error = m_budget.Refusal(Shown());
        return false;
    }
    rows << std::move(row);
    row = {};
    return true;
}

bool CWorkbookReader::ReadSheet(int index, int maxColumns, qsizetype maxRows, QList<SSheetRow> &rows, QString &error)
{
    rows.clear();
    const QString name = m_names.value(index);
    const QString part = m_parts.value(index);
    if (part.isEmpty() || !m_archive.Contains(part)) {
        error = QStringLiteral("%1 のシート「%2」の中身がありません。").arg(Shown(), name);
        return false;
    }
    const auto device = m_archive.OpenPart(part, error);
    if (!device)
        return false;
    QXmlStreamReader reader(device.get());
    if (!ReadRows(reader, name, maxColumns, maxRows, rows, error)) {
        rows.clear();
        return false;
    }
    if (!m_archive.Finished(*device, part, error)) {
        rows.clear();
        return false;
    }
    if (reader.hasError()) {
        rows.clear();
        error = Damaged(part, reader);
        return false;
    }
    return true;
}

bool CWorkbookReader::ReadRows(QXmlStreamReader &reader, const QString &name, int maxColumns, qsizetype maxRows,
                               QList<SSheetRow> &rows, QString &error)
{
    SSheetRow row;
    SCellPlace place{name, 0, -1};
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == u"row") {
            if (!KeepRow(row, rows, error))
                return false;
            const qsizetype given = reader.attributes().value(QLatin1StringView("r")).toLongLong();
            row.line = given > 0 ? given : (rows.isEmpty() ? 0 : rows.constLast().line) + 1;
            place = {name, row.line, -1};
            if (row.line > maxRows) {
                error = QStringLiteral("%1 のシート「%2」は行が多すぎます（%3 行まで）。").arg(Shown(), name).arg(maxRows);
                return false;
            }
        } else if (reader.name() == u"c" && row.line > 0) {
            const auto reference = reader.attributes().value(QLatin1StringView("r"));
            place.column = reference.isEmpty() ? place.column + 1 : CWorkbookCell::Column(reference, maxColumns);
            QString value;
            if (!ReadCell(reader, place, value, error))
                return false;
            if (value.isEmpty())
                continue;
            if (place.column < 0 || place.column >= maxColumns) {
                error = QStringLiteral("%1 のシート「%2」%3 行目: 列が多すぎます（%4 列まで）。")
                            .arg(Shown(), name)
                            .arg(row.line)
                            .arg(maxColumns);
                return false;
            }
            while (row.cells.size() <= place.column)
                row.cells << QString();
            row.cells[place.column] = value;
        }
    }
    return KeepRow(row, rows, error);
}

bool CWorkbookReader::ReadCell(QXmlStreamReader &reader, const SCellPlace &place, QString &value, QString &error) const
{
    const auto attributes = reader.attributes();
    const QString type = attributes.value(QLatin1StringView("t")).toString();
    const qsizetype style = attributes.hasAttribute(QLatin1StringView("s"))
                              ? attributes.value(QLatin1StringView("s")).toLongLong()
                              : 0;
    QString raw;
    bool inline_ = false;
    bool overlong = false;
    while (reader.readNextStartElement()) {
        if (reader.name() == u"v") {
            raw = reader.readElementText(QXmlStreamReader::SkipChildElements);
        } else if (reader.name() == u"is") {
            bool tooLong = false;
            raw = ItemText(reader, CReadBudget::MaxCellLength, tooLong);
            overlong = overlong || tooLong;
            inline_ = true;
        } else {
            reader.skipCurrentElement(); // a formula: its last value is what counts
        }
    }
    if (type == u"s") {
        bool ok = false;
        const qsizetype at = raw.toLongLong(&ok);
        if (!ok || at < 0 || at >= m_shared.size()) {
            error = QStringLiteral("%1 のセルが存在しない文字列（%2）を指しています。").arg(Shown(), raw.left(20));
            return false;
        }
        overlong = overlong || m_overlong.contains(at);
        value = m_shared.at(at);
    } else if (type == u"inlineStr" || inline_) {
        value = raw;
    } else if (type == u"str" || type == u"e") {
        value = CWorkbookCell::Unescape(raw);
    } else if (type == u"b" && !raw.isEmpty()) {
        value = raw == u"1" ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    } else if (type == u"d") {
        value = raw.left(10); // an ISO 8601 date and time
    } else if (!raw.isEmpty()) {
        bool ok = false;
        const double number = raw.toDouble(&ok);
        const QDate date = ok && m_styles.IsDate(style) ? CWorkbookCell::DateFromSerial(number, m_system1904) : QDate();
        value = !ok ? raw : date.isValid() ? date.toString(Qt::ISODate) : CWorkbookCell::NumberText(number);
    }
    if (overlong || value.size() > CReadBudget::MaxCellLength) {
        value.clear();
        error = CellError(place, QStringLiteral("文字が長すぎます（%1 文字まで）。").arg(CReadBudget::MaxCellLength));
        return false;
    }
    return true;
}
