#pragma once

#include <QString>

// The town field of Japan Post's file, as an address uses it.
class CPostalTownName final
{
public:
    CPostalTownName() = delete;

    // What belongs in an address: nothing for "以下に掲載がない場合", "○○の次に番地がくる場合"
    // and "○○一円" (the code names the whole city); the part before a note in
    // parentheses ("大通西（１～１９丁目）", "（次のビルを除く）", a building's "（３階）").
    static QString Clean(const QString &town);
    // A parenthesis opened and not closed: the field goes on in the next line.
    static bool IsOpen(const QString &town);
};
