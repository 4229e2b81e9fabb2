#include "csv/commandline.h"
#include "csv/manualpage.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>

using EAction = CCommandLine::EAction;

class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void importChoices_data();
    void importChoices();
    void helpNamesEveryOption();
    void manualPageNamesEveryOption_data();
    void manualPageNamesEveryOption();
    void programWithoutDisplay_data();
    void programWithoutDisplay();
};

void TestCommandLine::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<EAction>("action");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("error");

    QTest::newRow("nothing") << QStringList{} << EAction::window << ""
                             << "";
    QTest::newRow("qt's own options") << QStringList{"-platform", "offscreen", "-reverse"} << EAction::window << ""
                                      << "";
    QTest::newRow("help") << QStringList{"--help"} << EAction::help << ""
                          << "";
    QTest::newRow("short help") << QStringList{"-h"} << EAction::help << ""
                                << "";
    QTest::newRow("version") << QStringList{"--version"} << EAction::version << ""
                             << "";
    QTest::newRow("export") << QStringList{"--export-csv", "出力", "--encoding", "cp932"} << EAction::exportCsv << "出力"
                            << "";
    QTest::newRow("import") << QStringList{"--import-csv=in", "--skip-existing"} << EAction::importCsv << "in"
                            << "";
    QTest::newRow("photos") << QStringList{"--import-photos", "写真", "--database", "x.mdb"} << EAction::importPhotos
                            << "写真"
                            << "";
    QTest::newRow("photos with csv") << QStringList{"--import-photos", "a", "--import-csv", "b"} << EAction::usageError
                                     << ""
                                     << "--import-photos には --database のほかは付けられません。";
    QTest::newRow("unknown") << QStringList{"--fast"} << EAction::usageError << ""
                             << "知らない引数です: --fast";
    QTest::newRow("stray word") << QStringList{"odata.mdb"} << EAction::usageError << ""
                                << "知らない引数です: odata.mdb";
    QTest::newRow("missing value") << QStringList{"--import-csv"} << EAction::usageError << ""
                                   << "--import-csv の後に値がありません。";
    QTest::newRow("empty value") << QStringList{"--export-csv", ""} << EAction::usageError << ""
                                 << "--export-csv の後に値がありません。";
    QTest::newRow("both") << QStringList{"--export-csv", "a", "--import-csv", "b"} << EAction::usageError << ""
                          << "--export-csv か --import-csv のどちらか一つを指定してください。";
    QTest::newRow("option alone") << QStringList{"--skip-existing"} << EAction::usageError << ""
                                  << "--export-csv か --import-csv のどちらか一つを指定してください。";
    QTest::newRow("create units alone") << QStringList{"--create-units"} << EAction::usageError << ""
                                        << "--export-csv か --import-csv のどちらか一つを指定してください。";
    QTest::newRow("company alone") << QStringList{"--company", "本社"} << EAction::usageError << ""
                                   << "--export-csv か --import-csv のどちらか一つを指定してください。";
    QTest::newRow("company on export")
        << QStringList{"--export-csv", "a", "--company", "本社"} << EAction::usageError << ""
        << "--company、--keep-numbers、--fill-addresses、--fill-readings は読み込みにだけ付けられます。";
    QTest::newRow("keep numbers on workbook export")
        << QStringList{"--export-xlsx", "a.xlsx", "--keep-numbers"} << EAction::usageError << ""
        << "--company、--keep-numbers、--fill-addresses、--fill-readings は読み込みにだけ付けられます。";
    QTest::newRow("company with photos") << QStringList{"--import-photos", "a", "--company", "本社"} << EAction::usageError
                                         << ""
                                         << "--import-photos には --database のほかは付けられません。";
    QTest::newRow("postal data") << QStringList{"--import-postal", "ken_all.zip"} << EAction::importPostal << "ken_all.zip"
                                 << "";
    QTest::newRow("postal data with more")
        << QStringList{"--import-postal", "ken_all.zip", "--database", "x.mdb"} << EAction::usageError << ""
        << "--import-postal にはほかの引数は付けられません。";
    QTest::newRow("postal data without its file") << QStringList{"--import-postal"} << EAction::usageError << ""
                                                  << "--import-postal の後に値がありません。";
    QTest::newRow("fill addresses alone") << QStringList{"--fill-addresses"} << EAction::usageError << ""
                                          << "--export-csv か --import-csv のどちらか一つを指定してください。";
    QTest::newRow("fill readings on export")
        << QStringList{"--export-xlsx", "a.xlsx", "--fill-readings"} << EAction::usageError << ""
        << "--company、--keep-numbers、--fill-addresses、--fill-readings は読み込みにだけ付けられます。";
    QTest::newRow("fill with photos") << QStringList{"--import-photos", "a", "--fill-addresses"} << EAction::usageError
                                      << ""
                                      << "--import-photos には --database のほかは付けられません。";
    QTest::newRow("company blank") << QStringList{"--import-csv", "in", "--company", " "} << EAction::usageError << ""
                                   << "--company の後に会社名がありません。";
    QTest::newRow("company without its name") << QStringList{"--import-csv", "in", "--company"} << EAction::usageError << ""
                                              << "--company の後に値がありません。";
}

