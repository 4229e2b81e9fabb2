#include "csv/commandline.h"

#include "csv/csvdate.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {
QString Dashed(const QString &name)
{
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

QString Synopsis(const CCommandLine::SOption &option)
{
    QStringList names;
    for (const QString &name : option.names)
        names << Dashed(name);
    QString text = names.join(QStringLiteral(", "));
    if (!option.valueName.isEmpty())
        text += QLatin1Char(' ') + option.valueName;
    return text;
}

const QString kExport = QStringLiteral("export-csv");
const QString kImport = QStringLiteral("import-csv");
const QString kPhotos = QStringLiteral("import-photos");
const QString kExportXlsx = QStringLiteral("export-xlsx");
const QString kImportXlsx = QStringLiteral("import-xlsx");
const QString kDateForm = QStringLiteral("date-form");
const QString kEncoding = QStringLiteral("encoding");
const QString kSkip = QStringLiteral("skip-existing");
const QString kCreateUnits = QStringLiteral("create-units");
const QString kMap = QStringLiteral("map");
const QString kCompany = QStringLiteral("company");
const QString kKeepNumbers = QStringLiteral("keep-numbers");
const QString kDatabase = QStringLiteral("database");
const QString kPostal = QStringLiteral("import-postal");
const QString kFillAddresses = QStringLiteral("fill-addresses");
const QString kFillReadings = QStringLiteral("fill-readings");
const QString kOrgChart = QStringLiteral("org-chart");
const QString kFigures = QStringLiteral("figures");
const QString kUnit = QStringLiteral("unit");
const QString kAsOf = QStringLiteral("as-of");
const QString kFaces = QStringLiteral("faces");
const QString kHelp = QStringLiteral("help");
const QString kVersion = QStringLiteral("version");

// Qt's own options for the window program pass through untouched.
QStringList WithoutQtOptions(const QStringList &arguments)
{
    static const QStringList withValue = {QStringLiteral("platform"),
                                          QStringLiteral("platformpluginpath"),
                                          QStringLiteral("platformtheme"),
                                          QStringLiteral("plugin"),
                                          QStringLiteral("qwindowgeometry"),
                                          QStringLiteral("qwindowicon"),
                                          QStringLiteral("qwindowtitle"),
                                          QStringLiteral("session"),
                                          QStringLiteral("style"),
                                          QStringLiteral("stylesheet"),
                                          QStringLiteral("display"),
                                          QStringLiteral("geometry"),
                                          QStringLiteral("name"),
                                          QStringLiteral("title"),
                                          QStringLiteral("visual")};
    static const QStringList flags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
                                      QStringLiteral("dograb"), QStringLiteral("sync")};
    QStringList kept;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString name = arguments.at(i);
        if (i == 0 || !name.startsWith(QLatin1Char('-'))) {
            kept << name;
            continue;
        }
        name.remove(0, name.startsWith(QStringLiteral("--")) ? 2 : 1);
        if (withValue.contains(name) && i + 1 < arguments.size())
            ++i;
        else if (!flags.contains(name) && !name.startsWith(QStringLiteral("qmljsdebugger=")))
            kept << arguments.at(i);
    }
    return kept;
}
} // namespace

