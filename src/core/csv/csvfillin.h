#pragma once

#include <QString>

class CPostalDirectory;
class CReadingSuggester;

// What an import puts in an empty cell when asked to: 住所1 from the 〒, ふりがな from
// the 氏名. Each value is told, so that nobody keeps a guess unseen.
class CCsvFillIn final
{
public:
    struct SFill {
        QString value;   // empty when nothing is filled
        QString warning; // what the row is told; may come without a value
    };

    CCsvFillIn() = delete;

    // One town for the code fills; several fill nothing and are named.
    static SFill Address(const CPostalDirectory &directory, const QString &postal);
    static SFill Reading(const CReadingSuggester &readings, const QString &name);
};