void TestCommandLine::importChoices_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<EAction>("action");
    QTest::addColumn<QString>("company");
    QTest::addColumn<bool>("keepNumbers");
    QTest::addColumn<bool>("fillAddresses");
    QTest::addColumn<bool>("fillReadings");
    QTest::newRow("neither") << QStringList{"--import-csv", "in"} << EAction::importCsv << "" << false << false << false;
    QTest::newRow("company") << QStringList{"--import-csv", "in", "--company", " 本社 "} << EAction::importCsv << "本社"
                             << false << false << false;
    QTest::newRow("workbook, both") << QStringList{"--import-xlsx", "a.xlsx", "--keep-numbers", "--company=支社"}
                                    << EAction::importXlsx << "支社" << true << false << false;
    QTest::newRow("addresses") << QStringList{"--import-csv", "in", "--fill-addresses"} << EAction::importCsv << "" << false
                               << true << false;
    QTest::newRow("readings") << QStringList{"--import-xlsx", "a.xlsx", "--fill-readings"} << EAction::importXlsx << ""
                              << false << false << true;
}

void TestCommandLine::importChoices()
{
    QFETCH(QStringList, arguments);
    QFETCH(EAction, action);
    QFETCH(QString, company);
    QFETCH(bool, keepNumbers);
    QFETCH(bool, fillAddresses);
    QFETCH(bool, fillReadings);
    const CCommandLine::SParsed parsed = CCommandLine::Parse(QStringList{QStringLiteral("morvek")} + arguments);
    QCOMPARE(parsed.action, action);
    QCOMPARE(parsed.company, company);
    QCOMPARE(parsed.keepNumbers, keepNumbers);
    QCOMPARE(parsed.fillAddresses, fillAddresses);
    QCOMPARE(parsed.fillReadings, fillReadings);
}

void TestCommandLine::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(EAction, action);
    QFETCH(QString, folder);
    QFETCH(QString, error);
    const CCommandLine::SParsed parsed = CCommandLine::Parse(QStringList{QStringLiteral("morvek")} + arguments);
    QCOMPARE(parsed.action, action);
    QCOMPARE(parsed.folder, folder);
    QCOMPARE(parsed.error, error);
}

void TestCommandLine::helpNamesEveryOption()
{
    const QString help = CCommandLine::HelpText();
    for (const CCommandLine::SOption &option : CCommandLine::Options()) {
        QVERIFY2(help.contains(QStringLiteral("--") + option.names.constLast()), qPrintable(option.names.constLast()));
        QVERIFY(help.contains(option.japanese));
    }
}

void TestCommandLine::manualPageNamesEveryOption_data()
{
    QTest::addColumn<CManualPage::ELanguage>("language");
    QTest::newRow("English") << CManualPage::ELanguage::english;
    QTest::newRow("Japanese") << CManualPage::ELanguage::japanese;
}

void TestCommandLine::manualPageNamesEveryOption()
{
    QFETCH(CManualPage::ELanguage, language);
    const QString page = CManualPage::Render(language, QStringLiteral("2026-12-07"));
    QVERIFY(page.startsWith(QStringLiteral(".TH MORVEK 1 \"2026-12-07\"")));
    for (const CCommandLine::SOption &option : CCommandLine::Options()) {
        // Dashes are troff's own minus signs, so that the page can be searched and copied.
        const QString name = QStringLiteral("\\-\\-")
                           + QString(option.names.constLast()).replace(u'-', QStringLiteral("\\-"));
        QVERIFY2(page.contains(name), qPrintable(name));
    }
    // The synopsis shows every way to run it without a window.
    for (const char *command :
         {"export-csv", "import-csv", "export-xlsx", "import-xlsx", "import-photos", "import-postal"}) {
        const QString line = QStringLiteral(".B morvek \\-\\-")
                           + QString::fromLatin1(command).replace(u'-', QStringLiteral("\\-"));
        QVERIFY2(page.contains(line + QLatin1Char('\n')), qPrintable(line));
    }
    // A line that starts with a quote or a dot is a request troff knows, never text.
    static const QRegularExpression request(QStringLiteral("^\\.(TH|SH|TP|B|I|br)( |$)"));
    for (const QString &line : page.split(u'\n'))
        QVERIFY2(!line.startsWith(u'\'') && (!line.startsWith(u'.') || request.match(line).hasMatch()), qPrintable(line));
}

void TestCommandLine::programWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");

    QTest::newRow("help") << QStringList{"--help"} << 0 << "--import-csv フォルダ"
                          << "";
    QTest::newRow("help on the company") << QStringList{"--help"} << 0 << "[--company 会社名]"
                                         << "";
    QTest::newRow("help names the history file") << QStringList{"--help"} << 0 << "変更履歴.csv"
                                                 << "";
    QTest::newRow("version") << QStringList{"--version"} << 0 << "morvek "
                             << "";
    QTest::newRow("photos with csv") << QStringList{"--import-photos", "a", "--import-csv", "b"} << 2 << ""
                                     << "--import-photos には --database のほかは付けられません。";
    QTest::newRow("unknown") << QStringList{"--fast"} << 2 << ""
                             << "知らない引数です: --fast";
    QTest::newRow("window") << QStringList{} << 1 << ""
                            << "画面（ディスプレイ）がないため開けません。";
}

// The program itself, as a script or a terminal without a display starts it.
void TestCommandLine::programWithoutDisplay()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QDir::tempPath());
    program.start(QStringLiteral(MORVEK_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(30000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), status);
    const QString printed = QString::fromUtf8(program.readAllStandardOutput());
    const QString complaint = QString::fromUtf8(program.readAllStandardError());
    QVERIFY2(printed.contains(out), qPrintable(printed));
    QVERIFY2(complaint.contains(err), qPrintable(complaint));
    if (status == 1)
        QCOMPARE(complaint.count(QLatin1Char('\n')), 1);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
