#include "sheet/workbookwriter.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <vector>
#include <xlsxwriter.h>

namespace {
// Excel's own era form; LibreOffice reads it too. Unlike Excel's gannen form it shows
// the first year as 1 (令和1年), which every reader of ours takes.
const char *const kEraFormat = "[$-411]ggge\"年\"m\"月\"d\"日\"";
const char *const kIsoFormat = "yyyy-mm-dd";
// Before this spreadsheet programs disagree on day numbers (Excel counts a 29 February
// 1900, LibreOffice does not); earlier dates are written as text.
const QDate kFirstSerialDate(1900, 3, 1);
// The widths of date columns, with room for the autofilter's button.
constexpr int kEraDateWidth = 18;
constexpr int kIsoDateWidth = 13;
constexpr int kFilterButton = 3;

bool IsEscapeLike(const QString &text, qsizetype at)
{
    if (at + 6 >= text.size() || text.at(at + 1) != u'x' || text.at(at + 6) != u'_')
        return false;
    for (qsizetype i = at + 2; i < at + 6; ++i)
        if (!isxdigit(text.at(i).unicode() < 128 ? text.at(i).unicode() : 'g'))
            return false;
    return true;
}
} // namespace

struct CWorkbookWriter::SState {
    QString path;
    QString temporary;
    lxw_workbook *workbook = nullptr;
    lxw_format *header = nullptr;
    lxw_format *text = nullptr;
    lxw_format *date = nullptr;
    EDateForm dateForm = EDateForm::Era;
    lxw_worksheet *sheet = nullptr;
    QList<EKind> kinds;
    std::vector<int> widths;
    lxw_row_t row = 0;
    QString error;
};

CWorkbookWriter::CWorkbookWriter(const QString &path, EDateForm dateForm)
    : m_state(std::make_unique<SState>())
{
    m_state->path = path;
    m_state->dateForm = dateForm;
    const QFileInfo info(path);
    m_state->temporary = info.dir().filePath(QStringLiteral(".%1.writing").arg(info.fileName()));
    QFile::remove(m_state->temporary);
    // Rows go to temporary files as they are written, so 100,000 rows take little memory.
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.use_zip64 = LXW_TRUE;
    m_state->workbook = workbook_new_opt(QFile::encodeName(m_state->temporary).constData(), &options);
    if (!m_state->workbook) {
        m_state->error = QStringLiteral("%1 を作れません。").arg(QDir::toNativeSeparators(path));
        return;
    }
    m_state->header = workbook_add_format(m_state->workbook);
    format_set_bold(m_state->header);
    m_state->text = workbook_add_format(m_state->workbook);
    // "@": what is typed into the cell later stays text too.
    format_set_num_format(m_state->text, "@");
    m_state->date = workbook_add_format(m_state->workbook);
    format_set_num_format(m_state->date, dateForm == EDateForm::Era ? kEraFormat : kIsoFormat);
}

CWorkbookWriter::~CWorkbookWriter()
{
    // Closing is the only way to free a workbook; what it writes is thrown away.
    if (m_state->workbook) {
        workbook_close(m_state->workbook);
        QFile::remove(m_state->temporary);
    }
}

bool CWorkbookWriter::Fail(const QString &reason)
{
    if (m_state->error.isEmpty())
        m_state->error = reason;
    return false;
}

bool CWorkbookWriter::AddSheet(const QString &name, const QStringList &headers, const QList<EKind> &kinds)
{
    if (!m_state->error.isEmpty())
        return false;
    FinishSheet();
    m_state->sheet = workbook_add_worksheet(m_state->workbook, name.toUtf8().constData());
    if (!m_state->sheet)
        return Fail(QStringLiteral("シート「%1」を作れません。").arg(name));
    m_state->kinds = kinds;
    m_state->widths.assign(size_t(headers.size()), 0);
    m_state->row = 0;
    for (int column = 0; column < headers.size(); ++column) {
        worksheet_write_string(m_state->sheet, 0, lxw_col_t(column), CellText(headers.at(column)).constData(),
                               m_state->header);
        m_state->widths[size_t(column)] = DisplayWidth(headers.at(column)) + kFilterButton;
    }
    return true;
}

void CWorkbookWriter::AddRow(const QStringList &cells)
{
    if (!m_state->sheet || !m_state->error.isEmpty())
        return;
    ++m_state->row;
    const int count = int(std::min(cells.size(), qsizetype(m_state->widths.size())));
    for (int column = 0; column < count; ++column)
        if (!cells.at(column).isEmpty())
            WriteCell(column, cells.at(column));
}

