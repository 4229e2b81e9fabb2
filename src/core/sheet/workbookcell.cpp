#include "sheet/workbookcell.h"

#include <QLocale>
#include <algorithm>
#include <cctype>
#include <cmath>

int CWorkbookCell::Column(QStringView reference, int maxColumns)
{
    qint64 column = 0;
    qsizetype letters = 0;
    for (const QChar c : reference) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            break;
        column = column * 26 + (u - u'A' + 1);
        if (column > maxColumns)
            return -1;
        ++letters;
    }
    return letters == 0 ? -1 : int(column - 1);
}

QString CWorkbookCell::Reference(int column, qsizetype row)
{
    QString letters;
    for (int n = column + 1; n > 0; n = (n - 1) / 26)
        letters.prepend(QChar(u'A' + (n - 1) % 26));
    return letters + QString::number(row);
}

QDate CWorkbookCell::DateFromSerial(double serial, bool system1904)
{
    if (!std::isfinite(serial) || serial < 0 || serial >= 2958466)
        return {};
    const qint64 day = qint64(std::floor(serial));
    if (system1904)
        return QDate(1904, 1, 1).addDays(day);
    // Excel counts a 29 February 1900 that never was; day 1 is 1 January 1900.
    if (day == 60 || day == 0)
        return {};
    return day < 60 ? QDate(1899, 12, 31).addDays(day) : QDate(1899, 12, 30).addDays(day);
}

QString CWorkbookCell::NumberText(double value)
{
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(qint64(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

QString CWorkbookCell::Unescape(const QString &text)
{
    if (!text.contains(QStringLiteral("_x")))
        return text;
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i) == u'_' && i + 6 < text.size() && text.at(i + 1) == u'x' && text.at(i + 6) == u'_') {
            const QStringView digits = QStringView(text).mid(i + 2, 4);
            bool ok = std::all_of(digits.begin(), digits.end(),
                                  [](QChar c) { return c.unicode() < 128 && std::isxdigit(c.unicode()) != 0; });
            const uint code = ok ? digits.toUInt(&ok, 16) : 0;
            if (ok) {
                plain += QChar(char16_t(code));
                i += 6;
                continue;
            }
        }
        plain += text.at(i);
    }
    return plain;
}
