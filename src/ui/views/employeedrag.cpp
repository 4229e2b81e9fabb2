#include "views/employeedrag.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPainter>

namespace {
// The picture sits beside the cursor, never under it, so that it never stands
// for the window a drop lands on.
constexpr QPoint kPictureOffset(8, 8);
constexpr int kGap = 4;
} // namespace

CEmployeeDrag::CEmployeeDrag(QAbstractItemView *source)
    : m_pSource(source)
{
}

CEmployeeDrag::~CEmployeeDrag() = default;

QPixmap CEmployeeDrag::Picture(const QModelIndex &index, const QSize &iconSize, const QFont &font, const QColor &background)
{
    const QString name = index.data(Qt::DisplayRole).toString();
    const QFontMetrics metrics(font);
    const QSize size(iconSize.width() + kGap + metrics.horizontalAdvance(name) + kGap,
                     qMax(iconSize.height(), metrics.height()));
    QPixmap picture(size);
    // Opaque: without a compositor a see-through window shows black where it is clear.
    picture.fill(background);
    QPainter painter(&picture);
    painter.setFont(font);
    index.data(Qt::DecorationRole).value<QIcon>().paint(&painter, QRect(QPoint(0, 0), iconSize));
    painter.drawText(QRect(iconSize.width() + kGap, 0, size.width(), size.height()), Qt::AlignVCenter, name);
    return picture;
}

bool CEmployeeDrag::IsOver(const QWidget *view, const QPoint &screenPoint)
{
    // Within the window under the point only: a view is never part of another window.
    for (const QWidget *w = QApplication::widgetAt(screenPoint); w; w = w->parentWidget()) {
        if (w == view)
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

void CEmployeeDrag::Begin(int row, const QPixmap &picture, const QPoint &screenPoint)
{
    m_nDragItem = row;
    m_pDragImage = std::make_unique<QLabel>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowTransparentForInput
                                                         | Qt::WindowDoesNotAcceptFocus);
    m_pDragImage->setAttribute(Qt::WA_ShowWithoutActivating);
    m_pDragImage->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pDragImage->setPixmap(picture);
    m_pDragImage->resize(picture.size());
    m_pDragImage->move(screenPoint + kPictureOffset);
    m_pDragImage->show();
    m_bDragging = true;
    m_pSource->viewport()->grabMouse();
}

void CEmployeeDrag::Move(const QPoint &screenPoint)
{
    if (m_bDragging && m_pDragImage)
        m_pDragImage->move(screenPoint + kPictureOffset);
}

void CEmployeeDrag::End()
{
    if (m_bDragging)
        m_pSource->viewport()->releaseMouse();
    m_bDragging = false;
    if (m_pDragImage)
        m_pDragImage->hide();
}

void CEmployeeDrag::Reset()
{
    End();
    m_pDragImage.reset();
}
