#pragma once

#include <QList>

class CLeftView;
class QWidget;

// 社員の異動: the employees chosen move to a unit chosen by keyboard from the day
// typed as their 異動日 (today unless changed); the tree then shows that unit.
class CTransferCommand final
{
public:
    CTransferCommand() = delete;

    // False when nobody moved (none chosen, cancelled, refused).
    static bool Run(const QList<qint32> &employeeIds, CLeftView *tree, QWidget *parent);
};