const QList<CCommandLine::SOption> &CCommandLine::Options()
{
    static const QList<SOption> options = {
        {{kExport},
         QStringLiteral("フォルダ"),
         QStringLiteral("FOLDER"),
         QStringLiteral("部課.csv と 社員.csv、変更履歴.csv をフォルダに書き出します。画面は開きません。"),
         QStringLiteral("Write 部課.csv (units), 社員.csv (employees) and 変更履歴.csv (the change history) into the "
                        "folder, without a window.")},
        {{kImport},
         QStringLiteral("フォルダ"),
         QStringLiteral("FOLDER"),
         QStringLiteral(
             "フォルダの 部課.csv と 社員.csv を読み込みます。取り込めない行が一つでもあれば何も書き込みません。"),
         QStringLiteral("Read 部課.csv and 社員.csv from the folder, without a window; "
                        "with any refused row nothing is written.")},
        {{kExportXlsx},
         QStringLiteral("ファイル"),
         QStringLiteral("FILE"),
         QStringLiteral("部課と社員、変更履歴を Excel ブック（.xlsx、シート 部課、社員、変更履歴）に書き出します。"),
         QStringLiteral("Write the units, employees and change history into an Excel workbook (.xlsx, sheets 部課, "
                        "社員 and 変更履歴).")},
        {{kImportXlsx},
         QStringLiteral("ファイル"),
         QStringLiteral("FILE"),
         QStringLiteral("Excel ブックのシート 部課 と 社員 を CSV と同じように読み込みます。"
                        "取り込めない行が一つでもあれば何も書き込みません。"),
         QStringLiteral("Read the sheets 部課 and 社員 of an Excel workbook as the CSV files are read; "
                        "with any refused row nothing is written.")},
        {{kDateForm},
         QStringLiteral("形式"),
         QStringLiteral("FORM"),
         QStringLiteral("Excel ブックの日付の表示: era（和暦、令和6年4月1日）か iso（2024-04-01）。"
                        "既定は画面で最後に選んだもの（初めは era）。"),
         QStringLiteral("How the workbook shows dates: era (Japanese era, 令和6年4月1日) or iso (2024-04-01); "
                        "by default the form last chosen in the window (at first era).")},
        {{kPhotos},
         QStringLiteral("フォルダ"),
         QStringLiteral("FOLDER"),
         QStringLiteral("フォルダの画像（社員コード.jpg、.png、.bmp）を社員の写真として読み込みます。"
                        "取り込めないファイル（壊れた画像など）は名前を示して読み飛ばします。"),
         QStringLiteral("Read the pictures in the folder (employee code .jpg, .png, .bmp) as the employees' photos, "
                        "without a window; refused files (a damaged picture, ...) are named and left out.")},
        {{kEncoding},
         QStringLiteral("文字コード"),
         QStringLiteral("ENCODING"),
         QStringLiteral("書き出す文字コード: utf-8（BOM 付き、既定）か cp932（Shift_JIS）。"),
         QStringLiteral("Encoding of the written files: utf-8 (with BOM, the default) or cp932 (Shift_JIS).")},
        {{kSkip},
         {},
         {},
         QStringLiteral("読み込みで、社員コードが既にある社員を更新せずに読み飛ばします。"),
         QStringLiteral("On import, leave employees whose code already exists as they are.")},
        {{kCreateUnits},
         {},
         {},
         QStringLiteral("読み込みで、社員の所属の部課パスにない部課を作ります。指定しなければその行は取り込みません。"),
         QStringLiteral("On import, create the units an employee's unit path names that do not exist; "
                        "without it such a row is refused.")},
        {{kCompany},
         QStringLiteral("会社名"),
         QStringLiteral("NAME"),
         QStringLiteral("読み込みで、会社名のない所属（「営業部」のような部課名だけ）をこの会社の部課とします。"
                        "会社がなければ作ります。ない部課は --create-units で作ります。"),
         QStringLiteral("On import, a unit given without its company (a department's name alone, such as 営業部) is "
                        "one of this company's; the company is made when missing, missing departments with "
                        "--create-units.")},
        {{kKeepNumbers},
         {},
         {},
         QStringLiteral(
             "読み込みで、表計算ソフトが数にして先頭の 0 を落とした〒（6 桁）と TEL・FAX（0 で始まらない 9〜10 桁）に"
             " 0 を補わず、そのまま読み込みます。"),
         QStringLiteral("On import, keep postal codes of 6 digits and telephone or fax numbers of 9 or 10 digits "
                        "not starting with 0 as they are, instead of giving back the leading 0 a spreadsheet "
                        "dropped.")},
        {{kFillAddresses},
         {},
         {},
         QStringLiteral("読み込みで、空の住所1を〒から郵便番号データで補います（--import-postal で読み込んだもの）。"
                        "補った値は行ごとに表示します。"),
         QStringLiteral("On import, fill an empty 住所1 (address) from the 〒 (postal code) with the postal data "
                        "loaded by --import-postal; each value filled is listed by row.")},
        {{kFillReadings},
         {},
         {},
         QStringLiteral("読み込みで、空のふりがなを氏名から補います（MeCab の辞書が要ります）。"
                        "補った値は行ごとに表示します。"),
         QStringLiteral("On import, fill an empty ふりがな (reading) from the 氏名 (name), with MeCab's dictionary; "
                        "each value filled is listed by row.")},
        {{kMap},
         QStringLiteral("見出し=列,..."),
         QStringLiteral("HEADER=COLUMN,..."),
         QStringLiteral(
             "読み込みで、ファイルの見出しを読み込む列を指定します（例: \"社員番号=社員コード,年齢=取り込まない\"）。"
             "知らない見出しの列は指定しなくても読み込みません。"),
         QStringLiteral(
             "On import, the column each of the file's headers is read into "
             "(e.g. \"社員番号=社員コード,年齢=取り込まない\"); columns with unknown headers are skipped anyway.")},
        {{kPostal},
         QStringLiteral("ファイル"),
         QStringLiteral("FILE"),
         QStringLiteral("日本郵便の郵便番号データ（KEN_ALL.CSV、ken_all.zip、utf_ken_all.csv、utf_ken_all.zip）を"
                        "読み込み、前のデータと置き換えます。データは設定と同じフォルダの MorvekPostal.dat に置きます。"),
         QStringLiteral("Load Japan Post's postal code data (KEN_ALL.CSV, ken_all.zip, utf_ken_all.csv or "
                        "utf_ken_all.zip) in place of the data loaded before; it is kept as MorvekPostal.dat "
                        "beside the settings.")},
        {{kOrgChart},
         QStringLiteral("ファイル"),
         QStringLiteral("FILE"),
         QStringLiteral("組織図を書き出します。名前の終わりで形式が決まります: .pdf（A4 横、読める大きさで"
                        "入らなければ複数ページに分けます）、.svg、.png。"),
         QStringLiteral("Write the organisation chart; the name's ending gives the format: .pdf (A4 landscape, "
                        "spread over several pages when one would be too small to read), .svg or .png.")},
        {{kUnit},
         QStringLiteral("部課"),
         QStringLiteral("UNIT"),
         QStringLiteral("組織図をこの部課とその下だけにします。CSV と同じく会社から \"/\" で区切って書きます"
                        "（例: \"本社/営業部\"）。"),
         QStringLiteral("Draw only this unit and the units under it, written as in the CSV files: from the "
                        "company down, separated by \"/\" (e.g. \"本社/営業部\").")},
        {{kFaces},
         {},
         {},
         QStringLiteral("組織図の各部課に社員の顔写真と名前を入れます。"),
         QStringLiteral("Put the faces and names of each unit's employees into the organisation chart.")},
        {{kFigures},
         QStringLiteral("フォルダ"),
         QStringLiteral("FOLDER"),
         QStringLiteral("人員構成の図（部課別人員、年齢構成、勤続年数、入社・退社、月末人員）を PNG、PDF、CSV で"
                        "フォルダに書き出します。"),
         QStringLiteral("Write the staff figures (headcount by unit, ages, years of service, joiners and leavers, "
                        "month-end headcount) into the folder as PNG, PDF and CSV.")},
        {{kAsOf},
         QStringLiteral("日付"),
         QStringLiteral("DATE"),
         QStringLiteral("組織図と人員構成をこの日の終わりの会社構成で作ります（変更履歴から）。日付は CSV と同じく"
                        " 2024-04-01、2024/4/1、令和6年4月1日、R6.4.1 などで書けます。"),
         QStringLiteral("Make the chart and the figures as the register stood at the end of this day (from the "
                        "change history); the date as the CSV files accept it: 2024-04-01, 2024/4/1, 令和6年4月1日, "
                        "R6.4.1 ...")},
        {{kDatabase},
         QStringLiteral("ファイル"),
         QStringLiteral("FILE"),
         QStringLiteral("使うデータベース: ファイルか postgresql:// の URI。既定は設定の Database/Path（odata.mdb）。"),
         QStringLiteral("The register to use: a file or a postgresql:// URI; "
                        "by default the settings' Database/Path (odata.mdb).")},
        {{QStringLiteral("h"), kHelp}, {}, {}, QStringLiteral("この説明を表示します。"), QStringLiteral("Show this help.")},
        {{QStringLiteral("v"), kVersion}, {}, {}, QStringLiteral("版を表示します。"), QStringLiteral("Show the version.")},
    };
    return options;
}

