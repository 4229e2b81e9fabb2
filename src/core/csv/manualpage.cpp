#include "csv/manualpage.h"

#include "csv/commandline.h"

#include <QStringList>

namespace {
// troff reads a leading dot or quote as a request, and a backslash as an escape.
QString Escaped(QString text)
{
    text.replace(QLatin1Char('\\'), QStringLiteral("\\e"));
    text.replace(QLatin1Char('-'), QStringLiteral("\\-"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
        text.prepend(QStringLiteral("\\&"));
    return text;
}

QString OptionItem(const CCommandLine::SOption &option, bool japanese)
{
    QStringList names;
    for (const QString &name : option.names)
        names << QStringLiteral("\\fB") + Escaped((name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name)
                     + QStringLiteral("\\fR");
    QString head = names.join(QStringLiteral(", "));
    if (!option.valueName.isEmpty())
        head += QStringLiteral(" \\fI") + Escaped(japanese ? option.valueName : option.valueNameEnglish)
              + QStringLiteral("\\fR");
    return QStringLiteral(".TP\n") + head + QLatin1Char('\n') + Escaped(japanese ? option.japanese : option.english)
         + QLatin1Char('\n');
}

struct SText {
    const char *name, *synopsisHead, *description, *options, *files, *environment, *exitStatus;
    const char *nameLine, *descriptionText, *filesText, *environmentText, *exitText;
};

const SText kEnglish = {
    "NAME",
    "SYNOPSIS",
    "DESCRIPTION",
    "OPTIONS",
    "FILES",
    "ENVIRONMENT",
    "EXIT STATUS",
    "morvek \\- staff register for one company (Japanese user interface)",
    "Morvek keeps a company's organisation (the company and its departments as a tree) and its employees "
    "in one database file, odata.mdb by default, or on a PostgreSQL server. Without options it opens its "
    "window; the CSV commands below run without a window or a display.",
    ".TP\n\\fIodata.mdb\\fR\nThe register, in the working folder unless the settings name another.\n"
    ".TP\n\\fItmp.mvk\\fR\nThe layout of the printed business card.\n"
    ".TP\n\\fI~/.config/Kelbrotane soft/Morvek.conf\\fR\nThe settings; Database/Path names the register.\n"
    ".TP\n\\fI~/.config/Kelbrotane soft/MorvekPostal.dat\\fR\nThe postal code data \\fB\\-\\-import\\-postal\\fR "
    "loaded, which fills addresses from postal codes.\n",
    ".TP\n\\fBDISPLAY\\fR, \\fBWAYLAND_DISPLAY\\fR, \\fBQT_QPA_PLATFORM\\fR\n"
    "Where the window shows; without any of them only the commands that need no window run.\n",
    ".TP\n0\nSuccess.\n.TP\n1\nFailure; nothing was written.\n.TP\n2\nWrong arguments.\n",
};

const SText kJapanese = {
    "名前",
    "書式",
    "説明",
    "オプション",
    "ファイル",
    "環境変数",
    "終了ステータス",
    "morvek \\- 一つの会社の社員台帳",
    "会社と部課の組織を木として、社員とその日付・住所・顔写真を一つのデータベースファイル（既定は odata.mdb）"
    "または PostgreSQL サーバーに保存します。引数がなければ画面を開きます。CSV のコマンドは画面なしで動きます。",
    ".TP\n\\fIodata.mdb\\fR\n台帳のデータベース。設定で別のものを指定しない限り作業フォルダにあります。\n"
    ".TP\n\\fItmp.mvk\\fR\n印刷する名刺のレイアウト。\n"
    ".TP\n\\fI~/.config/Kelbrotane soft/Morvek.conf\\fR\n設定。Database/Path が使うデータベースです。\n"
    ".TP\n\\fI~/.config/Kelbrotane soft/MorvekPostal.dat\\fR\n\\fB\\-\\-import\\-postal\\fR "
    "で読み込んだ郵便番号データ。〒から住所を補います。\n",
    ".TP\n\\fBDISPLAY\\fR, \\fBWAYLAND_DISPLAY\\fR, \\fBQT_QPA_PLATFORM\\fR\n"
    "画面の表示先。どれもなければ、画面の要らないコマンドだけが動きます。\n",
    ".TP\n0\n成功。\n.TP\n1\n失敗。何も書き込んでいません。\n.TP\n2\n引数の誤り。\n",
};
} // namespace

QString CManualPage::Render(ELanguage language, const QString &date)
{
    const bool japanese = language == ELanguage::japanese;
    const SText &t = japanese ? kJapanese : kEnglish;
    const auto section = [](const char *name) {
        return QStringLiteral(".SH ") + QString::fromUtf8(name) + QLatin1Char('\n');
    };
    QString page = QStringLiteral(".TH MORVEK 1 \"%1\" \"Morvek %2\" \"%3\"\n")
                       .arg(date, QStringLiteral(MORVEK_VERSION),
                            japanese ? QStringLiteral("ユーザーコマンド") : QStringLiteral("User Commands"));
    page += section(t.name) + QString::fromUtf8(t.nameLine) + QLatin1Char('\n');
    page += section(t.synopsisHead);
    const QString importChoices =
        QStringLiteral("[\\fB\\-\\-skip\\-existing\\fR] [\\fB\\-\\-create\\-units\\fR] [\\fB\\-\\-company\\fR \\fI%1\\fR] "
                       "[\\fB\\-\\-keep\\-numbers\\fR] [\\fB\\-\\-fill\\-addresses\\fR] "
                       "[\\fB\\-\\-fill\\-readings\\fR] [\\fB\\-\\-database\\fR \\fI%2\\fR]\n")
            .arg(japanese ? QStringLiteral("会社名") : QStringLiteral("NAME"),
                 japanese ? QStringLiteral("ファイル") : QStringLiteral("FILE"));
    page += QStringLiteral(".B morvek\n.br\n.B morvek \\-\\-export\\-csv\n.I %1\n[\\fB\\-\\-encoding\\fR \\fIcp932\\fR] "
                           "[\\fB\\-\\-database\\fR \\fI%2\\fR]\n.br\n.B morvek \\-\\-import\\-csv\n.I %1\n")
                .arg(japanese ? QStringLiteral("フォルダ") : QStringLiteral("FOLDER"),
                     japanese ? QStringLiteral("ファイル") : QStringLiteral("FILE"))
          + importChoices
          + QStringLiteral(".br\n.B morvek \\-\\-export\\-xlsx\n.I %1\n[\\fB\\-\\-date\\-form\\fR "
                           "\\fIera\\fR|\\fIiso\\fR] [\\fB\\-\\-database\\fR \\fI%1\\fR]\n")
                .arg(japanese ? QStringLiteral("ファイル") : QStringLiteral("FILE"))
          + QStringLiteral(".br\n.B morvek \\-\\-import\\-xlsx\n.I %1\n")
                .arg(japanese ? QStringLiteral("ファイル") : QStringLiteral("FILE"))
          + importChoices
          + QStringLiteral(".br\n.B morvek \\-\\-import\\-photos\n.I %1\n[\\fB\\-\\-database\\fR \\fI%2\\fR]\n")
                .arg(japanese ? QStringLiteral("フォルダ") : QStringLiteral("FOLDER"),
                     japanese ? QStringLiteral("ファイル") : QStringLiteral("FILE"))
          + QStringLiteral(".br\n.B morvek \\-\\-import\\-postal\n.I %1\n")
                .arg(japanese ? QStringLiteral("ファイル") : QStringLiteral("FILE"))
          + QStringLiteral(".br\n.B morvek \\-\\-org\\-chart\n.I %1\n[\\fB\\-\\-unit\\fR \\fI%2\\fR] "
                           "[\\fB\\-\\-as\\-of\\fR \\fI%3\\fR] [\\fB\\-\\-faces\\fR] "
                           "[\\fB\\-\\-database\\fR \\fI%4\\fR]\n")
                .arg(japanese ? QStringLiteral("ファイル.pdf|.svg|.png") : QStringLiteral("FILE.pdf|.svg|.png"),
                     japanese ? QStringLiteral("部課") : QStringLiteral("UNIT"),
                     japanese ? QStringLiteral("日付") : QStringLiteral("DATE"),
                     japanese ? QStringLiteral("ファイル") : QStringLiteral("FILE"))
          + QStringLiteral(".br\n.B morvek \\-\\-figures\n.I %1\n[\\fB\\-\\-unit\\fR \\fI%2\\fR] "
                           "[\\fB\\-\\-as\\-of\\fR \\fI%3\\fR] [\\fB\\-\\-database\\fR \\fI%4\\fR]\n")
                .arg(japanese ? QStringLiteral("フォルダ") : QStringLiteral("FOLDER"),
                     japanese ? QStringLiteral("部課") : QStringLiteral("UNIT"),
                     japanese ? QStringLiteral("日付") : QStringLiteral("DATE"),
                     japanese ? QStringLiteral("ファイル") : QStringLiteral("FILE"));
    page += section(t.description) + QString::fromUtf8(t.descriptionText) + QLatin1Char('\n');
    page += section(t.options);
    for (const CCommandLine::SOption &option : CCommandLine::Options())
        page += OptionItem(option, japanese);
    page += section(t.exitStatus) + QString::fromUtf8(t.exitText);
    page += section(t.environment) + QString::fromUtf8(t.environmentText);
    page += section(t.files) + QString::fromUtf8(t.filesText);
    return page;
}
