#pragma once

#include <QString>

// One organisation unit as the tree and the lists show it.
struct SUnitRow {
    qint32 nID = 0;
    qint32 nParent = 0; // 0: a company
    qint32 nCode = 0;   // the company code, the same on every unit of a company
    QString strName;

    bool IsCompany() const { return nParent == 0; }
};
