#pragma once

#include "views/employeedrop.h"
#include "views/unitcontentsmodel.h"

#include <QListView>
#include <QPoint>
#include <memory>
#include <vector>

class CEmployeeDrag;

// A list of units and employees whose selected employees are dragged away with
// the mouse. It knows no target: it tells where the cursor is and where the rows
// were let go, and the owner connects the views that may take them.
class CEmployeeDragSource : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEmployeeDragSource)

public:
    // The list shows model; a model without a parent becomes the list's.
    CEmployeeDragSource(CUnitContentsModel *model, QWidget *parent);
    ~CEmployeeDragSource() override;

    CUnitContentsModel *GetModel() const { return m_pModel; }
    const CEmployeeDrag &GetDrag() const { return *m_pDrag; }
    // The IDs of the selected employees, top down; unit rows are left out.
    QList<qint32> SelectedEmployeeIds() const;

signals:
    // The cursor of a drag is at screenPoint: the target under it shows where
    // the employees would go, every other target shows nothing.
    void DragMoved(const QPoint &screenPoint);
    // No target shows a place any longer.
    void DragEnded();
    // The selected employees were let go: the target under the point takes them
    // and accepts the drop, or nobody does.
    void EmployeesDropped(CEmployeeDrop *drop);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;

    // A refill of the rows ends any drag.
    void ResetDrag();
    // The selected rows, top down, each once.
    std::vector<int> SelectedRows() const;
    int RowImage(int row) const;
    // After the targets had the drop (it is not called when taking it failed).
    virtual void Dropped(const CEmployeeDrop &drop);

private:
    void OnBeginDrag(const QModelIndex &index, const QPoint &screenPoint);
    void OnDrop(const QPoint &screenPoint);

    CUnitContentsModel *m_pModel;
    std::unique_ptr<CEmployeeDrag> m_pDrag;
    QPoint m_pressPoint;
};