CCommandLine::SParsed CCommandLine::Parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const SOption &option : Options())
        parser.addOption(QCommandLineOption(option.names, option.japanese, option.valueName));
    SParsed parsed;
    const auto refuse = [&parsed](const QString &error) {
        parsed.action = EAction::usageError;
        parsed.error = error;
        return parsed;
    };
    if (!parser.parse(WithoutQtOptions(arguments.isEmpty() ? QStringList{QStringLiteral("morvek")} : arguments))) {
        // Qt's own words are English and quote the input; ours say which option.
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return refuse(QStringLiteral("知らない引数です: %1").arg(Dashed(unknown.constFirst())));
        for (const SOption &option : Options()) {
            const QString name = Dashed(option.names.constLast());
            if (!option.valueName.isEmpty() && parser.errorText().contains(QLatin1Char('\'') + name + QLatin1Char('\'')))
                return refuse(QStringLiteral("%1 の後に値がありません。").arg(name));
        }
        return refuse(QStringLiteral("引数が正しくありません。"));
    }
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("知らない引数です: %1").arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(kHelp)) {
        parsed.action = EAction::help;
        return parsed;
    }
    if (parser.isSet(kVersion)) {
        parsed.action = EAction::version;
        return parsed;
    }
    for (const QString &name : {kExport, kImport, kPhotos, kDatabase, kEncoding, kMap, kExportXlsx, kImportXlsx, kDateForm,
                                kCompany, kPostal, kOrgChart, kFigures, kUnit, kAsOf})
        if (parser.isSet(name) && parser.value(name).isEmpty())
            return refuse(QStringLiteral("%1 の後に値がありません。").arg(Dashed(name)));
    const bool exporting = parser.isSet(kExport);
    const bool importing = parser.isSet(kImport);
    parsed.database = parser.value(kDatabase);
    parsed.encoding = parser.value(kEncoding);
    parsed.skipExisting = parser.isSet(kSkip);
    parsed.createUnits = parser.isSet(kCreateUnits);
    parsed.map = parser.value(kMap);
    parsed.company = parser.value(kCompany).trimmed();
    parsed.keepNumbers = parser.isSet(kKeepNumbers);
    parsed.fillAddresses = parser.isSet(kFillAddresses);
    parsed.fillReadings = parser.isSet(kFillReadings);
    const bool importChoices = parser.isSet(kCompany) || parsed.keepNumbers || parsed.fillAddresses || parsed.fillReadings;
    if (parser.isSet(kCompany) && parsed.company.isEmpty())
        return refuse(QStringLiteral("--company の後に会社名がありません。"));
    const bool workbook = parser.isSet(kExportXlsx) || parser.isSet(kImportXlsx) || parser.isSet(kDateForm);
    if (parser.isSet(kOrgChart) || parser.isSet(kFigures) || parser.isSet(kUnit) || parser.isSet(kAsOf)
        || parser.isSet(kFaces))
        return ParseChart(parser, parsed);
    if (parser.isSet(kPostal)) {
        if (parser.optionNames().size() > 1)
            return refuse(QStringLiteral("--import-postal にはほかの引数は付けられません。"));
        parsed.action = EAction::importPostal;
        parsed.folder = parser.value(kPostal);
        return parsed;
    }
    if (parser.isSet(kPhotos)) {
        if (exporting || importing || workbook || parser.isSet(kEncoding) || parsed.skipExisting || parsed.createUnits
            || parser.isSet(kMap) || importChoices)
            return refuse(QStringLiteral("--import-photos には --database のほかは付けられません。"));
        parsed.action = EAction::importPhotos;
        parsed.folder = parser.value(kPhotos);
        return parsed;
    }
    if (workbook)
        return ParseWorkbook(parser, exporting || importing, parsed);
    if (!exporting && !importing) {
        // Options of the CSV commands alone still ask for one of them.
        if (parser.isSet(kEncoding) || parsed.skipExisting || parsed.createUnits || parser.isSet(kDatabase)
            || parser.isSet(kMap) || importChoices)
            return refuse(QStringLiteral("--export-csv か --import-csv のどちらか一つを指定してください。"));
        return parsed;
    }
    if (exporting && importing)
        return refuse(QStringLiteral("--export-csv か --import-csv のどちらか一つを指定してください。"));
    if (exporting && parser.isSet(kMap))
        return refuse(QStringLiteral("--map は読み込み（--import-csv）にだけ付けられます。"));
    if (exporting && importChoices)
        return refuse(
            QStringLiteral("--company、--keep-numbers、--fill-addresses、--fill-readings は読み込みにだけ付けられます。"));
    parsed.action = exporting ? EAction::exportCsv : EAction::importCsv;
    parsed.folder = parser.value(exporting ? kExport : kImport);
    return parsed;
}

