#pragma once

#include "dates/datevalue.h"

#include <QByteArray>
#include <QList>
#include <QString>

class CMast00;
class CMast01;

// Units and employees for the tests, written as a window writes them: through the
// record sets, so that a change of the tables touches this file alone. A field a
// row leaves out is stored as a new row leaves it (empty, no date, no photo).
class CRegisterBuilder final
{
public:
    struct SUnitRow {
        qint32 parent = 0; // 0 for a company
        qint32 code = 0;
        QString name{};
        QString yuu{};
        QString juu1{};
        QString juu2{};
        QString tel{};
        QString fax{};
    };
    struct SEmployeeRow {
        qint32 code = 0;
        qint32 busyo = 0; // 0 for no unit
        QString name{};
        bool female = false;
        QString kana{};
        CDateValue birth{};
        CDateValue joined{};
        CDateValue left{};
        QString yuu{};
        QString juu1{};
        QString juu2{};
        QString tel{};
        QString fax{};
        QString rire{};
        QString sikaku{};
        QString mem{};
        QString email{};
        QByteArray pic{};
    };

    // Through a set of their own on the database the record sets open by default;
    // the new row's ID.
    static qint32 AddUnit(const SUnitRow &unit);
    static qint32 AddEmployee(const SEmployeeRow &employee);
    // Through a set the caller holds open, which then walks the row as one it added.
    static qint32 AddUnit(CMast00 &set, const SUnitRow &unit);
    static qint32 AddEmployee(CMast01 &set, const SEmployeeRow &employee);
    // All in one transaction, a commit a row waiting for the disk each time; into the
    // file or server at path, by default the record sets' own. The IDs in row order.
    static QList<qint32> AddEmployees(const QList<SEmployeeRow> &employees, const QString &path = {});

    // An employee named after the code, "社員<code>".
    static SEmployeeRow Numbered(qint32 code, qint32 busyo = 0);
    static QString NumberedName(qint32 code);
};
