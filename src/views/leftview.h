#pragma once

#include <QTreeWidget>

class CMorvekDoc;
class CMorvekView;

// The organisation tree in the left pane of the company window.
class CLeftView final : public QTreeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CLeftView)

public:
    explicit CLeftView(CMorvekDoc *pDocument, QWidget *parent = nullptr);

    CMorvekDoc *GetDocument() const { return m_pDocument; }
    // Inserts the units under parentId; 0 rebuilds the companies at the top.
    void LoadChildUnits(qint32 parentId);

    // The list in the other pane; not owned.
    CMorvekView *m_pListView = nullptr;

private:
    CMorvekDoc *m_pDocument;
};
