#include "postal/postalfill.h"

#include "postal/postalcode.h"
#include "postal/postaldirectory.h"

QString CPostalFill::UnknownText(const QString &code)
{
    return QStringLiteral("〒 %1 は郵便番号データにありません。").arg(CPostalCode::Shown(code));
}

CPostalFill::SResult CPostalFill::ForForm(const CPostalDirectory &directory, const QString &postal, const QString &address1)
{
    SResult result;
    result.code = CPostalCode::Normalize(postal);
    if (result.code.isEmpty() || !address1.trimmed().isEmpty())
        return result;
    if (!directory.IsLoaded()) {
        result.outcome = EOutcome::NoData;
        result.message = CPostalDirectory::NoDataText();
        return result;
    }
    for (const SPostalEntry &entry : directory.Find(result.code))
        if (!result.addresses.contains(entry.Address()))
            result.addresses << entry.Address();
    result.outcome = result.addresses.isEmpty() ? EOutcome::Unknown : EOutcome::Found;
    if (result.addresses.isEmpty())
        result.message = UnknownText(result.code);
    return result;
}
