#pragma once

#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <memory>

class CLeftView;
class CMorvekView;
class QAbstractItemView;
class QLabel;
class QModelIndex;
class QTreeWidgetItem;
class QWidget;

// The state of a drag of employee rows towards the organisation tree: the
// picture that follows the cursor, the mouse held by the source list, and the
// tree item under the cursor shown highlighted. With list rows as targets, the
// row of the employee list under the cursor is highlighted too.
class CEmployeeDrag final
{
public:
    enum class ETargets { tree, treeAndList };

    explicit CEmployeeDrag(QAbstractItemView *source, ETargets targets = ETargets::tree);
    ~CEmployeeDrag();
    CEmployeeDrag(const CEmployeeDrag &) = delete;
    CEmployeeDrag &operator=(const CEmployeeDrag &) = delete;

    // A picture of one row: its image and its name, on the given ground.
    static QPixmap Picture(const QModelIndex &index, const QSize &iconSize, const QFont &font,
                           const QColor &background);
    // The organisation tree that w belongs to, if any.
    static CLeftView *TreeOf(QWidget *w);
    // The employee list that w belongs to, if any.
    static CMorvekView *ListOf(QWidget *w);

    void Begin(int row, const QPixmap &picture, const QPoint &screenPoint);
    void Move(const QPoint &screenPoint);
    // Gives the mouse back and returns the widget under the point; DropItem()
    // then names the tree item there, DropRow() the list row.
    QWidget *End(const QPoint &screenPoint);
    // A refill of the list ends any drag state.
    void Reset();

    bool IsDragging() const { return m_bDragging; }
    int DragItem() const { return m_nDragItem; }
    QTreeWidgetItem *DropItem() const { return m_hDropItem; }
    int DropRow() const { return m_nDropRow; }
    bool HasImage() const { return m_pDragImage != nullptr; }

private:
    void ClearHighlight();

    QAbstractItemView *m_pSource;
    ETargets m_targets;
    int m_nDragItem = -1;
    std::unique_ptr<QLabel> m_pDragImage;
    bool m_bDragging = false;
    QTreeWidgetItem *m_hDropItem = nullptr;
    int m_nDropRow = -1;
    QPointer<QWidget> m_pDropWnd;
};
