#include "register/employeecode.h"

#include <limits>

qint32 CEmployeeCode::Value(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == u' ' || text.at(i) == u'\t'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == u'-' || text.at(i) == u'+')) {
        negative = text.at(i) == u'-';
        ++i;
    }
    // Saturates instead of overflowing: a longer number is no code either way.
    constexpr qint64 kLimit = std::numeric_limits<qint32>::max();
    qint64 value = 0;
    for (; i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9'; ++i)
        value = qMin(value * 10 + (text.at(i).unicode() - u'0'), kLimit + 1);
    if (negative)
        return qint32(qMax(-value, qint64(std::numeric_limits<qint32>::min())));
    return qint32(qMin(value, kLimit));
}

QString CEmployeeCode::RangeText()
{
    return QStringLiteral("社員コードは 1 から %1 までの整数です。").arg(kMax);
}
