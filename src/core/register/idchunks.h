#pragma once

#include "store/daodatabase.h"

#include <QList>
#include <QString>
#include <QVariantList>
#include <functional>

class CDaoStatement;

// Statements over many IDs: one statement per chunk of them, each ID bound, so
// that a change of thousands of rows is a few dozen statements, not one a row.
class CIdChunks final
{
public:
    // IDs a statement takes at a time; far below what either engine allows.
    static constexpr qsizetype kChunk = 500;

    CIdChunks() = delete;

    // The IDs once each, in the order given.
    static QList<qint32> Unique(const QList<qint32> &ids);
    // sql holds "%1" where the chunk's "?, ?, ..." go; lead binds before the IDs.
    static QList<CDaoDatabase::SBoundStatement> Statements(const QString &sql, const QVariantList &lead,
                                                           const QList<qint32> &ids);
    // Runs sql once per chunk and hands each row it gives to onRow.
    static void ForEachRow(CDaoDatabase &db, const QString &sql, const QList<qint32> &ids,
                           const std::function<void(const CDaoStatement &)> &onRow);
    // The first column of every row sql gives, run once per chunk.
    static QList<qint32> Select(CDaoDatabase &db, const QString &sql, const QList<qint32> &ids);
};
