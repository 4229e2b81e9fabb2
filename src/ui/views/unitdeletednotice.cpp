#include "views/unitdeletednotice.h"

#include "base/modalseam.h"

#include <QMessageBox>

void CUnitDeletedNotice::Tell(QWidget *parent)
{
    MorvekMessageBox(QStringLiteral("この部課は他のユーザーが削除しました。"), QMessageBox::Ok, QMessageBox::Information,
                     QString(), parent);
}
