#include "leftview.h"

CLeftView::CLeftView(CMorvekDoc *pDocument, QWidget *parent)
    : QTreeWidget(parent)
    , m_pDocument(pDocument)
{
    setHeaderHidden(true);
    setColumnCount(1);
}

void CLeftView::LoadChildUnits(qint32)
{
}
