#include "views/employeedrag.h"

#include "views/leftview.h"
#include "views/morvekview.h"

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

// The view of type T that w is part of, within w's own window.
template <typename T>
T *ViewOf(QWidget *w)
{
    for (; w; w = w->parentWidget()) {
        if (auto *view = qobject_cast<T *>(w))
            return view;
        if (w->isWindow())
            break;
    }
    return nullptr;
}
} // namespace

CEmployeeDrag::CEmployeeDrag(QAbstractItemView *source, ETargets targets)
    : m_pSource(source)
    , m_targets(targets)
{
}

CEmployeeDrag::~CEmployeeDrag() = default;

QPixmap CEmployeeDrag::Picture(const QModelIndex &index, const QSize &iconSize, const QFont &font,
                               const QColor &background)
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

CLeftView *CEmployeeDrag::TreeOf(QWidget *w)
{
    return ViewOf<CLeftView>(w);
}

CMorvekView *CEmployeeDrag::ListOf(QWidget *w)
{
    return ViewOf<CMorvekView>(w);
}

void CEmployeeDrag::Begin(int row, const QPixmap &picture, const QPoint &screenPoint)
{
    m_nDragItem = row;
    m_pDragImage = std::make_unique<QLabel>(nullptr, Qt::ToolTip | Qt::FramelessWindowHint
                                                         | Qt::WindowTransparentForInput
                                                         | Qt::WindowDoesNotAcceptFocus);
    m_pDragImage->setAttribute(Qt::WA_ShowWithoutActivating);
    m_pDragImage->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_pDragImage->setPixmap(picture);
    m_pDragImage->resize(picture.size());
    m_pDragImage->move(screenPoint + kPictureOffset);
    m_pDragImage->show();
    m_bDragging = true;
    m_hDropItem = nullptr;
    m_nDropRow = -1;
    m_pDropWnd = m_pSource;
    m_pSource->viewport()->grabMouse();
}

void CEmployeeDrag::Move(const QPoint &screenPoint)
{
    if (!m_bDragging)
        return;
    if (m_pDragImage)
        m_pDragImage->move(screenPoint + kPictureOffset);
    QWidget *w = QApplication::widgetAt(screenPoint);
    if (w != m_pDropWnd && (m_hDropItem || m_nDropRow >= 0))
        ClearHighlight();
    m_pDropWnd = w;
    if (CLeftView *tree = TreeOf(w)) {
        m_hDropItem = tree->itemAt(tree->viewport()->mapFromGlobal(screenPoint));
        tree->SetDropHighlight(m_hDropItem);
    } else if (CMorvekView *list = m_targets == ETargets::treeAndList ? ListOf(w) : nullptr) {
        m_nDropRow = list->indexAt(list->viewport()->mapFromGlobal(screenPoint)).row();
        list->SetDropHighlight(m_nDropRow);
    }
}

QWidget *CEmployeeDrag::End(const QPoint &screenPoint)
{
    // The button may come up where the last move did not reach.
    Move(screenPoint);
    m_pSource->viewport()->releaseMouse();
    m_bDragging = false;
    if (m_pDragImage)
        m_pDragImage->hide();
    return m_pDropWnd;
}

void CEmployeeDrag::Reset()
{
    if (m_bDragging)
        m_pSource->viewport()->releaseMouse();
    ClearHighlight();
    m_pDragImage.reset();
    m_bDragging = false;
}

void CEmployeeDrag::ClearHighlight()
{
    if (CLeftView *tree = TreeOf(m_pDropWnd))
        tree->SetDropHighlight(nullptr);
    if (CMorvekView *list = m_nDropRow >= 0 ? ListOf(m_pDropWnd) : nullptr)
        list->SetDropHighlight(-1);
    m_hDropItem = nullptr;
    m_nDropRow = -1;
}
