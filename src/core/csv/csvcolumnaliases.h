#pragma once

#include <QString>
#include <QStringList>

// The names other programs and offices give the columns of the two files, and
// the ways they write 性別. A header is compared after NFKC, case folding and
// without spaces, "-", "_" and "・", so "E-mail", "ｅメール" and "Ｅ－ＭＡＩＬ" are one.
class CCsvColumnAliases final
{
public:
    CCsvColumnAliases() = delete;

    // Column of CCsvColumns::EEmployee or EUnit a header names; -1 when unknown.
    static int EmployeeColumn(const QString &header);
    static int UnitColumn(const QString &header);
    // The other names of a column, the column's own name not among them.
    static const QStringList &EmployeeAliases(int column);
    static const QStringList &UnitAliases(int column);

    // 0 for male, 1 for female, -1 for a text that names neither; blank is -1 too.
    static int Sex(const QString &text);
    static const QStringList &MaleTexts();
    static const QStringList &FemaleTexts();

    static QString Folded(const QString &header);
};
