#include "sheet/workbookstyles.h"

#include <QHash>
#include <QXmlStreamReader>

bool CWorkbookStyles::Read(const QByteArray &xml)
{
    m_dates.clear();
    QHash<int, QString> codes;
    QXmlStreamReader reader(xml);
    bool inCellStyles = false;
    while (!reader.atEnd()) {
        const auto token = reader.readNext();
        if (token == QXmlStreamReader::EndElement && reader.name() == u"cellXfs")
            inCellStyles = false;
        if (token != QXmlStreamReader::StartElement)
            continue;
        const auto attributes = reader.attributes();
        if (reader.name() == u"numFmt") {
            codes.insert(attributes.value(QLatin1StringView("numFmtId")).toInt(),
                         attributes.value(QLatin1StringView("formatCode")).toString());
        } else if (reader.name() == u"cellXfs") {
            inCellStyles = true;
        } else if (inCellStyles && reader.name() == u"xf") {
            const int id = attributes.value(QLatin1StringView("numFmtId")).toInt();
            m_dates << IsDateFormat(id, codes.value(id));
            reader.skipCurrentElement();
        }
    }
    if (reader.hasError()) {
        m_dates.clear();
        return false;
    }
    return true;
}

bool CWorkbookStyles::IsDateFormat(int id, const QString &code)
{
    // Excel's built-in date formats, the Japanese ones (27-36, 50-58) included.
    if ((id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 36) || (id >= 50 && id <= 58))
        return true;
    if (code.isEmpty())
        return false;
    // What a format shows literally ("年", \-, [Red], [$-411]) says nothing; the
    // letters for year, day and era do.
    QString bare;
    for (qsizetype i = 0; i < code.size(); ++i) {
        const QChar c = code.at(i);
        if (c == u'"') {
            i = code.indexOf(u'"', i + 1);
            if (i < 0)
                break;
        } else if (c == u'[') {
            i = code.indexOf(u']', i + 1);
            if (i < 0)
                break;
        } else if (c == u'\\' || c == u'_' || c == u'*') {
            ++i;
        } else {
            bare += c.toLower();
        }
    }
    bare.remove(QStringLiteral("general"));
    bare.remove(QStringLiteral("e+"));
    bare.remove(QStringLiteral("e-"));
    for (const QChar c : bare)
        if (c == u'y' || c == u'd' || c == u'e' || c == u'g')
            return true;
    return false;
}
