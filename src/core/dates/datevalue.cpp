#include "dates/datevalue.h"

CDateValue::CDateValue(const QDate &date)
    : m_date(date)
    , m_status(date.isValid() ? Valid : Invalid)
{
}

CDateValue::CDateValue(int year, int month, int day)
{
    SetDateTime(year, month, day);
}

CDateValue CDateValue::Zero()
{
    return CDateValue(1899, 12, 30);
}

CDateValue CDateValue::CurrentTime()
{
    return CDateValue(QDate::currentDate());
}

void CDateValue::SetDateTime(int year, int month, int day)
{
    const bool inRange = year >= kMinYear && year <= kMaxYear;
    m_date = inRange ? QDate(year, month, day) : QDate();
    m_status = m_date.isValid() ? Valid : Invalid;
}

void CDateValue::SetStatus(Status status)
{
    m_status = status;
    if (status != Valid)
        m_date = QDate();
}

QString CDateValue::Format(const QString &format) const
{
    if (!IsValid())
        return {};
    QString out;
    out.reserve(format.size() + 8);
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c != u'%' || i + 1 == format.size()) {
            out += c;
            continue;
        }
        const QChar code = format.at(++i);
        switch (code.unicode()) {
        case 'y':
            out += QString::asprintf("%02d", m_date.year() % 100);
            break;
        case 'Y':
            out += QString::number(m_date.year());
            break;
        case 'm':
            out += QString::asprintf("%02d", m_date.month());
            break;
        case 'd':
            out += QString::asprintf("%02d", m_date.day());
            break;
        case '%':
            out += u'%';
            break;
        default:
            out += c;
            out += code;
            break;
        }
    }
    return out;
}

QVariant CDateValue::ToVariant() const
{
    if (m_status == Null)
        return QVariant(QMetaType::fromType<QString>());
    return m_date.toString(Qt::ISODate);
}

CDateValue CDateValue::FromVariant(const QVariant &value)
{
    if (value.isNull())
        return {};
    // Only the date part counts; a stored time of day is ignored. The usual
    // "yyyy-mm-dd" is read digit by digit: this runs for every row shown.
    const QString text = value.typeId() == QMetaType::QString ? *static_cast<const QString *>(value.constData())
                                                              : value.toString();
    if (text.size() >= 10 && text.at(4) == u'-' && text.at(7) == u'-') {
        int parts[3] = {0, 0, 0};
        const int starts[3] = {0, 5, 8};
        const int lengths[3] = {4, 2, 2};
        bool digits = true;
        for (int p = 0; p < 3 && digits; ++p) {
            for (int i = starts[p]; i < starts[p] + lengths[p]; ++i) {
                const char16_t c = text.at(i).unicode();
                digits = digits && c >= u'0' && c <= u'9';
                parts[p] = parts[p] * 10 + (c - u'0');
            }
        }
        if (digits && (text.size() == 10 || !text.at(10).isDigit()))
            return CDateValue(QDate(parts[0], parts[1], parts[2]));
    }
    return CDateValue(QDate::fromString(text.left(10), Qt::ISODate));
}

bool CDateValue::operator==(const CDateValue &other) const
{
    return m_status == other.m_status && (m_status != Valid || m_date == other.m_date);
}

bool CDateValue::operator<(const CDateValue &other) const
{
    if (m_status != other.m_status)
        return m_status < other.m_status;
    return m_status == Valid && m_date < other.m_date;
}
