#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

// The values of a workbook's cells as text: where a cell is, numbers, dates stored as
// day numbers, and the escapes of characters XML cannot hold.
class CWorkbookCell final
{
public:
    CWorkbookCell() = delete;

    // The column of a reference such as "C5" (0 for A), or -1 when it names none or one
    // past maxColumns (the check stops reading letters there).
    static int Column(QStringView reference, int maxColumns);
    // The reference of a cell as a spreadsheet shows it ("C5"); column 0 is A.
    static QString Reference(int column, qsizetype row);
    // The day a serial number stands for, in the 1900 or the 1904 date system; invalid
    // for a number outside 1900 (1904) to 9999, and for Excel's 29 February 1900.
    static QDate DateFromSerial(double serial, bool system1904);
    // A number as a spreadsheet writes it: whole numbers without ".0", others in the
    // fewest digits that read back the same.
    static QString NumberText(double value);
    // "_x000D_" and the like back to their characters.
    static QString Unescape(const QString &text);
};
