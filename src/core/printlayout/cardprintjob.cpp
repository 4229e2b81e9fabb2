#include "printlayout/cardprintjob.h"

#include "document/cardfield.h"
#include "document/morvekdoc.h"
#include "register/printsource.h"
#include "register/registerasof.h"

#include <QList>
#include <QPainter>
#include <QPen>
#include <array>

CCardPrintJob::CCardPrintJob(const CMorvekDoc *pDocument)
    : m_pDocument(pDocument)
{
    SetTable();
}

void CCardPrintJob::SetCardPrintHeader()
{
    SetTable();
    m_table.m_strSubtitle = CPrintSource::FirstUnitName();
}

void CCardPrintJob::SetTable()
{
    m_table.m_strTitle = QStringLiteral("社員一覧表");
    m_table.m_strNote = QStringLiteral("範囲");
    m_table.m_strFontFace = QStringLiteral("ＭＳゴシック");
    m_table.m_nColumns = 3;
    m_table.m_nRowsPerPage = 1;
    m_table.m_nOriginX = 100;
    m_table.m_nOriginY = 300;
    m_table.m_columnWidths = {400, 800, 650};
    m_table.m_columnTitles = {QStringLiteral("顔写真"), QStringLiteral("個人情報"), QStringLiteral("その他")};
    m_table.m_nHeaderHeight = 80;
    m_table.m_nRowHeight = 400;
}

bool CCardPrintJob::AddCardRecord(qint32 employeeId)
{
    std::optional<CPrintRecord> record = m_pAsOf ? m_pAsOf->Card(employeeId) : CPrintSource::Card(employeeId);
    if (!record)
        return false;
    m_records.push_back(std::move(*record));
    m_table.m_nItemCount = int(m_records.size());
    return true;
}

void CCardPrintJob::Clear()
{
    m_records.clear();
    m_table.m_nItemCount = 0;
}

int CCardPrintJob::GetPageCount()
{
    return qMax(1, int(m_records.size()));
}

QString CCardPrintJob::GetDocName() const
{
    return QStringLiteral("社員名刺");
}

QString CCardPrintJob::FieldText(const CPrintRecord &record, int field)
{
    switch (field) {
    case 0:
        return record.m_strCompany;
    case 1:
        return record.m_strPath;
    case 2:
        return record.m_Name;
    case 3:
        return QStringLiteral("〒 %1").arg(record.m_Yuu);
    case 4:
        return record.m_Juu1;
    case 5:
        return record.m_Juu2;
    case 6:
        return QStringLiteral("TEL:%1").arg(record.m_TEL);
    case 7:
        return QStringLiteral("FAX:%1").arg(record.m_FAX);
    default:
        return QString();
    }
}

QRect CCardPrintJob::PhotoBox(const CCardField &field, QSize card)
{
    const QRect box(field.m_nLeft, field.m_nTop, field.m_nBottom - field.m_nTop, field.m_nRight - field.m_nLeft);
    return box & QRect(QPoint(0, 0), card);
}

void CCardPrintJob::DrawCardPage(QPainter &dc, const SPrintInfo &info)
{
    const QRect &area = info.m_rectDraw;
    m_table.m_rectPage = {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    m_table.m_nCurrentPage = info.m_nCurPage;
    m_table.m_dFit = 1.0;
    m_table.m_ptShift = m_sheet.FromPaperCorner() ? info.Paper().topLeft() : area.topLeft();
    const int index = m_table.FirstRowOfPage();
    if (index < 0 || index >= int(m_records.size()) || !m_pDocument)
        return;
    const CPrintRecord &record = m_records[size_t(index)];
    const QByteArray photo = CPrintSource::Photos({record.m_ID}).value(record.m_ID);
    const std::vector<QRect> cells = m_sheet.Cells(QSize(m_pDocument->m_nCellWidth, m_pDocument->m_nCellHeight));
    for (const QRect &cell : cells)
        DrawCard(dc, record, photo, cell);
    if (m_sheet.m_bCutMarks)
        DrawCutMarks(dc, cells, area);
}

void CCardPrintJob::DrawCard(QPainter &dc, const CPrintRecord &record, const QByteArray &photo, const QRect &cell)
{
    const QSize size = cell.size();
    // Photos first: a text field that lies over one is printed on top of it.
    for (const CCardField &field : m_pDocument->m_fields) {
        if (field.m_nKind != CCardField::kindPhoto)
            continue;
        const QRect box = PhotoBox(field, size).translated(cell.topLeft());
        CPrintTable::SRect scaled{box.left(), box.top(), box.left() + box.width(), box.top() + box.height()};
        m_table.ScaleRects(dc, &scaled, 1);
        DrawPhotoFitted(dc, photo, scaled.ToQRect());
    }
    m_table.m_strFontFace = QStringLiteral("ＭＳ ゴシック");
    for (const CCardField &field : m_pDocument->m_fields) {
        if (field.m_nKind == CCardField::kindPhoto || field.m_nField < 0 || field.m_nField > 7)
            continue;
        const int left = cell.left() + field.m_nLeft;
        const int top = cell.top() + field.m_nTop;
        const CPrintTable::SRect rect{left, top, left + (field.m_nRight - field.m_nLeft),
                                      top + (field.m_nBottom - field.m_nTop)};
        m_table.DrawCellText(dc, FieldText(record, field.m_nField), rect, field.m_nFormat,
                             CCardField::ColorFromRef(field.m_crText), CCardField::ColorFromRef(field.m_crBack),
                             field.m_bBorder != 0);
    }
}

void CCardPrintJob::DrawCutMarks(QPainter &dc, const std::vector<QRect> &cells, const QRect &printable)
{
    // Short lines outside the grid where the cuts go, for cards on plain paper.
    constexpr int kGap = 20;
    constexpr int kLength = 50;
    QRect grid;
    QList<int> xs, ys;
    for (const QRect &cell : cells) {
        grid |= cell;
        for (int x : {cell.left(), cell.left() + cell.width()})
            if (!xs.contains(x))
                xs << x;
        for (int y : {cell.top(), cell.top() + cell.height()})
            if (!ys.contains(y))
                ys << y;
    }
    const int left = grid.left(), top = grid.top();
    const int right = grid.left() + grid.width(), bottom = grid.top() + grid.height();
    QList<std::array<QPoint, 2>> marks;
    for (int x : std::as_const(xs)) {
        marks.append({QPoint(x, top - kGap - kLength), QPoint(x, top - kGap)});
        marks.append({QPoint(x, bottom + kGap), QPoint(x, bottom + kGap + kLength)});
    }
    for (int y : std::as_const(ys)) {
        marks.append({QPoint(left - kGap - kLength, y), QPoint(left - kGap, y)});
        marks.append({QPoint(right + kGap, y), QPoint(right + kGap + kLength, y)});
    }
    dc.save();
    dc.setClipRect(printable, Qt::IntersectClip);
    QPen pen(Qt::black);
    pen.setWidth(qMax(1, m_table.ScaleX(dc, 1)));
    dc.setPen(pen);
    for (std::array<QPoint, 2> &mark : marks) {
        m_table.ScalePoints(dc, mark.data(), 2);
        dc.drawLine(mark[0], mark[1]);
    }
    dc.restore();
}
