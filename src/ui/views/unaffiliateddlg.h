#pragma once

#include "views/employeedrop.h"
#include "views/shownregister.h"

#include <QDialog>

class CDragListCtrl;
class CRegisterChanges;
class QKeyEvent;
class CUnitContentsModel;
struct SRegisterChange;

// The tool window of the employees without a unit: one list of faces and names,
// filling the window, in icon cells of the list's own size. It is filled
// when first needed and then kept right as the register tells of changes, here
// or elsewhere; a unit deleted or a register read in fills it afresh, keeping the
// selection and the scrolling. Closing it only hides it.
class CUnaffiliatedDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CUnaffiliatedDlg)

public:
    explicit CUnaffiliatedDlg(QWidget *parent);
    ~CUnaffiliatedDlg() override;

    void setVisible(bool visible) override;

    CUnitContentsModel *GetModel() const { return m_pModel; }
    CDragListCtrl *GetListCtrl() const { return m_pList; }

    // The employees without a unit at the end of a past day (none: today); read
    // again when the window was filled already, the day in its title.
    void SetAsOf(CShownRegister::AsOf asOf);
    const CShownRegister &Shown() const { return m_shown; }
    // Reads the employees without a unit, by code.
    void Fill();
    // Fills the window unless it was filled already.
    void EnsureFilled();
    bool IsFilled() const { return m_bFilled; }

signals:
    // The drag of its icons, as CEmployeeDragSource tells it.
    void DragMoved(const QPoint &screenPoint);
    void DragEnded();
    void EmployeesDropped(CEmployeeDrop *drop);
    // F7: the selected employees are to be moved to a unit chosen by keyboard.
    void TransferAsked();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    int WidthNeeded() const;
    bool ApplyNow(const SRegisterChange &change);
    void Apply(const CRegisterChanges &changes);

    CShownRegister m_shown;
    CUnitContentsModel *m_pModel;
    CDragListCtrl *m_pList;
    bool m_bFilled = false;
};
