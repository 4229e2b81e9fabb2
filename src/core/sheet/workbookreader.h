#pragma once

#include "sheet/workbookarchive.h"
#include "sheet/readbudget.h"
#include "sheet/workbookstyles.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

class QXmlStreamReader;

// One row of a sheet with text in it, by its row number (1 is the first); cells run
// from column A to the last one with text in this row, those between empty.
struct SSheetRow {
    qsizetype line = 0;
    QStringList cells;
};

// Reads the sheets of a .xlsx workbook, whoever wrote it: shared and inline strings
// (rich text too), numbers, booleans and dates stored as day numbers in either date
// system, rows and cells with gaps. Every cell comes back as the text a spreadsheet
// shows for it in a plain form; dates as ISO dates.
class CWorkbookReader final
{
public:
    // Shared strings past this are refused: no sheet of a register has so many.
    static constexpr qsizetype MaxSharedStrings = qsizetype(1) << 23;

    // Reads what all sheets share; false with a message for a file that is no workbook.
    bool Open(const QString &path, QString &error);
    const QStringList &SheetNames() const { return m_names; }
    // The file as shown in messages.
    QString Shown() const { return m_archive.Shown(); }
    // Rows beyond maxRows, text beyond maxColumns, a cell longer than
    // CReadBudget::MaxCellLength or sheets past the budget refuse the sheet.
    bool ReadSheet(int index, int maxColumns, qsizetype maxRows, QList<SSheetRow> &rows, QString &error);

private:
    bool ReadPart(const QString &part, QByteArray &bytes, QString &error);
    bool ReadRelations(const QString &part, QString &sharedStrings, QString &styles, QString &error);
    bool ReadWorkbook(const QString &part, QString &error);
    bool ReadSharedStrings(const QString &part, QString &error);
    // Where a cell is, for its messages.
    struct SCellPlace {
        QString sheet;
        qsizetype row = 0;
        int column = -1;
    };
    bool ReadRows(QXmlStreamReader &reader, const QString &name, int maxColumns, qsizetype maxRows, QList<SSheetRow> &rows,
                  QString &error);
    bool KeepRow(SSheetRow &row, QList<SSheetRow> &rows, QString &error);
    bool ReadCell(QXmlStreamReader &reader, const SCellPlace &place, QString &value, QString &error) const;
    QString CellError(const SCellPlace &place, const QString &what) const;
    QString Damaged(const QString &part, const QXmlStreamReader &reader) const;

    CWorkbookArchive m_archive;
    QStringList m_names;
    QStringList m_parts;
    QStringList m_relationIds;
    QStringList m_shared;
    QSet<qsizetype> m_overlong; // shared strings past the cell length, kept empty
    // Shared strings and every sheet read count against one budget.
    CReadBudget m_budget;
    CWorkbookStyles m_styles;
    bool m_system1904 = false;
};
