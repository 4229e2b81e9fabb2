#pragma once

#include <QString>
#include <QtGlobal>

// What the text of one import may hold in memory, counted as it is read: each cell and
// its place in its row, and a workbook's shared strings. The count follows what the
// file holds, not what it claims, so a file past it is refused before memory runs out.
class CReadBudget final
{
public:
    // With the file itself and the checks after it, an import stays within 400 MB.
    static constexpr qint64 DefaultBytes = qint64(288) << 20;
    // Excel's own limit for one cell.
    static constexpr qsizetype MaxCellLength = 32767;

    explicit CReadBudget(qint64 bytes = DefaultBytes)
        : m_limit(bytes)
    {
    }

    // A text of that many UTF-16 units as one cell of a row: its place in the list and,
    // when not empty, its block with the allocator's overhead.
    static qint64 CellCost(qsizetype units) { return units == 0 ? 24 : 24 + 40 + 2 * qint64(units); }
    // A row's own list and record, and the row the checks plan from it (about 560 bytes,
    // whatever its cells hold).
    static qint64 RowCost() { return 656; }

    // False once what was charged passes the limit.
    bool Charge(qint64 bytes)
    {
        m_used += bytes;
        return m_used <= m_limit;
    }
    qint64 Used() const { return m_used; }
    // The refusal, naming the file as shown when given.
    QString Refusal(const QString &shown = {}) const
    {
        return QStringLiteral("%1大きすぎます（読み込むとメモリを %2 MB 以上使います）。"
                              "ファイルを分けて読み込んでください。")
            .arg(shown.isEmpty() ? QStringLiteral("ファイルが") : shown + QStringLiteral(" は"))
            .arg(m_limit >> 20);
    }

private:
    qint64 m_limit;
    qint64 m_used = 0;
};
