#pragma once

// What the backup tests share: a register with rows in it, and damage done to a file.
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QFile>
#include <QTest>

// Employees coded from 1, each row long enough that a few hundred fill many pages.
inline void AddEmployees(int count, const QString &name = QStringLiteral("社員"))
{
    QList<CRegisterBuilder::SEmployeeRow> rows;
    for (int i = 0; i < count; ++i)
        rows.append({.code = i + 1, .name = name, .mem = QString(50, QLatin1Char('x'))});
    CRegisterBuilder::AddEmployees(rows);
}

// Overwrites every page but the schema's: the file still opens, its tables do not read.
inline void Damage(const QString &path)
{
    QVERIFY(DamageDataPages(path) > 1);
}

// Overwrites the last pages only: the units still read, the file is damaged all the same.
inline void DamageTail(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    const qint64 size = file.size();
    QVERIFY(size > 16384);
    file.seek(size - 8192);
    file.write(QByteArray(8192, '\xa5'));
}
