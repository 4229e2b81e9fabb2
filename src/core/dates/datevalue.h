#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

// A calendar date with a status, as the employee dates carry it: valid, invalid
// (the parts name no real day, or the year lies outside 100..9999) or null.
class CDateValue final
{
public:
    enum Status { Valid, Invalid, Null };
    static constexpr int kMinYear = 100;
    static constexpr int kMaxYear = 9999;

    CDateValue() = default;                 // null
    explicit CDateValue(const QDate &date); // valid when the date is
    CDateValue(int year, int month, int day);

    static CDateValue Zero();        // "date value 0": 1899-12-30
    static CDateValue CurrentTime(); // today
    static CDateValue MakeNull() { return {}; }

    void SetDateTime(int year, int month, int day);
    void SetStatus(Status status);

    Status GetStatus() const { return m_status; }
    bool IsValid() const { return m_status == Valid; }
    bool IsNull() const { return m_status == Null; }
    QDate Date() const { return IsValid() ? m_date : QDate(); }

    int GetYear() const { return IsValid() ? m_date.year() : -1; }
    int GetMonth() const { return IsValid() ? m_date.month() : -1; }
    int GetDay() const { return IsValid() ? m_date.day() : -1; }

    // strftime-style codes %y %Y %m %d %%; any other text is copied. Empty unless valid.
    QString Format(const QString &format) const;

    // Column form: ISO text for a valid date, a null variant for null.
    QVariant ToVariant() const;
    static CDateValue FromVariant(const QVariant &value);

    bool operator==(const CDateValue &other) const;
    bool operator<(const CDateValue &other) const;
    bool operator<=(const CDateValue &other) const { return !(other < *this); }
    bool operator>(const CDateValue &other) const { return other < *this; }
    bool operator>=(const CDateValue &other) const { return !(*this < other); }

private:
    QDate m_date;
    Status m_status = Null;
};