void CWorkbookWriter::WriteCell(int column, const QString &text)
{
    lxw_worksheet *sheet = m_state->sheet;
    const lxw_row_t row = m_state->row;
    const lxw_col_t col = lxw_col_t(column);
    int &width = m_state->widths[size_t(column)];
    const EKind kind = m_state->kinds.value(column, EKind::Text);
    if (kind == EKind::Date) {
        const QDate date = QDate::fromString(text, Qt::ISODate);
        if (date.isValid() && date >= kFirstSerialDate) {
            lxw_datetime value{date.year(), date.month(), date.day(), 0, 0, 0.0};
            worksheet_write_datetime(sheet, row, col, &value, m_state->date);
            width = std::max(width, m_state->dateForm == EDateForm::Era ? kEraDateWidth : kIsoDateWidth);
            return;
        }
    } else if (kind == EKind::Number) {
        bool ok = false;
        const qlonglong number = text.toLongLong(&ok);
        // Whole numbers up to 15 digits are exact in a cell; a longer one stays text.
        if (ok && number > -1000000000000000LL && number < 1000000000000000LL) {
            worksheet_write_number(sheet, row, col, double(number), nullptr);
            width = std::max(width, int(text.size()) + kFilterButton);
            return;
        }
    }
    const lxw_error result = worksheet_write_string(sheet, row, col, CellText(text).constData(), m_state->text);
    if (result != LXW_NO_ERROR)
        Fail(QStringLiteral("%1 行 %2 列目を書けません（%3）。").arg(row + 1).arg(column + 1).arg(lxw_strerror(result)));
    width = std::max(width, std::min(DisplayWidth(text) + 1, MaxColumnWidth));
}

void CWorkbookWriter::FinishSheet()
{
    lxw_worksheet *sheet = m_state->sheet;
    if (!sheet)
        return;
    for (size_t column = 0; column < m_state->widths.size(); ++column)
        worksheet_set_column(sheet, lxw_col_t(column), lxw_col_t(column), m_state->widths[column], nullptr);
    worksheet_freeze_panes(sheet, 1, 0);
    if (!m_state->widths.empty())
        worksheet_autofilter(sheet, 0, 0, m_state->row, lxw_col_t(m_state->widths.size() - 1));
    m_state->sheet = nullptr;
}

bool CWorkbookWriter::Close(QString &error)
{
    if (m_state->workbook) {
        FinishSheet();
        const lxw_error result = workbook_close(m_state->workbook);
        m_state->workbook = nullptr;
        if (result != LXW_NO_ERROR)
            Fail(QStringLiteral("%1 に書き込めません（%2）。")
                     .arg(QDir::toNativeSeparators(m_state->path), QString::fromUtf8(lxw_strerror(result))));
    }
    if (m_state->error.isEmpty()) {
        // rename() does not replace; the old file goes only once the new one is complete.
        QFile::remove(m_state->path);
        if (!QFile::rename(m_state->temporary, m_state->path))
            Fail(QStringLiteral("%1 に書き込めません。").arg(QDir::toNativeSeparators(m_state->path)));
    }
    if (!m_state->error.isEmpty()) {
        QFile::remove(m_state->temporary);
        error = m_state->error;
        return false;
    }
    return true;
}

QByteArray CWorkbookWriter::CellText(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        const bool control = (c < 0x20 && c != u'\t' && c != u'\n') || c == 0xFFFE || c == 0xFFFF;
        if (control || (c == u'_' && IsEscapeLike(text, i)))
            escaped += QStringLiteral("_x%1_").arg(QString::number(uint(c), 16).toUpper().rightJustified(4, u'0'));
        else
            escaped += QChar(c);
    }
    return escaped.toUtf8();
}

int CWorkbookWriter::DisplayWidth(const QString &text)
{
    int width = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        // Half-width kana are narrow; CJK, kana, full-width forms and surrogate pairs' halves wide.
        const bool wide = (u >= 0x1100 && !(u >= 0xFF61 && u <= 0xFFDC) && !(u >= 0xFFE8 && u <= 0xFFEE)) && u != 0x2010
                       && !(u >= 0x2000 && u < 0x2E80);
        width += wide ? 2 : 1;
    }
    return width;
}
