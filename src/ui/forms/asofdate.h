#pragma once

#include <QDate>
#include <QString>

// The day the company window shows the register as it stood at the end of, and
// the words it is told in. An invalid day stands for today: the register as it is.
class CAsOfDate final
{
public:
    CAsOfDate() = delete;

    // "令和6年4月1日"; the Western form before the first era.
    static QString EraText(const QDate &day);
    // The window's title with the day after it; the title alone for today.
    static QString Title(const QString &title, const QDate &day);
    // What the status bar says while a past day is shown; empty for today.
    static QString Status(const QDate &day);
    // Said when the register held no unit yet at the end of that day.
    static QString NothingThen(const QDate &day);
    // Why a day cannot be shown as of; empty when it can (today included).
    static QString Refusal(const QDate &day, const QDate &today);
    // The day to keep: invalid for today itself.
    static QDate Kept(const QDate &day, const QDate &today);
    // Told when an edit is tried while a past day is shown.
    static QString ReadOnlyText();
};
