#pragma once

#include <QColor>
#include <QPixmap>
#include <memory>

class QAbstractItemView;
class QLabel;
class QModelIndex;
class QWidget;

// The state of a drag of employee rows: the picture that follows the cursor and
// the mouse held by the source list. Where the rows may land is the targets' own
// business; they are told of the cursor by the source.
class CEmployeeDrag final
{
public:
    explicit CEmployeeDrag(QAbstractItemView *source);
    ~CEmployeeDrag();
    CEmployeeDrag(const CEmployeeDrag &) = delete;
    CEmployeeDrag &operator=(const CEmployeeDrag &) = delete;

    // A picture of one row: its image and its name, on the given ground.
    static QPixmap Picture(const QModelIndex &index, const QSize &iconSize, const QFont &font, const QColor &background);
    // Whether the widget under the point is view or a part of it.
    static bool IsOver(const QWidget *view, const QPoint &screenPoint);

    void Begin(int row, const QPixmap &picture, const QPoint &screenPoint);
    void Move(const QPoint &screenPoint);
    // Gives the mouse back and hides the picture.
    void End();
    // A refill of the list ends any drag state.
    void Reset();

    bool IsDragging() const { return m_bDragging; }
    int DragItem() const { return m_nDragItem; }
    bool HasImage() const { return m_pDragImage != nullptr; }

private:
    QAbstractItemView *m_pSource;
    int m_nDragItem = -1;
    std::unique_ptr<QLabel> m_pDragImage;
    bool m_bDragging = false;
};
