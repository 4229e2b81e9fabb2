#pragma once

// What the backup tests share: a register with rows in it, and damage done to a file.
#include "store/daodatabase.h"
#include "store/daorecordset.h"
#include "store/mast01.h"

#include <QFile>
#include <QTest>

inline void AddEmployees(int count, const QString &name = QStringLiteral("社員"))
{
    // One transaction: a commit per row would wait for the disk each time.
    CDaoDatabase db;
    db.Open(CDaoRecordset::ApplicationDatabasePath());
    db.BeginTrans();
    CMast01 set(&db);
    set.Open();
    for (int i = 0; i < count; ++i) {
        set.AddNew();
        set.m_Code = i + 1;
        set.m_Name = name;
        set.m_Mem = QString(50, QLatin1Char('x'));
        set.Update();
    }
    set.Close();
    db.CommitTrans();
}

// Overwrites every page after the first: the file still opens, its tables do not read.
inline void Damage(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    QVERIFY(size > 8192);
    file.seek(4096);
    file.write(QByteArray(int(size - 4096), '\xa5'));
}

inline QByteArray Read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
