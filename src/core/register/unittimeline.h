#pragma once

#include "register/unitfields.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

class CDaoDatabase;

// The units as they stood at any point of the history: the units now, taken back
// change by change (or forward again) through the history's entries of units.
class CUnitTimeline final
{
public:
    // sinceDay (yyyymmdd): only changes that took effect after it are read, enough to go back to its end.
    explicit CUnitTimeline(CDaoDatabase &db, qint32 sinceDay = 0);

    // The units as they stood once every change before entry seq was made, and none from it on.
    void MoveTo(qint64 seq);
    // The units at the end of day (yyyymmdd).
    void MoveToEndOf(qint32 day);

    const QHash<qint32, SUnitFields> &Units() const { return m_units; }
    // Names from the company down, joined by "/"; empty for 0 or a unit not there.
    QString SlashPath(qint32 id) const;
    // Names from the top down, each followed by a line feed.
    QString Path(qint32 id, bool skipCompany) const;
    // The unit and those above it, up to its company.
    QList<qint32> Chain(qint32 id) const;

private:
    struct SChange {
        qint64 seq = 0;
        qint32 day = 0;
        int kind = 0;
        qint32 target = 0;
        QString field;
        qint32 oldUnit = 0;
        qint32 newUnit = 0;
        QString oldValue;
        QString newValue;
        QString shot;
    };
    void Undo(const SChange &change);
    void Redo(const SChange &change);
    static void SetField(SUnitFields &unit, const QString &field, const QString &value);

    QHash<qint32, SUnitFields> m_units;
    QList<SChange> m_changes; // oldest first
    qsizetype m_nApplied = 0; // the first m_nApplied changes are in m_units
};
