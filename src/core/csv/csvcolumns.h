#pragma once

#include <QString>
#include <QStringList>

// The two files of a CSV register, their header names and the text form of a
// unit path.
class CCsvColumns final
{
public:
    enum EHistory { HistWhen, HistEffective, HistWho, HistWhat, HistTargetId, HistTarget, HistField, HistOld, HistNew };
    enum EUnit { UnitCode, UnitPath, UnitName, UnitYuu, UnitJuu1, UnitJuu2, UnitTel, UnitFax, UnitColumnCount };
    enum EEmployee {
        EmpCode,
        EmpName,
        EmpKana,
        EmpSex,
        EmpSdate,
        EmpIndat,
        EmpOutdat,
        EmpYuu,
        EmpJuu1,
        EmpJuu2,
        EmpTel,
        EmpFax,
        EmpUnit,
        EmpRire,
        EmpSikaku,
        EmpMem,
        EmpEmail,
        // The register's own number: tells apart employees that share a code.
        EmpId,
        EmployeeColumnCount
    };

    static QString UnitsFileName() { return QStringLiteral("部課.csv"); }
    static QString EmployeesFileName() { return QStringLiteral("社員.csv"); }
    static QString HistoryFileName() { return QStringLiteral("変更履歴.csv"); }
    static const QStringList &HistoryHeaders();
    static const QStringList &UnitHeaders();
    static const QStringList &EmployeeHeaders();
    // Width of the database column behind a header, 0 when it is not text.
    static int UnitWidth(int column);
    static int EmployeeWidth(int column);

    static QString MaleText() { return QStringLiteral("男"); }
    static QString FemaleText() { return QStringLiteral("女"); }

    // Names from the company down, joined by "/"; a "/" or "\" inside a name is
    // written with a "\" before it.
    static QString JoinPath(const QStringList &names);
    // False with the reason for an empty path or an empty name in it.
    static bool SplitPath(const QString &text, QStringList &names, QString &reason);
    static constexpr int MaxDepth = 32;
};
