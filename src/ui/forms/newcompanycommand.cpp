#include "forms/newcompanycommand.h"

#include "base/modalseam.h"
#include "forms/companydlg.h"
#include "store/mast00.h"

#include <QDialog>

bool CNewCompanyCommand::Run(QWidget *parent)
{
    CCompanyDlg dlg(parent);
    if (CModalSeam::Exec(dlg) != QDialog::Accepted)
        return false;
    qint32 code = 0;
    if (!CCompanyDlg::ParseCompanyCode(dlg.FieldText(CCompanyDlg::FieldCode), &code))
        return false;

    CMast00 set;
    set.Open();
    if (set.FindFirst(QStringLiteral("Code = %1").arg(code))) {
        set.Edit();
    } else {
        set.AddNew();
        set.m_Code = code;
    }
    set.m_Parent = 0;
    set.m_Name = dlg.FieldText(CCompanyDlg::FieldName);
    set.m_Yuu = dlg.FieldText(CCompanyDlg::FieldYuu);
    set.m_Juu1 = dlg.FieldText(CCompanyDlg::FieldJuu1);
    set.m_Juu2 = dlg.FieldText(CCompanyDlg::FieldJuu2);
    set.m_TEL = dlg.FieldText(CCompanyDlg::FieldTel);
    set.m_FAX = dlg.FieldText(CCompanyDlg::FieldFax);
    set.Update();
    set.Requery();
    set.Close();
    return true;
}
