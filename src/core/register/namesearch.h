#pragma once

#include <QList>
#include <QString>

// One employee a search by name found, as its list shows them.
struct SNameMatch {
    qint32 nID = 0;
    qint32 nCode = 0;
    QString strName;
    QString strKana;
    qint32 nUnit = 0;
    QString strPath; // the unit's names from the company down, joined by "/"; empty without a unit
};

struct SNameSearchResult {
    QList<SNameMatch> matches;
    int nMore = 0; // matching employees beyond those listed
};

// Finds employees by any part of their name or reading, and by code or telephone
// number when the text is digits, all compared after CNameFold. Reads the register
// afresh (through its index in memory) on each call.
class CNameSearch final
{
public:
    static constexpr int kShown = 200;

    CNameSearch() = delete;

    // In code order, at most limit of them; nothing for a text that folds to nothing.
    static SNameSearchResult Find(const QString &text, int limit = kShown);
};
