#include "register/historyentry.h"

#include <QHash>

QString SHistoryEntry::WhatText() const
{
    switch (what) {
    case EWhat::employeeAdded:
        return QStringLiteral("登録");
    case EWhat::employeeDeleted:
        return QStringLiteral("削除");
    case EWhat::employeeMoved:
        return QStringLiteral("異動");
    case EWhat::employeeEdited:
        return QStringLiteral("変更");
    // A unit with nothing above it is a company.
    case EWhat::unitAdded:
        return nNewUnit == 0 ? QStringLiteral("会社登録") : QStringLiteral("部署登録");
    case EWhat::unitDeleted:
        return nOldUnit == 0 ? QStringLiteral("会社削除") : QStringLiteral("部署削除");
    case EWhat::unitMoved:
        return QStringLiteral("部署移動");
    case EWhat::unitEdited:
        return QStringLiteral("部署変更");
    }
    return {};
}

QString SHistoryEntry::FieldText() const
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("Code"), QStringLiteral("社員コード")},  {QStringLiteral("Busyo"), QStringLiteral("所属")},
        {QStringLiteral("Sex"), QStringLiteral("性別")},         {QStringLiteral("Name"), QStringLiteral("氏名")},
        {QStringLiteral("Kana"), QStringLiteral("ふりがな")},    {QStringLiteral("Sdate"), QStringLiteral("生年月日")},
        {QStringLiteral("Indat"), QStringLiteral("入社年月日")}, {QStringLiteral("Outdat"), QStringLiteral("退社年月日")},
        {QStringLiteral("Yuu"), QStringLiteral("〒")},           {QStringLiteral("Juu1"), QStringLiteral("住所1")},
        {QStringLiteral("Juu2"), QStringLiteral("住所2")},       {QStringLiteral("TEL"), QStringLiteral("TEL")},
        {QStringLiteral("FAX"), QStringLiteral("FAX")},          {QStringLiteral("Rire"), QStringLiteral("履歴")},
        {QStringLiteral("Sikaku"), QStringLiteral("資格")},      {QStringLiteral("Mem"), QStringLiteral("備考")},
        {QStringLiteral("Email"), QStringLiteral("E-mail")},     {QStringLiteral("Pic"), QStringLiteral("写真")},
        {QStringLiteral("Parent"), QStringLiteral("上位部署")},
    };
    if (what == EWhat::unitEdited && strField == QLatin1String("Name"))
        return QStringLiteral("名前");
    return names.value(strField);
}
