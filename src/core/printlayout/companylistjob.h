#pragma once

#include "printlayout/printjob.h"
#include "printlayout/printtable.h"
#include "register/printrecord.h"

#include <vector>

// The employee list of a whole company, "社員一覧表": six employees a page with
// photo, personal data and the rest.
class CCompanyListJob final : public CPrintJob
{
public:
    CCompanyListJob();

    // Gathers every employee of the company above unitId; false, with an empty
    // job, when that unit is gone.
    bool PrepareCompanyPrintJob(qint32 unitId);
    void DrawCompanyListPage(QPainter &dc, const SPrintInfo &info);

    int GetPageCount() override;
    void DrawPage(QPainter &dc, const SPrintInfo &info) override { DrawCompanyListPage(dc, info); }
    QString GetDocName() const override;
    int GetRecordCount() const override { return int(m_records.size()); }

    const CPrintTable &GetTable() const { return m_table; }
    const std::vector<CPrintRecord> &GetRecords() const { return m_records; }

    // The texts of the personal and the other column.
    static QString PersonalText(const CPrintRecord &record);
    static QString OtherText(const CPrintRecord &record);

private:
    void SetTable(const QString &companyName);
    // Draws a column's text with the selected font, made smaller where it would not fit.
    void DrawColumnText(QPainter &dc, const QString &text, const CPrintTable::SRect &cell) const;

    CPrintTable m_table;
    std::vector<CPrintRecord> m_records;
};
