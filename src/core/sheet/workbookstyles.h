#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Which cell styles of a workbook (styles.xml) show numbers as dates: a date is a
// number of days, told from other numbers only by its number format.
class CWorkbookStyles final
{
public:
    // False when the XML cannot be read; every style then shows plain numbers.
    bool Read(const QByteArray &xml);
    bool IsDate(qsizetype style) const { return style >= 0 && style < m_dates.size() && m_dates.at(style); }

    // A format of Excel's built-in numbers, or a format code, that shows a date.
    static bool IsDateFormat(int id, const QString &code);

private:
    QList<bool> m_dates; // by the cell's style index (cellXfs)
};