CCommandLine::SParsed CCommandLine::ParseChart(const QCommandLineParser &parser, SParsed parsed)
{
    const bool chart = parser.isSet(kOrgChart);
    parsed.action = EAction::usageError;
    const QStringList allowed = {kOrgChart, kFigures, kUnit, kAsOf, kFaces, kDatabase};
    bool others = false;
    for (const QString &name : parser.optionNames())
        others = others || !allowed.contains(name);
    QString reason;
    if (chart == parser.isSet(kFigures))
        parsed.error = QStringLiteral("--org-chart か --figures のどちらか一つを指定してください。");
    else if (others)
        parsed.error = QStringLiteral(
            "--org-chart と --figures には --unit、--as-of、--faces、--database のほかは付けられません。");
    else if (!chart && parser.isSet(kFaces))
        parsed.error = QStringLiteral("--faces は --org-chart にだけ付けられます。");
    else if (const QString ending = parser.value(kOrgChart).section(QLatin1Char('.'), -1).toLower();
             chart && ending != QLatin1String("pdf") && ending != QLatin1String("svg") && ending != QLatin1String("png"))
        parsed.error = QStringLiteral("%1 は書き出せません。名前の終わりを .pdf、.svg、.png のどれかにしてください。")
                           .arg(parser.value(kOrgChart));
    else if (parser.isSet(kAsOf)) {
        CDateValue day;
        if (!CCsvDate::Parse(parser.value(kAsOf), day, reason) || !day.IsValid())
            parsed.error = QStringLiteral("--as-of の日付 %1 が読めません。%2").arg(parser.value(kAsOf), reason);
        else if (day.Date() > QDate::currentDate())
            parsed.error = QStringLiteral("--as-of には今日か過ぎた日を指定してください。");
        else
            parsed.asOf = day.Date();
    }
    if (!parsed.error.isEmpty())
        return parsed;
    parsed.action = chart ? EAction::orgChart : EAction::figures;
    parsed.folder = parser.value(chart ? kOrgChart : kFigures);
    parsed.unitPath = parser.value(kUnit).trimmed();
    parsed.faces = parser.isSet(kFaces);
    return parsed;
}

