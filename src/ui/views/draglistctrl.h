#pragma once

#include <QList>
#include <QListView>
#include <memory>

class CEmployeeDrag;
class CLeftView;
class CMorvekView;
class CUnitContentsModel;
class QTreeWidgetItem;

// The icons of the window of employees without a unit. Dragged onto a unit of
// the organisation tree, the selected employees join that unit; dropped on the
// employee list, they join the unit the list shows. Anywhere else nothing happens.
class CDragListCtrl final : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CDragListCtrl)

public:
    explicit CDragListCtrl(CUnitContentsModel *model, QWidget *parent = nullptr);
    ~CDragListCtrl() override;

    const CEmployeeDrag &GetDrag() const { return *m_pDrag; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;

private:
    void OnBeginDrag(const QModelIndex &index, const QPoint &screenPoint);
    void OnDrop(const QPoint &screenPoint);
    void DropOnTree(CLeftView *tree, QTreeWidgetItem *item);
    void DropOnList(CMorvekView *list, int beforeRow);
    // The lowest selected row, -1 when none is.
    int FirstSelectedRow() const;
    // The employees of the selected rows, top down.
    QList<qint32> SelectedIds() const;

    CUnitContentsModel *m_pModel;
    std::unique_ptr<CEmployeeDrag> m_pDrag;
    QPoint m_pressPoint;
};
