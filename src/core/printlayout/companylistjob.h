#pragma once

#include "printlayout/listpager.h"
#include "printlayout/printjob.h"
#include "printlayout/printtable.h"
#include "register/printrecord.h"

#include <QStringList>
#include <memory>
#include <vector>

class CRegisterAsOf;

// The employee list, "社員一覧表": six employees a page with photo, personal data
// and the rest; of a whole company, or of one unit and the units under it,
// grouped by unit under their paths.
class CCompanyListJob final : public CPrintJob
{
public:
    CCompanyListJob();

    // The lists are made as the register stood at the end of that day, which the
    // header then names; none: as it is.
    void SetAsOf(std::shared_ptr<const CRegisterAsOf> asOf);

    // Gathers every employee of the company above unitId; false, with an empty
    // job, when that unit is gone.
    bool PrepareCompanyPrintJob(qint32 unitId);
    // Gathers the employees of unitId and the units under it, grouped by unit; with
    // breakPerTopUnit each unit right under unitId starts a page. False, with an
    // empty job, when that unit is gone.
    bool PrepareUnitPrintJob(qint32 unitId, bool breakPerTopUnit);
    void DrawCompanyListPage(QPainter &dc, const SPrintInfo &info);
    void DrawUnitListPage(QPainter &dc, const SPrintInfo &info);
    bool IsByUnit() const { return m_bByUnit; }
    const std::vector<CListPager::CPage> &GetPages() const { return m_pages; }
    // The group headings, in order.
    const QStringList &GetHeadings() const { return m_headings; }

    int GetPageCount() override;
    void DrawPage(QPainter &dc, const SPrintInfo &info) override;
    QString GetDocName() const override;
    int GetRecordCount() const override { return int(m_records.size()); }

    const CPrintTable &GetTable() const { return m_table; }
    const std::vector<CPrintRecord> &GetRecords() const { return m_records; }

    // The texts of the personal and the other column.
    static QString PersonalText(const CPrintRecord &record);
    static QString OtherText(const CPrintRecord &record);

private:
    void SetTable(const QString &companyName);
    void Reset();
    // Page rectangle, page number and fit of the page being drawn.
    void StartPage(QPainter &dc, const SPrintInfo &info);
    void DrawRecord(QPainter &dc, const CPrintRecord &record, const QByteArray &photo, const CPrintTable::SRect &photoCell,
                    const CPrintTable::SRect &personal, const CPrintTable::SRect &other) const;
    void DrawHeading(QPainter &dc, const CListPager::SSlot &slot) const;
    // Draws a column's text with the selected font, made smaller where it would not fit.
    void DrawColumnText(QPainter &dc, const QString &text, const CPrintTable::SRect &cell) const;
    // The smallest text height in logical units.
    int SmallestText(const QPainter &dc) const;

    CPrintTable m_table;
    std::shared_ptr<const CRegisterAsOf> m_pAsOf;
    std::vector<CPrintRecord> m_records;
    bool m_bByUnit = false;
    QStringList m_headings;
    std::vector<int> m_groupStarts; // index in m_records of each group's first
    std::vector<CListPager::CPage> m_pages;
};