CCommandLine::SParsed CCommandLine::ParseWorkbook(const QCommandLineParser &parser, bool csv, SParsed parsed)
{
    const bool exporting = parser.isSet(kExportXlsx);
    parsed.action = EAction::usageError;
    if (csv || exporting == parser.isSet(kImportXlsx))
        parsed.error = QStringLiteral(
            "--export-csv、--import-csv、--export-xlsx、--import-xlsx のどれか一つを指定してください。");
    else if (parser.isSet(kEncoding))
        parsed.error = QStringLiteral("--encoding は --export-csv にだけ付けられます。");
    else if (parser.isSet(kDateForm) && !exporting)
        parsed.error = QStringLiteral("--date-form は --export-xlsx にだけ付けられます。");
    else if (exporting && (parsed.skipExisting || parsed.createUnits))
        parsed.error = QStringLiteral("--skip-existing と --create-units は読み込みにだけ付けられます。");
    else if (exporting && parser.isSet(kMap))
        parsed.error = QStringLiteral("--map は読み込み（--import-csv、--import-xlsx）にだけ付けられます。");
    else if (exporting && (parser.isSet(kCompany) || parsed.keepNumbers || parsed.fillAddresses || parsed.fillReadings))
        parsed.error = QStringLiteral(
            "--company、--keep-numbers、--fill-addresses、--fill-readings は読み込みにだけ付けられます。");
    else if (const QString form = parser.value(kDateForm).toLower();
             !form.isEmpty() && form != QStringLiteral("era") && form != QStringLiteral("iso"))
        parsed.error = QStringLiteral("--date-form には era か iso を指定してください。");
    if (!parsed.error.isEmpty())
        return parsed;
    parsed.action = exporting ? EAction::exportXlsx : EAction::importXlsx;
    parsed.folder = parser.value(exporting ? kExportXlsx : kImportXlsx);
    parsed.dateForm = parser.value(kDateForm).toLower();
    return parsed;
}

