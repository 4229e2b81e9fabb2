#include "printlayout/companylistjob.h"

#include "dates/eradate.h"
#include "register/printsource.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>

namespace {
constexpr int kRowsPerPage = 6;
constexpr int kTextHeight = 40;
constexpr int kSmallestTextHeight = 20;
constexpr double kPhotoUnitsPerPixel = 3.5;
// Word-wrapped, tab stops.
constexpr unsigned kColumnFormat = CPrintTable::DT_WORDBREAK | CPrintTable::DT_TABSTOP;
const QString kDateFormat = QStringLiteral(" %e年 %m月 %d日\n");

QString EraText(const CDateValue &date)
{
    CEraDate era;
    era.SetDate(date);
    return era.FormatEra(kDateFormat);
}

// A leaving date of 0 (or none) means the employee has not left.
bool HasLeft(const CDateValue &date)
{
    return date.IsValid() && !(date == CDateValue::Zero());
}
} // namespace

CCompanyListJob::CCompanyListJob()
{
    SetTable(QString());
}

void CCompanyListJob::SetTable(const QString &companyName)
{
    m_table.m_strTitle = QStringLiteral("社員一覧表");
    m_table.m_strSubtitle = companyName;
    m_table.m_strNote = QStringLiteral("範囲");
    m_table.m_strFontFace = QStringLiteral("ＭＳゴシック");
    m_table.m_nColumns = 3;
    m_table.m_nRowsPerPage = kRowsPerPage;
    m_table.m_nOriginX = 100;
    m_table.m_nOriginY = 300;
    m_table.m_columnWidths = {400, 800, 650};
    m_table.m_columnTitles = {QStringLiteral("顔写真"), QStringLiteral("個人情報"), QStringLiteral("その他")};
    m_table.m_nHeaderHeight = 80;
    m_table.m_nRowHeight = 400;
}

QString CCompanyListJob::GetDocName() const
{
    return m_table.m_strTitle;
}

int CCompanyListJob::GetPageCount()
{
    return m_table.ComputePageCount();
}

bool CCompanyListJob::PrepareCompanyPrintJob(qint32 unitId)
{
    m_records.clear();
    m_table.m_nItemCount = 0;
    std::optional<CPrintSource::SCompanyList> list = CPrintSource::CompanyList(unitId);
    if (!list)
        return false;
    SetTable(list->strCompany);
    m_records = std::move(list->records);
    m_table.m_nItemCount = int(m_records.size());
    m_table.ComputePageCount();
    return true;
}

QString CCompanyListJob::PersonalText(const CPrintRecord &record)
{
    return QStringLiteral("\n  [ %1 ] %2(%3)\n\n").arg(record.m_Code).arg(record.m_Name, record.m_Kana)
         + QStringLiteral("〒 ") + record.m_Yuu + QLatin1Char('\n') + QStringLiteral("   ") + record.m_Juu1
         + QLatin1Char('\n') + QStringLiteral("   ") + record.m_Juu2 + QStringLiteral("\n\n")
         + QStringLiteral(" TEL:%1 FAX:%2").arg(record.m_TEL, 15).arg(record.m_FAX, 15);
}

QString CCompanyListJob::OtherText(const CPrintRecord &record)
{
    QString text = QStringLiteral("\n  %1\n\n").arg(record.m_strPath);
    text += record.m_Sex ? QStringLiteral(" 性別:女\n") : QStringLiteral(" 性別:男\n");
    text += QStringLiteral(" 生年月日　 :") + EraText(record.m_Sdate);
    text += QStringLiteral(" 入社年月日:") + EraText(record.m_Indat);
    if (HasLeft(record.m_Outdat))
        text += QStringLiteral(" 退職年月日:") + EraText(record.m_Outdat);
    return text;
}

void CCompanyListJob::DrawCompanyListPage(QPainter &dc, const SPrintInfo &info)
{
    const QRect &area = info.m_rectDraw;
    m_table.m_rectPage = {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    m_table.m_nCurrentPage = info.m_nCurPage;
    const int first = qMax(0, m_table.FirstRowOfPage());
    const int end = qMin<int>(first + kRowsPerPage, int(m_records.size()));

    std::vector<qint32> ids;
    for (int i = first; i < end; ++i)
        ids.push_back(m_records[size_t(i)].m_ID);
    const QHash<qint32, QByteArray> photos = CPrintSource::Photos(ids);

    const QFont previous = m_table.SelectTableFont(dc, kTextHeight);
    for (int i = first; i < end; ++i) {
        const CPrintRecord &record = m_records[size_t(i)];
        const int row = i - first;
        const CPrintTable::SRect photoCell = m_table.CellRect(dc, 0, row);
        DrawPhoto(dc, m_table, photos.value(record.m_ID), QPoint(photoCell.left, photoCell.top), kPhotoUnitsPerPixel,
                  photoCell);
        DrawColumnText(dc, PersonalText(record), m_table.CellRect(dc, 1, row));
        DrawColumnText(dc, OtherText(record), m_table.CellRect(dc, 2, row));
    }
    dc.setFont(previous);
    m_table.DrawHeader(dc);
    m_table.DrawGrid(dc);
}

void CCompanyListJob::DrawColumnText(QPainter &dc, const QString &text, const CPrintTable::SRect &cell) const
{
    // 4 mm lets a long address or a date run past the column: it would wrap and
    // push the last line, the leaving date, out of the cell. Smaller, it fits.
    const QRect rect = cell.ToQRect();
    const int unwrapped = CPrintTable::TextFlags(kColumnFormat & ~CPrintTable::DT_WORDBREAK);
    QFont font = dc.font();
    int height = kTextHeight;
    for (; height > kSmallestTextHeight; height -= 2) {
        font.setPixelSize(qMax(1, m_table.ScaleX(dc, height)));
        const QRect needed = QFontMetrics(font, dc.device()).boundingRect(rect, unwrapped, text);
        if (needed.width() <= rect.width() && needed.height() <= rect.height())
            break;
    }
    font.setPixelSize(qMax(1, m_table.ScaleX(dc, height)));
    const QFont previous = dc.font();
    dc.setFont(font);
    CPrintTable::DrawText(dc, text, cell, kColumnFormat);
    dc.setFont(previous);
}
