#pragma once

#include "views/employeedragsource.h"

// The icons of the window of employees without a unit. The selected employees
// are dragged onto a unit of the organisation tree or into the employee list;
// the icons leave once a target took them.
class CDragListCtrl final : public CEmployeeDragSource
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CDragListCtrl)

public:
    explicit CDragListCtrl(CUnitContentsModel *model, QWidget *parent = nullptr);
    ~CDragListCtrl() override;

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void Dropped(const CEmployeeDrop &drop) override;
};
