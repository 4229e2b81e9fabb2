#include "forms/newcompanycommand.h"

#include "base/errorreport.h"
#include "base/modalseam.h"
#include "forms/companydlg.h"
#include "register/units.h"
#include "store/daoexception.h"

#include <QDialog>

bool CNewCompanyCommand::Run(QWidget *parent)
{
    CCompanyDlg dlg(parent);
    // A write refused (the server gone, the file held by another program) opens the
    // form again with what was typed.
    for (;;) {
        if (CModalSeam::Exec(dlg) != QDialog::Accepted)
            return false;
        qint32 code = 0;
        if (!CCompanyDlg::ParseCompanyCode(dlg.FieldText(CCompanyDlg::FieldCode), &code))
            return false;
        SUnitFields company;
        company.strName = dlg.FieldText(CCompanyDlg::FieldName);
        company.strYuu = dlg.FieldText(CCompanyDlg::FieldYuu);
        company.strJuu1 = dlg.FieldText(CCompanyDlg::FieldJuu1);
        company.strJuu2 = dlg.FieldText(CCompanyDlg::FieldJuu2);
        company.strTel = dlg.FieldText(CCompanyDlg::FieldTel);
        company.strFax = dlg.FieldText(CCompanyDlg::FieldFax);
        try {
            CUnits::SaveCompany(code, company);
            return true;
        } catch (const CDaoException &error) {
            CErrorReport::Report(error);
        }
    }
}
