#include "register/uniteditor.h"

#include "register/historywriter.h"
#include "register/registertransaction.h"
#include "store/daoexception.h"
#include "store/daorecordset.h"
#include "store/mast00.h"

namespace {
bool SameAddress(const SUnitFields &a, const SUnitFields &b)
{
    return a.strName == b.strName && a.strYuu == b.strYuu && a.strJuu1 == b.strJuu1 && a.strJuu2 == b.strJuu2
        && a.strTel == b.strTel && a.strFax == b.strFax;
}
} // namespace

CUnitEditor::CUnitEditor(qint32 id)
    : m_pUnits(std::make_unique<CMast00>())
{
    m_pUnits->Open();
    m_bThere = m_pUnits->FindById(id);
    if (m_bThere)
        TakeRow();
}

CUnitEditor::~CUnitEditor() = default;

void CUnitEditor::TakeRow()
{
    const CMast00 &units = *m_pUnits;
    m_fields = {units.m_ID,   units.m_Parent, units.m_Code, units.m_Name, units.m_Yuu,
                units.m_Juu1, units.m_Juu2,   units.m_TEL,  units.m_FAX};
}

void CUnitEditor::Write(const SUnitFields &fields)
{
    if (!m_bThere || SameAddress(fields, m_fields))
        return;
    const CDaoRecordset::SReadRow shown = m_pUnits->KeepRead();
    try {
        CRegisterTransaction transaction;
        CMast00 &units = *m_pUnits;
        CHistoryWriter history(transaction.Database());
        const CHistoryWriter::SSnapshot before = CHistoryWriter::ReadUnits(transaction.Database(), {m_fields.nID});
        units.Edit();
        units.m_Name = fields.strName;
        units.m_Yuu = fields.strYuu;
        units.m_Juu1 = fields.strJuu1;
        units.m_Juu2 = fields.strJuu2;
        units.m_TEL = fields.strTel;
        units.m_FAX = fields.strFax;
        units.Update();
        history.UnitsEdited(before, CHistoryWriter::ReadUnits(transaction.Database(), {m_fields.nID}));
        transaction.Note({SRegisterChange::EKind::unitChanged, {m_fields.nID}, m_fields.nParent});
        transaction.Commit();
    } catch (const CDaoException &error) {
        // Rolled back by now. After a conflict the form shows the unit as the register
        // holds it; after any other failure what it showed, which a retry is guarded by.
        if (!error.IsConflict())
            m_pUnits->PutBack(shown);
        TakeRow();
        throw;
    } catch (...) {
        m_pUnits->PutBack(shown);
        TakeRow();
        throw;
    }
    TakeRow();
}
