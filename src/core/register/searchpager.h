#pragma once

#include <QList>
#include <QString>
#include <memory>

class CDaoFind;
class CMast01;

// One line of the employee search list and the employee it stands for.
struct SSearchLine {
    qint32 nID = 0;
    QString strText;
};

// Pages through the employees in code order, a fixed number at a time. It reads
// the register through a set of its own, opened with the first page.
class CSearchPager final
{
public:
    explicit CSearchPager(int nPageSize = 10);
    ~CSearchPager();
    CSearchPager(const CSearchPager &) = delete;
    CSearchPager &operator=(const CSearchPager &) = delete;

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
    CMast01 &Set();
    // From the set's current row on, while find holds.
    void TakeLines(const CDaoFind &find);
    // The set on the employee of a line shown.
    bool FindLine(const SSearchLine &line);

    std::unique_ptr<CMast01> m_pSet;
    int m_nPageSize;
    qint32 m_nStartCode = 0;
    QList<SSearchLine> m_lines;
};
