#pragma once

#include <QList>
#include <QString>

class CMast01;

// One line of the employee search list and the employee it stands for.
struct SSearchLine
{
    qint32 nID = 0;
    QString strText;
};

// Pages through the employees of a set sorted by code, a fixed number at a time.
// The set belongs to the caller and its current row moves with every page; a
// set that is missing or closed gives empty pages.
class CSearchPager final
{
public:
    explicit CSearchPager(CMast01 *pSet, int nPageSize = 10);

    // "%04d | %s": the code, a bar and the name.
    static QString FormatLine(qint32 nCode, const QString &strName);
    // Leading blanks and a sign allowed, stops at the first other character, 0 without a digit.
    static qint32 StartCodeFromText(const QString &text);

    // The page from the first employee whose code is at least nStartCode.
    void FillPage(qint32 nStartCode);
    // Both return false, leaving the page as it was, when there is nothing to show.
    bool NextPage();
    bool PrevPage();

    const QList<SSearchLine> &Lines() const { return m_lines; }
    qint32 StartCode() const { return m_nStartCode; }

private:
    bool IsUsable() const;
    // From the set's current row on, while condition holds.
    void TakeLines(const QString &condition);

    CMast01 *m_pSet;
    int m_nPageSize;
    qint32 m_nStartCode = 0;
    QList<SSearchLine> m_lines;
};
