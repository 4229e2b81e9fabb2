#pragma once

#include "sheet/readbudget.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

// One record of a CSV file and the line it starts on (1 is the first line).
struct SCsvRecord {
    qsizetype line = 0;
    QStringList fields;
};

// Reads and writes RFC 4180 records through libcsv: quoted fields keep their
// commas, quotes and line feeds.
class CCsvTable final
{
public:
    // More fields than this in one record is not a file of ours.
    static constexpr int MaxFields = 256;
    // A header and as many rows as a spreadsheet has.
    static constexpr qsizetype MaxRecords = 1048576 + 1;

    // utf8 without byte order mark. False with a message naming the line on a
    // malformed record, a file that ends inside a quoted field, a field longer than
    // CReadBudget::MaxCellLength, too many fields or records, or records past budget.
    static bool Parse(QByteArrayView utf8, QList<SCsvRecord> &records, QString &error, CReadBudget *budget = nullptr);
    // Records with CRLF after each; fields quoted only where they must be.
    static QByteArray Write(const QList<QStringList> &records);
    static void AppendRecord(QByteArray &out, const QStringList &fields);
};
