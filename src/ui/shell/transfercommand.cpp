#include "shell/transfercommand.h"

#include "base/errorreport.h"
#include "base/modalseam.h"
#include "register/employees.h"
#include "store/daoexception.h"
#include "views/busyindicator.h"
#include "views/leftview.h"
#include "views/transferdlg.h"
#include "views/unitdeletednotice.h"

namespace {
const QString kTitle = QStringLiteral("社員の異動");
const QString kNoneChosen = QStringLiteral("異動する社員を一覧で選択してから実行してください。");
} // namespace

bool CTransferCommand::Run(const QList<qint32> &employeeIds, CLeftView *tree, QWidget *parent)
{
    if (!tree || tree->Shown().RefuseEdit(parent))
        return false;
    if (employeeIds.isEmpty()) {
        MorvekMessageBox(kNoneChosen, QMessageBox::Ok, QMessageBox::Information, kTitle, parent);
        return false;
    }
    CTransferDlg dlg(int(employeeIds.size()), parent);
    dlg.SetUnit(CLeftView::UnitId(tree->currentItem()));
    CEmployees::EMove result = CEmployees::EMove::moved;
    // A move refused (the server gone, the file held by another program) opens the
    // form again with the unit and day chosen.
    for (bool done = false; !done;) {
        if (CModalSeam::Exec(dlg) != QDialog::Accepted)
            return false;
        try {
            CBusyIndicator busy(employeeIds.size() > 1 ? 0 : CBusyIndicator::kDelay);
            busy.Pulse();
            result = CEmployees::Move(employeeIds, dlg.Unit(), nullptr, dlg.Effective());
            done = true;
        } catch (const CDaoException &error) {
            CErrorReport::Report(error);
        }
    }
    if (result == CEmployees::EMove::unitGone) {
        CUnitDeletedNotice::Tell(parent);
        return false;
    }
    if (result == CEmployees::EMove::badDate) {
        MorvekMessageBox(CEmployees::EffectiveDateProblem(dlg.Effective()), QMessageBox::Ok, QMessageBox::Critical, kTitle,
                         parent);
        return false;
    }
    // Where they went is shown, as after a drop onto the tree.
    tree->RevealUnit(dlg.Unit());
    return true;
}
