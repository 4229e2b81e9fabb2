#include "postal/postaltownname.h"

QString CPostalTownName::Clean(const QString &town)
{
    if (town == QStringLiteral("以下に掲載がない場合") || town.endsWith(QStringLiteral("の次に番地がくる場合")))
        return {};
    // 一円 alone is a real town's name (滋賀県犬上郡多賀町一円).
    if (town.endsWith(QStringLiteral("一円")) && town.size() > 2)
        return {};
    qsizetype open = town.indexOf(u'（');
    if (const qsizetype ascii = town.indexOf(u'('); ascii >= 0 && (open < 0 || ascii < open))
        open = ascii;
    return (open < 0 ? town : town.left(open)).trimmed();
}

bool CPostalTownName::IsOpen(const QString &town)
{
    const qsizetype opened = town.count(u'（') + town.count(u'(');
    const qsizetype closed = town.count(u'）') + town.count(u')');
    return opened > closed;
}
