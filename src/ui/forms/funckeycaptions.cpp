#include "forms/funckeycaptions.h"

CFuncKeyCaptions::Set CFuncKeyCaptions::Plain()
{
    Set set;
    set[0] = QStringLiteral("HELP");
    for (size_t i = 1; i < set.size(); ++i)
        set[i] = QStringLiteral("F%1").arg(i + 1);
    return set;
}

CFuncKeyCaptions::Set CFuncKeyCaptions::Company(bool asOf)
{
    Set set = Plain();
    set[3] = QStringLiteral("基準日");
    // Nobody is moved on a past day.
    if (asOf)
        set[4] = QStringLiteral("今日");
    else
        set[6] = QStringLiteral("異動");
    set[7] = QStringLiteral("検索");
    return set;
}

CFuncKeyCaptions::Set CFuncKeyCaptions::EmployeeMaster()
{
    Set set = Plain();
    set[1] = QStringLiteral("前頁");
    set[2] = QStringLiteral("次頁");
    set[3] = QStringLiteral("変更履歴");
    set[4] = QStringLiteral("ﾓｰﾄﾞ");
    set[6] = QStringLiteral("削除");
    set[7] = QStringLiteral("検索");
    set[8] = QStringLiteral("名前");
    set[9] = QStringLiteral("住所");
    return set;
}

CFuncKeyCaptions::Set CFuncKeyCaptions::EmployeeSearch()
{
    Set set = Plain();
    set[1] = QStringLiteral("前頁");
    set[2] = QStringLiteral("次頁");
    return set;
}
