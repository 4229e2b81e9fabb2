#pragma once

#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <QVariant>

class CDaoDatabase;

// What one write of the register changes, added to its history inside that same
// write: a write that fails leaves no entry. Moves of many employees are
// recorded by one statement per chunk of them, read from the rows themselves.
class CHistoryWriter final
{
public:
    // A row's values as the history keeps them, in the order of Columns(); a null
    // string stands for NULL.
    using SValues = QStringList;
    using SSnapshot = QHash<qint32, SValues>;

    // effective: the day a move takes effect; null for today.
    explicit CHistoryWriter(CDaoDatabase &db, const QDate &effective = {});

    // The columns kept of an employee (all but ID and the photo) and of a unit (all but ID).
    static const QStringList &EmployeeColumns();
    static const QStringList &UnitColumns();
    // The rows as they are now; those gone are left out.
    static SSnapshot ReadEmployees(CDaoDatabase &db, const QList<qint32> &ids);
    static SSnapshot ReadAllEmployees(CDaoDatabase &db);
    static SSnapshot ReadUnits(CDaoDatabase &db, const QList<qint32> &ids);
    // One value as the history writes it: dates as yyyy-MM-dd, Sex as 0 or 1.
    static QString Text(const QString &column, const QVariant &value);
    // A date as Text() writes it ("yyyy-MM-dd"), read without the general parser; invalid otherwise.
    static QDate IsoDate(QStringView text);
    // A row's values packed into one text, and back.
    static QString Pack(const SValues &values);
    static SValues Unpack(const QString &text, qsizetype count);

    // Called before the employees move to unitId (0: out of any unit); those
    // already there are left out.
    void BeforeMove(const QList<qint32> &ids, qint32 unitId);
    // Called before the employees of these units are released.
    void BeforeRelease(const QList<qint32> &units);
    // Called once the employees were added.
    void EmployeesAdded(const QList<qint32> &ids);
    // Called before the employees are deleted: their rows are kept whole.
    void BeforeEmployeesDeleted(const QList<qint32> &ids);
    // Every field that differs between the rows before and after, each one entry;
    // a changed unit is a move. Employees missing on either side are left out.
    void EmployeesEdited(const SSnapshot &before, const SSnapshot &after);
    // The photos of these employees were replaced (hadPhoto: whether each had one).
    void PhotosChanged(const QHash<qint32, bool> &hadPhoto, bool hasPhoto);

    void UnitsAdded(const QList<qint32> &ids);
    // Called before the units are deleted: their rows are kept whole.
    void BeforeUnitsDeleted(const QList<qint32> &ids);
    void UnitsEdited(const SSnapshot &before, const SSnapshot &after);

private:
    struct SEntry {
        int kind = 0;
        qint32 target = 0;
        QString field{};
        QVariant oldUnit{};
        QVariant newUnit{};
        QString oldValue{};
        QString newValue{};
        QString shot{};
    };
    void Insert(const QList<SEntry> &entries);
    // A unit added (added) or about to be deleted, its row kept whole in the entry.
    void UnitsWhole(const QList<qint32> &ids, bool added);
    // One entry per column that differs; the column naming the unit above gives a move.
    void Edited(const SSnapshot &before, const SSnapshot &after, const QStringList &columns, const QString &above,
                int moved, int edited);
    // Stamp, Eff and Who, bound first in each statement.
    QVariantList Lead();
    const QString &Who();

    CDaoDatabase &m_db;
    QString m_strStamp;
    qint32 m_nEffective = 0;
    QString m_strWho;
};
