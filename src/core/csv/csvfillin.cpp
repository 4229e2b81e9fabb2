#include "csv/csvfillin.h"

#include "csv/csvquote.h"
#include "kana/readingsuggester.h"
#include "postal/postalcode.h"
#include "postal/postaldirectory.h"

#include <QStringList>

CCsvFillIn::SFill CCsvFillIn::Address(const CPostalDirectory &directory, const QString &postal)
{
    // A 〒 that is no seven digits is warned of by the checks already.
    const QString code = CPostalCode::Normalize(postal);
    if (code.isEmpty())
        return {};
    QStringList addresses;
    for (const SPostalEntry &entry : directory.Find(code))
        if (!addresses.contains(entry.Address()))
            addresses << entry.Address();
    const QString shown = CPostalCode::Shown(code);
    if (addresses.isEmpty())
        return {{}, QStringLiteral("〒 %1 は郵便番号データにないため、住所1を補いませんでした。").arg(shown)};
    if (addresses.size() > 1)
        return {{},
                QStringLiteral("〒 %1 には住所が %2 つあるため、住所1を補いませんでした（%3）。")
                    .arg(shown)
                    .arg(addresses.size())
                    .arg(addresses.join(QStringLiteral("、")))};
    return {addresses.constFirst(),
            QStringLiteral("住所1を補いました（〒 %1 →「%2」）。").arg(shown, addresses.constFirst())};
}

CCsvFillIn::SFill CCsvFillIn::Reading(const CReadingSuggester &readings, const QString &name)
{
    if (name.trimmed().isEmpty())
        return {};
    const QString reading = readings.Suggest(name);
    if (reading.isEmpty())
        return {{},
                QStringLiteral("「%1」の読みがわからないため、ふりがなを補いませんでした。").arg(CCsvQuote::Cell(name))};
    return {reading, QStringLiteral("読みを補いました（「%1」）。").arg(reading)};
}
