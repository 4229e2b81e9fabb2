#include "printlayout/cardprintjob.h"

#include "document/cardfield.h"
#include "document/morvekdoc.h"
#include "register/printsource.h"

#include <QPainter>

namespace {
constexpr int kCardsPerPage = 10;
constexpr int kCardColumns = 2;
constexpr double kPhotoUnitsPerPixel = 2.0;
} // namespace

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
    std::optional<CPrintRecord> record = CPrintSource::Card(employeeId);
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

void CCardPrintJob::DrawCardPage(QPainter &dc, const SPrintInfo &info)
{
    const QRect &area = info.m_rectDraw;
    m_table.m_rectPage = {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    m_table.m_nCurrentPage = info.m_nCurPage;
    const int index = m_table.FirstRowOfPage();
    if (index < 0 || index >= int(m_records.size()))
        return;
    const CPrintRecord &record = m_records[size_t(index)];
    const QByteArray photo = CPrintSource::Photos({record.m_ID}).value(record.m_ID);
    const int cellWidth = m_pDocument ? m_pDocument->m_nCellWidth : 0;
    const int cellHeight = m_pDocument ? m_pDocument->m_nCellHeight : 0;
    for (int j = 0; j < kCardsPerPage; ++j)
        DrawCard(dc, record, photo, (j % kCardColumns) * cellWidth, (j / kCardColumns) * cellHeight);
}

void CCardPrintJob::DrawCard(QPainter &dc, const CPrintRecord &record, const QByteArray &photo, int originX, int originY)
{
    if (!m_pDocument)
        return;
    // Nothing of one card reaches into the next.
    CPrintTable::SRect card{originX, originY, originX + m_pDocument->m_nCellWidth, originY + m_pDocument->m_nCellHeight};
    m_table.ScaleRects(dc, &card, 1);
    for (const CCardField &field : m_pDocument->m_fields) {
        const int left = originX + field.m_nLeft;
        const int top = originY + field.m_nTop;
        if (field.m_nKind == CCardField::kindPhoto) {
            // The photo's clip takes the field's height as its width and its width as its height.
            CPrintTable::SRect clip{left, top, left + (field.m_nBottom - field.m_nTop),
                                    top + (field.m_nRight - field.m_nLeft)};
            m_table.ScaleRects(dc, &clip, 1);
            const QRect inside = clip.ToQRect() & card.ToQRect();
            DrawPhoto(dc, m_table, photo, QPoint(clip.left, clip.top), kPhotoUnitsPerPixel,
                      {inside.left(), inside.top(), inside.left() + inside.width(), inside.top() + inside.height()});
            continue;
        }
        if (field.m_nField < 0 || field.m_nField > 7)
            continue;
        m_table.m_strFontFace = QStringLiteral("ＭＳ ゴシック");
        const CPrintTable::SRect rect{left, top, left + (field.m_nRight - field.m_nLeft),
                                      top + (field.m_nBottom - field.m_nTop)};
        m_table.DrawCellText(dc, FieldText(record, field.m_nField), rect, field.m_nFormat,
                             CCardField::ColorFromRef(field.m_crText), CCardField::ColorFromRef(field.m_crBack),
                             field.m_bBorder != 0);
    }
}
