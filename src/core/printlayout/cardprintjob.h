#pragma once

#include "printlayout/cardsheet.h"
#include "printlayout/printjob.h"
#include "printlayout/printtable.h"
#include "register/printrecord.h"

#include <memory>
#include <vector>

class CCardField;
class CMorvekDoc;
class CRegisterAsOf;

// Business cards of chosen employees: one employee a page, ten cards in two
// columns of five, laid out by the company document's fields. Photos go under
// the text, so no text field is ever hidden.
class CCardPrintJob final : public CPrintJob
{
public:
    // The layout is read when a page is drawn; pDocument may be none (no fields).
    explicit CCardPrintJob(const CMorvekDoc *pDocument);

    // The table as cards have it; its subtitle, never drawn, is the first unit's name.
    void SetCardPrintHeader();
    // The cards added next show the employees as they stood then; none: as they are.
    void SetAsOf(std::shared_ptr<const CRegisterAsOf> asOf) { m_pAsOf = std::move(asOf); }
    // Appends the employee's card; false, appending nothing, when the employee is gone.
    bool AddCardRecord(qint32 employeeId);
    void Clear();
    void DrawCardPage(QPainter &dc, const SPrintInfo &info);

    int GetPageCount() override;
    void DrawPage(QPainter &dc, const SPrintInfo &info) override { DrawCardPage(dc, info); }
    QString GetDocName() const override;
    int GetRecordCount() const override { return int(m_records.size()); }

    const std::vector<CPrintRecord> &GetRecords() const { return m_records; }
    // The text a field number shows; empty for a number outside 0..7.
    static QString FieldText(const CPrintRecord &record, int field);
    // Where the cards go on the paper.
    void SetSheet(const CCardSheet &sheet) { m_sheet = sheet; }
    const CCardSheet &GetSheet() const { return m_sheet; }
    // The box a photo field gives its photo inside a card, table units from the
    // card's corner: its width is the field's height and its height the field's
    // width, cut at the card's edges.
    static QRect PhotoBox(const CCardField &field, QSize card);

private:
    void SetTable();
    void DrawCard(QPainter &dc, const CPrintRecord &record, const QByteArray &photo, const QRect &cell);
    void DrawCutMarks(QPainter &dc, const std::vector<QRect> &cells, const QRect &printable);

    const CMorvekDoc *m_pDocument;
    CPrintTable m_table;
    std::vector<CPrintRecord> m_records;
    CCardSheet m_sheet;
    std::shared_ptr<const CRegisterAsOf> m_pAsOf;
};
