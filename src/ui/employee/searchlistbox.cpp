#include "employee/searchlistbox.h"

#include "forms/funckeydialog.h"

#include <QKeyEvent>

CSearchListBox::CSearchListBox(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

bool CSearchListBox::IsKeyForForm(int nKey)
{
    return nKey == Qt::Key_Delete || (nKey >= Qt::Key_F2 && nKey <= Qt::Key_F11);
}

bool CSearchListBox::event(QEvent *e)
{
    // The form's keys must not be taken as shortcuts elsewhere first.
    if (e->type() == QEvent::ShortcutOverride && IsKeyForForm(static_cast<QKeyEvent *>(e)->key())) {
        e->accept();
        return true;
    }
    return QListWidget::event(e);
}

void CSearchListBox::keyPressEvent(QKeyEvent *e)
{
    if (IsKeyForForm(e->key())) {
        if (auto *form = qobject_cast<CFuncKeyDialog *>(window()))
            form->OnKeyDown(e->key());
        e->accept();
        return;
    }
    // The list has no use for Escape and does not pass it on: the form is left with ｷｬﾝｾﾙ.
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QListWidget::keyPressEvent(e);
}
