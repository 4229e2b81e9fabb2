#include "csv/csvcolumnaliases.h"

#include "csv/csvcolumns.h"

#include <QHash>
#include <QList>
#include <algorithm>

namespace {
using SAliasTable = QList<QStringList>;

const SAliasTable &EmployeeTable()
{
    static const SAliasTable table = [] {
        SAliasTable t(CCsvColumns::EmployeeColumnCount);
        t[CCsvColumns::EmpCode] = {QStringLiteral("社員番号"), QStringLiteral("従業員番号"), QStringLiteral("従業員コード"),
                                   QStringLiteral("職員番号"), QStringLiteral("社員No"),     QStringLiteral("コード")};
        t[CCsvColumns::EmpName] = {QStringLiteral("名前"), QStringLiteral("社員名"), QStringLiteral("従業員名"),
                                   QStringLiteral("氏名(漢字)"), QStringLiteral("漢字氏名")};
        t[CCsvColumns::EmpKana] = {QStringLiteral("フリガナ"),  QStringLiteral("ﾌﾘｶﾞﾅ"),    QStringLiteral("カナ"),
                                   QStringLiteral("よみ"),      QStringLiteral("読み"),     QStringLiteral("よみがな"),
                                   QStringLiteral("ヨミ"),      QStringLiteral("カナ氏名"), QStringLiteral("氏名カナ"),
                                   QStringLiteral("氏名(カナ)")};
        t[CCsvColumns::EmpSex] = {QStringLiteral("男女"), QStringLiteral("性")};
        t[CCsvColumns::EmpSdate] = {QStringLiteral("誕生日"), QStringLiteral("生年月日(西暦)")};
        t[CCsvColumns::EmpIndat] = {QStringLiteral("入社日"), QStringLiteral("入社"), QStringLiteral("入職日"),
                                    QStringLiteral("採用日")};
        t[CCsvColumns::EmpOutdat] = {QStringLiteral("退社日"), QStringLiteral("退職日"), QStringLiteral("退職年月日"),
                                     QStringLiteral("退社"), QStringLiteral("退職")};
        t[CCsvColumns::EmpYuu] = {QStringLiteral("郵便番号"), QStringLiteral("〒番号"), QStringLiteral("郵便")};
        t[CCsvColumns::EmpJuu1] = {QStringLiteral("住所"), QStringLiteral("現住所"), QStringLiteral("住所(1)")};
        t[CCsvColumns::EmpJuu2] = {QStringLiteral("建物名"), QStringLiteral("住所(2)"), QStringLiteral("方書")};
        t[CCsvColumns::EmpTel] = {QStringLiteral("電話番号"), QStringLiteral("電話"), QStringLiteral("TEL番号"),
                                  QStringLiteral("携帯電話")};
        t[CCsvColumns::EmpFax] = {QStringLiteral("FAX番号"), QStringLiteral("ファックス"), QStringLiteral("ファクス")};
        t[CCsvColumns::EmpUnit] = {QStringLiteral("部署"),   QStringLiteral("所属部署"), QStringLiteral("部課"),
                                   QStringLiteral("部署名"), QStringLiteral("部門"),     QStringLiteral("所属部課")};
        t[CCsvColumns::EmpRire] = {QStringLiteral("経歴")};
        t[CCsvColumns::EmpSikaku] = {QStringLiteral("免許・資格"), QStringLiteral("資格・免許"), QStringLiteral("免許")};
        t[CCsvColumns::EmpMem] = {QStringLiteral("メモ"), QStringLiteral("摘要"), QStringLiteral("コメント")};
        t[CCsvColumns::EmpEmail] = {QStringLiteral("メールアドレス"), QStringLiteral("メール"), QStringLiteral("Eメール"),
                                    QStringLiteral("mail")};
        return t;
    }();
    return table;
}

const SAliasTable &UnitTable()
{
    static const SAliasTable table = [] {
        SAliasTable t(CCsvColumns::UnitColumnCount);
        t[CCsvColumns::UnitPath] = {QStringLiteral("パス"), QStringLiteral("部署パス")};
        t[CCsvColumns::UnitName] = {QStringLiteral("部課名"), QStringLiteral("部署名")};
        t[CCsvColumns::UnitYuu] = {QStringLiteral("郵便番号"), QStringLiteral("〒番号")};
        t[CCsvColumns::UnitJuu1] = {QStringLiteral("住所"), QStringLiteral("住所(1)")};
        t[CCsvColumns::UnitJuu2] = {QStringLiteral("建物名"), QStringLiteral("住所(2)")};
        t[CCsvColumns::UnitTel] = {QStringLiteral("電話番号"), QStringLiteral("電話")};
        t[CCsvColumns::UnitFax] = {QStringLiteral("FAX番号"), QStringLiteral("ファックス")};
        return t;
    }();
    return table;
}

QHash<QString, int> Index(const QStringList &headers, const SAliasTable &aliases)
{
    QHash<QString, int> index;
    for (int column = 0; column < headers.size(); ++column) {
        index.insert(CCsvColumnAliases::Folded(headers.at(column)), column);
        for (const QString &alias : aliases.at(column))
            index.insert(CCsvColumnAliases::Folded(alias), column);
    }
    return index;
}
} // namespace

QString CCsvColumnAliases::Folded(const QString &header)
{
    QString folded = header.normalized(QString::NormalizationForm_KC).toCaseFolded();
    folded.removeIf([](QChar c) { return c.isSpace() || c == u'-' || c == u'_' || c == u'・' || c == u'･'; });
    return folded;
}

int CCsvColumnAliases::EmployeeColumn(const QString &header)
{
    static const QHash<QString, int> index = Index(CCsvColumns::EmployeeHeaders(), EmployeeTable());
    return index.value(Folded(header), -1);
}

int CCsvColumnAliases::UnitColumn(const QString &header)
{
    static const QHash<QString, int> index = Index(CCsvColumns::UnitHeaders(), UnitTable());
    return index.value(Folded(header), -1);
}

const QStringList &CCsvColumnAliases::EmployeeAliases(int column)
{
    static const QStringList none;
    return column >= 0 && column < EmployeeTable().size() ? EmployeeTable().at(column) : none;
}

const QStringList &CCsvColumnAliases::UnitAliases(int column)
{
    static const QStringList none;
    return column >= 0 && column < UnitTable().size() ? UnitTable().at(column) : none;
}

const QStringList &CCsvColumnAliases::MaleTexts()
{
    static const QStringList texts = {CCsvColumns::MaleText(), QStringLiteral("男性"), QStringLiteral("M"),
                                      QStringLiteral("male"), QStringLiteral("1")};
    return texts;
}

const QStringList &CCsvColumnAliases::FemaleTexts()
{
    static const QStringList texts = {CCsvColumns::FemaleText(), QStringLiteral("女性"), QStringLiteral("F"),
                                      QStringLiteral("female"), QStringLiteral("2")};
    return texts;
}

int CCsvColumnAliases::Sex(const QString &text)
{
    const QString folded = Folded(text);
    const auto names = [&folded](const QStringList &texts) {
        return std::any_of(texts.begin(), texts.end(), [&folded](const QString &t) { return Folded(t) == folded; });
    };
    if (folded.isEmpty())
        return -1;
    return names(MaleTexts()) ? 0 : names(FemaleTexts()) ? 1 : -1;
}
