#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

// One change of the register as its history keeps it.
struct SHistoryEntry {
    enum class EWhat {
        employeeAdded,
        employeeDeleted,
        employeeMoved, // into another unit, or out of any (new unit 0)
        employeeEdited,
        unitAdded,
        unitDeleted,
        unitMoved,
        unitEdited,
    };

    qint64 nSeq = 0; // the order the changes were kept in
    QDateTime when;  // local time, to the second
    QDate effective; // the day it took effect: the day of when, or a transfer's own date
    QString strWho;  // the operating-system user on a file, the database user on a server
    EWhat what = EWhat::employeeEdited;
    qint32 nTarget = 0; // the employee's or the unit's ID
    QString strField;   // the column edited (Name, Kana, ..., Pic); empty for the other kinds
    QString strOld;     // values as text; for a move, the units' paths as they stood then
    QString strNew;
    qint32 nOldUnit = 0; // a move's units (0: none); for a unit moved, its parents
    qint32 nNewUnit = 0;

    // "登録", "削除", "異動", "変更", "部署登録", "部署削除", "部署移動", "部署変更";
    // "会社登録", "会社削除" for a unit with none above it
    QString WhatText() const;
    // The edited column as the forms name it ("氏名", "写真", ...); empty when none.
    QString FieldText() const;
};
