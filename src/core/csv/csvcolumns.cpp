#include "csv/csvcolumns.h"

#include "csv/csvquote.h"

const QStringList &CCsvColumns::UnitHeaders()
{
    static const QStringList headers = {
        QStringLiteral("会社コード"), QStringLiteral("部課パス"), QStringLiteral("名前"), QStringLiteral("〒"),
        QStringLiteral("住所1"),      QStringLiteral("住所2"),    QStringLiteral("TEL"),  QStringLiteral("FAX"),
    };
    return headers;
}

const QStringList &CCsvColumns::EmployeeHeaders()
{
    static const QStringList headers = {
        QStringLiteral("社員コード"), QStringLiteral("氏名"),       QStringLiteral("ふりがな"),   QStringLiteral("性別"),
        QStringLiteral("生年月日"),   QStringLiteral("入社年月日"), QStringLiteral("退社年月日"), QStringLiteral("〒"),
        QStringLiteral("住所1"),      QStringLiteral("住所2"),      QStringLiteral("TEL"),        QStringLiteral("FAX"),
        QStringLiteral("所属"),       QStringLiteral("履歴"),       QStringLiteral("資格"),       QStringLiteral("備考"),
        QStringLiteral("E-mail"),     QStringLiteral("ID"),
    };
    return headers;
}

const QStringList &CCsvColumns::HistoryHeaders()
{
    static const QStringList headers = {
        QStringLiteral("日時"), QStringLiteral("発効日"), QStringLiteral("担当者"),
        QStringLiteral("内容"), QStringLiteral("対象ID"), QStringLiteral("対象"),
        QStringLiteral("項目"), QStringLiteral("変更前"), QStringLiteral("変更後"),
    };
    return headers;
}

int CCsvColumns::UnitWidth(int column)
{
    static const int widths[UnitColumnCount] = {0, 0, 60, 8, 60, 60, 16, 16};
    return column >= 0 && column < UnitColumnCount ? widths[column] : 0;
}

int CCsvColumns::EmployeeWidth(int column)
{
    static const int widths[EmployeeColumnCount] = {0, 60, 50, 0, 0, 0, 0, 8, 60, 60, 16, 16, 0, 50, 50, 60, 30, 0};
    return column >= 0 && column < EmployeeColumnCount ? widths[column] : 0;
}

QString CCsvColumns::JoinPath(const QStringList &names)
{
    QStringList escaped;
    escaped.reserve(names.size());
    for (QString name : names) {
        name.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
        name.replace(QLatin1Char('/'), QStringLiteral("\\/"));
        escaped << name;
    }
    return escaped.join(QLatin1Char('/'));
}

bool CCsvColumns::SplitPath(const QString &text, QStringList &names, QString &reason)
{
    names.clear();
    if (text.isEmpty()) {
        reason = QStringLiteral("部課パスが空です。");
        return false;
    }
    QString name;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'\\' && i + 1 < text.size()) {
            name += text.at(++i);
        } else if (c == u'/') {
            names << name;
            name.clear();
        } else {
            name += c;
        }
    }
    names << name;
    if (names.contains(QString())) {
        reason = QStringLiteral("部課パス「%1」に空の名前があります。").arg(CCsvQuote::Cell(text));
        return false;
    }
    if (names.size() > MaxDepth) {
        reason = QStringLiteral("部課パス「%1」が深すぎます（%2 階層まで）。").arg(CCsvQuote::Cell(text)).arg(MaxDepth);
        return false;
    }
    return true;
}
