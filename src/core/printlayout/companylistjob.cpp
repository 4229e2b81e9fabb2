#include "printlayout/companylistjob.h"

#include "dates/eradate.h"
#include "printlayout/celltext.h"
#include "register/printsource.h"
#include "register/registerasof.h"

#include <QColor>
#include <QHash>
#include <QPainter>

namespace {
constexpr int kRowsPerPage = 6;
constexpr int kTextHeight = 40;
constexpr int kSmallestTextHeight = 25;
constexpr int kUnwrappedTextHeight = 28;
constexpr int kHeadingHeight = 80;
constexpr int kHeadingTextHeight = 45;
constexpr double kPhotoUnitsPerPixel = 3.5;
const QString kDateFormat = QStringLiteral(" %e年 %m月 %d日\n");
const QString kAsOfFormat = QStringLiteral("%e年 %m月 %d日");

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

void CCompanyListJob::SetAsOf(std::shared_ptr<const CRegisterAsOf> asOf)
{
    m_pAsOf = std::move(asOf);
    CEraDate era;
    if (m_pAsOf)
        era.SetDate(CDateValue(m_pAsOf->Day()));
    m_table.m_strAsOf = m_pAsOf ? QStringLiteral("基準日 ") + era.FormatEra(kAsOfFormat) + QStringLiteral(" 現在　")
                                : QString();
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
    if (!m_bByUnit)
        return m_table.ComputePageCount();
    m_table.m_nPageCount = qMax(1, int(m_pages.size()));
    return m_table.m_nPageCount;
}

void CCompanyListJob::Reset()
{
    m_records.clear();
    m_table.m_nItemCount = 0;
    m_bByUnit = false;
    m_headings.clear();
    m_groupStarts.clear();
    m_pages.clear();
}

bool CCompanyListJob::PrepareUnitPrintJob(qint32 unitId, bool breakPerTopUnit)
{
    Reset();
    m_bByUnit = true;
    std::optional<CPrintSource::SUnitList> list = m_pAsOf ? m_pAsOf->UnitList(unitId) : CPrintSource::UnitList(unitId);
    if (!list)
        return false;
    SetTable(list->strUnit);
    std::vector<CListPager::SGroup> groups;
    for (CPrintSource::SUnitGroup &group : list->groups) {
        m_headings << group.strHeading;
        m_groupStarts.push_back(int(m_records.size()));
        groups.push_back({int(group.records.size()), group.nTopUnit});
        for (CPrintRecord &record : group.records)
            m_records.push_back(std::move(record));
    }
    m_table.m_nItemCount = int(m_records.size());
    const CListPager pager(kRowsPerPage * m_table.m_nRowHeight, kHeadingHeight, m_table.m_nRowHeight, breakPerTopUnit);
    m_pages = pager.Paginate(groups);
    GetPageCount();
    return true;
}

void CCompanyListJob::DrawPage(QPainter &dc, const SPrintInfo &info)
{
    if (m_bByUnit)
        DrawUnitListPage(dc, info);
    else
        DrawCompanyListPage(dc, info);
}

bool CCompanyListJob::PrepareCompanyPrintJob(qint32 unitId)
{
    Reset();
    std::optional<CPrintSource::SCompanyList> list = m_pAsOf ? m_pAsOf->CompanyList(unitId)
                                                             : CPrintSource::CompanyList(unitId);
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
    // Every level of a nested path indented alike.
    QString path = record.m_strPath;
    if (path.endsWith(QLatin1Char('\n')))
        path.chop(1);
    path.replace(QLatin1Char('\n'), QStringLiteral("\n  "));
    QString text = QStringLiteral("\n  %1\n\n").arg(path);
    text += record.m_Sex ? QStringLiteral(" 性別:女\n") : QStringLiteral(" 性別:男\n");
    text += QStringLiteral(" 生年月日　 :") + EraText(record.m_Sdate);
    text += QStringLiteral(" 入社年月日:") + EraText(record.m_Indat);
    if (HasLeft(record.m_Outdat))
        text += QStringLiteral(" 退職年月日:") + EraText(record.m_Outdat);
    return text;
}

void CCompanyListJob::StartPage(QPainter &dc, const SPrintInfo &info)
{
    const QRect &area = info.m_rectDraw;
    m_table.m_rectPage = {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    m_table.m_nCurrentPage = info.m_nCurPage;
    m_table.FitToPage(dc);
}

void CCompanyListJob::DrawRecord(QPainter &dc, const CPrintRecord &record, const QByteArray &photo,
                                 const CPrintTable::SRect &photoCell, const CPrintTable::SRect &personal,
                                 const CPrintTable::SRect &other) const
{
    DrawPhoto(dc, m_table, photo, QPoint(photoCell.left, photoCell.top), kPhotoUnitsPerPixel, photoCell);
    DrawColumnText(dc, PersonalText(record), personal);
    DrawColumnText(dc, OtherText(record), other);
}

void CCompanyListJob::DrawCompanyListPage(QPainter &dc, const SPrintInfo &info)
{
    StartPage(dc, info);
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
        DrawRecord(dc, record, photos.value(record.m_ID), m_table.CellRect(dc, 0, row), m_table.CellRect(dc, 1, row),
                   m_table.CellRect(dc, 2, row));
    }
    dc.setFont(previous);
    m_table.DrawHeader(dc);
    m_table.DrawGrid(dc);
}

void CCompanyListJob::DrawUnitListPage(QPainter &dc, const SPrintInfo &info)
{
    StartPage(dc, info);
    const int index = info.m_nCurPage - 1;
    static const CListPager::CPage kNone;
    const CListPager::CPage &page = index >= 0 && index < int(m_pages.size()) ? m_pages[size_t(index)] : kNone;
    std::vector<qint32> ids;
    for (const CListPager::SSlot &slot : page)
        if (slot.nRecord >= 0)
            ids.push_back(m_records[size_t(m_groupStarts[size_t(slot.nGroup)] + slot.nRecord)].m_ID);
    const QHash<qint32, QByteArray> photos = CPrintSource::Photos(ids);

    const QFont previous = m_table.SelectTableFont(dc, kTextHeight);
    for (const CListPager::SSlot &slot : page) {
        if (slot.nRecord < 0) {
            DrawHeading(dc, slot);
            continue;
        }
        const CPrintRecord &record = m_records[size_t(m_groupStarts[size_t(slot.nGroup)] + slot.nRecord)];
        DrawRecord(dc, record, photos.value(record.m_ID), m_table.CellRectAt(dc, 0, slot.nTop, slot.nHeight),
                   m_table.CellRectAt(dc, 1, slot.nTop, slot.nHeight), m_table.CellRectAt(dc, 2, slot.nTop, slot.nHeight));
        m_table.DrawRowFrame(dc, slot.nTop, slot.nHeight, false);
    }
    dc.setFont(previous);
    m_table.DrawHeader(dc);
    m_table.DrawColumnTitles(dc);
}

void CCompanyListJob::DrawHeading(QPainter &dc, const CListPager::SSlot &slot) const
{
    const CPrintTable::SRect row = m_table.CellRectAt(dc, -1, slot.nTop, slot.nHeight);
    dc.fillRect(row.ToQRect(), QColor(230, 230, 230));
    m_table.DrawRowFrame(dc, slot.nTop, slot.nHeight, true);
    QString text = QStringLiteral("■ ") + m_headings.value(slot.nGroup);
    if (slot.bContinued)
        text += QStringLiteral("（続き）");
    const int inset = m_table.ScaleX(dc, 20);
    const QRect inside = row.ToQRect().adjusted(inset, 0, -inset, 0);
    const CCellText::SLayout layout = CCellText::Fit(text, dc.font(), dc.device(), inside,
                                                     m_table.ScaleY(dc, kHeadingTextHeight), SmallestText(dc),
                                                     Qt::AlignLeft | Qt::AlignVCenter, false);
    CCellText::Draw(dc, layout, dc.font());
}

int CCompanyListJob::SmallestText(const QPainter &dc) const
{
    // 2.5 mm on the paper, however much the table was made smaller to fit it.
    return m_table.ScaleY(dc, kSmallestTextHeight / m_table.m_dFit);
}

void CCompanyListJob::DrawColumnText(QPainter &dc, const QString &text, const CPrintTable::SRect &cell) const
{
    // A line a little too long makes the cell a little smaller; a long one is
    // wrapped, then made smaller down to 2.5 mm; what still does not fit ends in "…".
    const QRect rect = cell.ToQRect();
    const CCellText::SLayout layout = CCellText::Fit(text, dc.font(), dc.device(), rect, m_table.ScaleY(dc, kTextHeight),
                                                     SmallestText(dc), Qt::AlignLeft | Qt::AlignTop, true,
                                                     m_table.ScaleY(dc, kUnwrappedTextHeight));
    CCellText::Draw(dc, layout, dc.font());
}
