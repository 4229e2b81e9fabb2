#pragma once

#include <QListWidget>

class CMorvekDoc;

// The list in the right pane of the company window: the contents of one unit.
class CMorvekView final : public QListWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMorvekView)

public:
    enum class EViewStyle { icon, smallIcon, list, report };

    explicit CMorvekView(CMorvekDoc *pDocument, QWidget *parent = nullptr);

    CMorvekDoc *GetDocument() const { return m_pDocument; }
    EViewStyle GetViewStyle() const { return m_nStyle; }
    void SetViewStyle(EViewStyle style);
    // Puts the icons back in rows on the grid.
    void Arrange();
    void ShowUnaffiliatedWindow();

private:
    CMorvekDoc *m_pDocument;
    EViewStyle m_nStyle = EViewStyle::icon;
};
