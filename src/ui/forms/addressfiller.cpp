#include "forms/addressfiller.h"

#include "base/modalseam.h"
#include "forms/eradateedit.h"
#include "forms/postalchoicedlg.h"
#include "postal/postalcode.h"
#include "postal/postaldirectory.h"
#include "postal/postalfill.h"

#include <QStringList>

namespace {
const QString kChoiceTitle = QStringLiteral("住所の選択");
const QString kCodeTitle = QStringLiteral("郵便番号の選択");

// Once for each place the data would be kept: a test's own settings, or the user's.
bool FirstTimeWithoutData(const CPostalDirectory &directory)
{
    static QStringList told;
    const QString path = directory.Path();
    if (told.contains(path))
        return false;
    told << path;
    return true;
}
} // namespace

QString CAddressFiller::FillFromCode(const CPostalDirectory &directory, QWidget *parent, const QString &postal,
                                     CEraDateEdit *address1)
{
    using EOutcome = CPostalFill::EOutcome;
    const CPostalFill::SResult fill = CPostalFill::ForForm(directory, postal, address1->GetFieldText());
    switch (fill.outcome) {
    case EOutcome::Nothing:
        return {};
    case EOutcome::NoData:
        return FirstTimeWithoutData(directory) ? fill.message : QString();
    case EOutcome::Unknown:
        return fill.message;
    case EOutcome::Found:
        break;
    }
    int chosen = 0;
    if (fill.addresses.size() > 1) {
        CPostalChoiceDlg choice(kChoiceTitle,
                                QStringLiteral("〒 %1 には住所が %2 つあります。選んでください。")
                                    .arg(CPostalCode::Shown(fill.code))
                                    .arg(fill.addresses.size()),
                                fill.addresses, parent);
        if (CModalSeam::Exec(choice) != QDialog::Accepted || choice.Chosen() < 0)
            return {};
        chosen = choice.Chosen();
    }
    address1->SetFieldText(fill.addresses.at(chosen));
    return QStringLiteral("〒 %1 から住所1を補いました。").arg(CPostalCode::Shown(fill.code));
}

QString CAddressFiller::OfferCodes(const CPostalDirectory &directory, QWidget *parent, CEraDateEdit *postal,
                                   CEraDateEdit *address1)
{
    const QString typed = address1->GetFieldText().trimmed();
    if (typed.isEmpty())
        return QStringLiteral("住所1を入力してから F10 キーを押すと、その住所の郵便番号を選べます。");
    if (!directory.IsLoaded())
        return CPostalDirectory::NoDataText();
    const CPostalStoreFile::SMatches matches = directory.FindByAddress(typed);
    if (matches.entries.isEmpty())
        return QStringLiteral("「%1」に当たる郵便番号は郵便番号データにありません。").arg(typed);
    QStringList items;
    for (const SPostalEntry &entry : matches.entries)
        items << CPostalCode::Shown(entry.code) + QStringLiteral("  ") + entry.Address();
    QString question = QStringLiteral("「%1」の郵便番号を選んでください。").arg(typed);
    if (matches.more > 0)
        question += QStringLiteral("（ほか %1 件は住所をもっと入力すると出ます）").arg(matches.more);
    CPostalChoiceDlg choice(kCodeTitle, question, items, parent);
    if (CModalSeam::Exec(choice) != QDialog::Accepted || choice.Chosen() < 0)
        return {};
    const SPostalEntry &entry = matches.entries.at(choice.Chosen());
    postal->SetFieldText(CPostalCode::Shown(entry.code));
    if (!matches.prefix)
        address1->SetFieldText(entry.Address());
    return QStringLiteral("〒 %1 を入れました。").arg(CPostalCode::Shown(entry.code));
}
