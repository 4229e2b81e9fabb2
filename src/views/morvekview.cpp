#include "morvekview.h"

namespace {
constexpr int kLargeIcon = 32;
constexpr int kSmallIcon = 16;
} // namespace

CMorvekView::CMorvekView(CMorvekDoc *pDocument, QWidget *parent)
    : QListWidget(parent)
    , m_pDocument(pDocument)
{
    setResizeMode(QListView::Adjust);
    SetViewStyle(EViewStyle::icon);
}

void CMorvekView::SetViewStyle(EViewStyle style)
{
    m_nStyle = style;
    const bool icons = style == EViewStyle::icon || style == EViewStyle::smallIcon;
    setViewMode(style == EViewStyle::icon ? QListView::IconMode : QListView::ListMode);
    setIconSize(style == EViewStyle::icon ? QSize(kLargeIcon, kLargeIcon) : QSize(kSmallIcon, kSmallIcon));
    // Small icons run in rows, the list in columns, the report one item a line.
    setFlow(style == EViewStyle::list || style == EViewStyle::report ? QListView::TopToBottom
                                                                      : QListView::LeftToRight);
    setWrapping(style != EViewStyle::report);
    setMovement(icons ? QListView::Snap : QListView::Static);
}

void CMorvekView::Arrange()
{
    doItemsLayout();
}

void CMorvekView::ShowUnaffiliatedWindow()
{
}
