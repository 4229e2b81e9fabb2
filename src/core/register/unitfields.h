#pragma once

#include <QString>

// A unit as the company and department forms show and correct it.
struct SUnitFields {
    qint32 nID = 0;
    qint32 nParent = 0;
    qint32 nCode = 0;
    QString strName;
    QString strYuu;
    QString strJuu1;
    QString strJuu2;
    QString strTel;
    QString strFax;

    bool operator==(const SUnitFields &) const = default;
};
