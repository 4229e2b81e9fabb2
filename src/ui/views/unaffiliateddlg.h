#pragma once

#include <QDialog>

class CDragListCtrl;
class CUnitContentsModel;

// The tool window of the employees without a unit (template 140). The list
// view that owns it fills it; closing it only hides it, rows and all.
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

private:
    CUnitContentsModel *m_pModel;
    CDragListCtrl *m_pList;
};
