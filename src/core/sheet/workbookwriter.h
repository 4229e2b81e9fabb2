#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <memory>

// Writes one .xlsx workbook sheet by sheet, rows in order, through libxlsxwriter: text
// stays text, numbers are numbers and dates real date cells. Each sheet gets a bold
// frozen header row, an autofilter and columns as wide as their contents.
class CWorkbookWriter final
{
public:
    enum class EKind { Text, Number, Date };
    enum class EDateForm { Era, Iso };

    CWorkbookWriter(const QString &path, EDateForm dateForm);
    ~CWorkbookWriter();
    CWorkbookWriter(const CWorkbookWriter &) = delete;
    CWorkbookWriter &operator=(const CWorkbookWriter &) = delete;

    // Starts a sheet with its header row; kinds has one entry per header.
    bool AddSheet(const QString &name, const QStringList &headers, const QList<EKind> &kinds);
    // Number cells hold whole numbers, date cells ISO dates; a cell that is not one is
    // written as text. Cells past the headers are left out.
    void AddRow(const QStringList &cells);
    // Writes the file: into a temporary name beside it, then renamed, so that a failure
    // leaves a file of that name as it was. False with a message on any failure so far.
    bool Close(QString &error);

    static constexpr int MaxColumnWidth = 60;

    // Text as a cell stores it: control characters (and "_xHHHH_" itself) escaped the
    // way Excel does, "_x000D_" for a carriage return.
    static QByteArray CellText(const QString &text);
    // Columns a text takes on screen: two for a wide character, one for the others.
    static int DisplayWidth(const QString &text);

private:
    struct SState;
    void FinishSheet();
    void WriteCell(int column, const QString &text);
    bool Fail(const QString &reason);

    std::unique_ptr<SState> m_state;
};