QString CCommandLine::Usage()
{
    return QStringLiteral("使い方: morvek\n"
                          "        morvek --export-csv フォルダ [--encoding cp932] [--database ファイル]\n"
                          "        morvek --import-csv フォルダ [--skip-existing] [--create-units] [--company 会社名]\n"
                          "                   [--keep-numbers] [--fill-addresses] [--fill-readings]\n"
                          "                   [--map 見出し=列,...] [--database ファイル]\n"
                          "        morvek --export-xlsx ファイル [--date-form era|iso] [--database ファイル]\n"
                          "        morvek --import-xlsx ファイル [--skip-existing] [--create-units] [--company 会社名]\n"
                          "                   [--keep-numbers] [--fill-addresses] [--fill-readings]\n"
                          "                   [--map 見出し=列,...] [--database ファイル]\n"
                          "        morvek --import-photos フォルダ [--database ファイル]\n"
                          "        morvek --import-postal ファイル\n"
                          "        morvek --org-chart ファイル.pdf|.svg|.png [--unit 部課] [--as-of 日付] [--faces]\n"
                          "                   [--database ファイル]\n"
                          "        morvek --figures フォルダ [--unit 部課] [--as-of 日付] [--database ファイル]\n"
                          "        morvek --help | --version\n");
}

QString CCommandLine::HelpText()
{
    QString text = Usage();
    text += QStringLiteral("\n社員台帳 Morvek。引数がなければ画面を開きます。\n\nオプション:\n");
    for (const SOption &option : Options())
        text += QStringLiteral("  %1\n      %2\n").arg(Synopsis(option), option.japanese);
    text += QStringLiteral("\n終了コード: 0 成功、1 失敗（何も書き込んでいません）、2 引数の誤り。\n");
    return text;
}

QString CCommandLine::VersionText()
{
    const QString version = QCoreApplication::applicationVersion();
    return QStringLiteral("morvek %1\n").arg(version.isEmpty() ? QStringLiteral(MORVEK_VERSION) : version);
}
