// An import filling empty addresses from the postal data and empty readings from the
// names, on the command line and in the preview; and the postal data loaded by command.
#include "csv/csvcolumns.h"
#include "csv/csvcommandline.h"
#include "kana/readingsuggester.h"
#include "postal/postaldirectory.h"
#include "shell/csvcommands.h"
#include "shell/csvpreviewdlg.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "support/postalfilebuilder.h"
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <memory>

namespace {
int RunCommand(const QStringList &arguments, QString &out, QString &err)
{
    QTextStream outStream(&out), errStream(&err);
    const int status = CCsvCommandLine::Run(QStringList{QStringLiteral("morvek")} + arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return status;
}

struct SStored {
    QString name;
    QString kana;
    QString juu1;
};

SStored Employee(qint32 code)
{
    CMast01 set;
    set.Open();
    if (!set.FindFirst(QStringLiteral("Code = %1").arg(code)))
        return {QStringLiteral("<none>"), {}, {}};
    return {set.m_Name, set.m_Kana, set.m_Juu1};
}

QString UnitAddress(const QString &name)
{
    CMast00 set;
    set.Open();
    return set.FindFirst(QStringLiteral("Name = '%1'").arg(name)) ? set.m_Juu1 : QStringLiteral("<none>");
}
} // namespace

class TestPostalImport : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fillsAddresses_data();
    void fillsAddresses();
    void fillsUnitAddresses();
    void withoutDataFillsNothing();
    void fillsReadings();
    void previewFills_data();
    void previewFills();
    void previewFillsReadingsWhenTicked();
    void importPostalCommand();

private:
    void LoadSample();
    QString Folder() const { return m_folder->path(); }
    void WriteEmployees(const QByteArray &text)
    {
        WriteFile(QDir(Folder()).filePath(CCsvColumns::EmployeesFileName()), text);
    }

    std::unique_ptr<QTemporaryDir> m_settings;
    std::unique_ptr<QTemporaryDir> m_folder;
    std::unique_ptr<CTempDatabase> m_db;
};

void TestPostalImport::init()
{
    m_settings = std::make_unique<QTemporaryDir>();
    m_folder = std::make_unique<QTemporaryDir>();
    IsolateSettings(m_settings->path());
    m_db = std::make_unique<CTempDatabase>();
}

void TestPostalImport::cleanup()
{
    m_db.reset();
    m_folder.reset();
    m_settings.reset();
}

void TestPostalImport::LoadSample()
{
    const QString path = CPostalFileBuilder::WriteZip(m_settings->filePath(QStringLiteral("ken_all.zip")),
                                                      QStringLiteral("KEN_ALL.CSV"),
                                                      CPostalFileBuilder::Sample().ShiftJis());
    QString out, err;
    QCOMPARE(RunCommand({QStringLiteral("--import-postal"), path}, out, err), 0);
}

void TestPostalImport::fillsAddresses_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("existing"); // employee 1 kept with 住所1 "元の住所"
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("warning");
    const QString filled = QStringLiteral(
        "社員.csv 2 行目「住所1」: 住所1を補いました（〒 100-0001 →「東京都千代田区千代田」）。");
    QTest::newRow("no column, new") << QByteArray("社員コード,氏名,〒\r\n1,山田,100-0001\r\n") << false << true
                                    << QStringLiteral("東京都千代田区千代田") << filled;
    QTest::newRow("empty cell") << QByteArray("社員コード,氏名,〒,住所1\r\n1,山田,1000001,\r\n") << false << true
                                << QStringLiteral("東京都千代田区千代田") << filled;
    QTest::newRow("full width") << QStringLiteral("社員コード,氏名,〒\r\n1,山田,１００－０００１\r\n").toUtf8() << false
                                << true << QStringLiteral("東京都千代田区千代田") << filled;
    QTest::newRow("zero put back first") << QByteArray("社員コード,氏名,〒\r\n1,山田,600042\r\n") << false << true
                                         << QStringLiteral("北海道札幌市中央区大通西")
                                         << QStringLiteral(
                                                "住所1を補いました（〒 060-0042 →「北海道札幌市中央区大通西」）。");
    QTest::newRow("typed") << QByteArray("社員コード,氏名,〒,住所1\r\n1,山田,1000001,大阪市\r\n") << false << true
                           << QStringLiteral("大阪市") << "";
    QTest::newRow("not asked") << QByteArray("社員コード,氏名,〒\r\n1,山田,1000001\r\n") << false << false << ""
                               << "";
    QTest::newRow("two towns") << QByteArray("社員コード,氏名,〒\r\n1,山田,6020000\r\n") << false << true << ""
                               << QStringLiteral("〒 602-0000 には住所が 2 つあるため、住所1を補いませんでした"
                                                 "（京都府京都市上京区一条殿町、京都府京都市上京区二条殿町）。");
    QTest::newRow("unknown") << QByteArray("社員コード,氏名,〒\r\n1,山田,9999999\r\n") << false << true << ""
                             << QStringLiteral("〒 999-9999 は郵便番号データにないため、住所1を補いませんでした。");
    QTest::newRow("kept, no column") << QByteArray("社員コード,氏名,〒\r\n1,山田,1000001\r\n") << true << true
                                     << QStringLiteral("元の住所") << "";
    QTest::newRow("kept, emptied") << QByteArray("社員コード,氏名,〒,住所1\r\n1,山田,1000001,\r\n") << true << true
                                   << QStringLiteral("東京都千代田区千代田") << filled;
}

void TestPostalImport::fillsAddresses()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, existing);
    QFETCH(bool, asked);
    QFETCH(QString, address);
    QFETCH(QString, warning);
    LoadSample();
    if (existing)
        CRegisterBuilder::AddEmployee({.code = 1, .name = QStringLiteral("山田"), .juu1 = QStringLiteral("元の住所")});
    WriteEmployees(file);
    QStringList arguments{QStringLiteral("--import-csv"), Folder(), QStringLiteral("--database"), m_db->Path()};
    if (asked)
        arguments << QStringLiteral("--fill-addresses");
    QString out, err;
    QCOMPARE(RunCommand(arguments, out, err), 0);
    QCOMPARE(Employee(1).juu1, address);
    if (warning.isEmpty())
        QVERIFY2(!out.contains(QStringLiteral("住所1を補")), qPrintable(out));
    else
        QVERIFY2(out.contains(warning), qPrintable(out));
    const bool filled = warning.contains(QStringLiteral("住所1を補いました"));
    QCOMPARE(out.contains(QStringLiteral("〒から補った住所1: 1 件")), filled);
}

void TestPostalImport::fillsUnitAddresses()
{
    LoadSample();
    WriteFile(QDir(Folder()).filePath(CCsvColumns::UnitsFileName()),
              "会社コード,部課パス,〒\r\n1,本社,1000001\r\n1,本社/営業部,6020000\r\n1,本社/総務部,\r\n");
    QString out, err;
    QCOMPARE(RunCommand({QStringLiteral("--import-csv"), Folder(), QStringLiteral("--fill-addresses"),
                         QStringLiteral("--database"), m_db->Path()},
                        out, err),
             0);
    QCOMPARE(UnitAddress(QStringLiteral("本社")), QStringLiteral("東京都千代田区千代田"));
    QCOMPARE(UnitAddress(QStringLiteral("営業部")), QString());
    QCOMPARE(UnitAddress(QStringLiteral("総務部")), QString());
    QVERIFY2(out.contains(QStringLiteral("部課.csv 2 行目「住所1」: 住所1を補いました")), qPrintable(out));
    QVERIFY2(out.contains(QStringLiteral("部課.csv 3 行目「住所1」: 〒 602-0000 には住所が 2 つある")), qPrintable(out));
    QVERIFY2(!out.contains(QStringLiteral("部課.csv 4 行目")), qPrintable(out));
}

void TestPostalImport::withoutDataFillsNothing()
{
    WriteEmployees("社員コード,氏名,〒\r\n1,山田,1000001\r\n");
    QString out, err;
    QCOMPARE(RunCommand({QStringLiteral("--import-csv"), Folder(), QStringLiteral("--fill-addresses"),
                         QStringLiteral("--database"), m_db->Path()},
                        out, err),
             0);
    QVERIFY2(err.contains(CPostalDirectory::NoDataText()), qPrintable(err));
    QCOMPARE(Employee(1).juu1, QString());
    QCOMPARE(Employee(1).name, QStringLiteral("山田"));
}

void TestPostalImport::fillsReadings()
{
    const CReadingSuggester &readings = CReadingSuggester::Instance();
    if (!readings.IsAvailable())
        QSKIP("MeCab's dictionary is not installed (mecab-ipadic-utf8)");
    const QString name = QStringLiteral("山田 太郎");
    const QString reading = readings.Suggest(name);
    QVERIFY(!reading.isEmpty());
    WriteEmployees(QStringLiteral("社員コード,氏名,ふりがな\r\n1,%1,\r\n2,佐藤花子,さとう はなこ\r\n").arg(name).toUtf8());
    QString out, err;
    QCOMPARE(RunCommand({QStringLiteral("--import-csv"), Folder(), QStringLiteral("--fill-readings"),
                         QStringLiteral("--database"), m_db->Path()},
                        out, err),
             0);
    QCOMPARE(Employee(1).kana, reading);
    QCOMPARE(Employee(2).kana, QStringLiteral("さとう はなこ"));
    QVERIFY2(out.contains(QStringLiteral("社員.csv 2 行目「ふりがな」: 読みを補いました（「%1」）。").arg(reading)),
             qPrintable(out));
    QVERIFY2(!out.contains(QStringLiteral("社員.csv 3 行目「ふりがな」")), qPrintable(out));
}

void TestPostalImport::previewFills_data()
{
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<bool>("untick");
    QTest::newRow("loaded") << true << false;
    QTest::newRow("unticked") << true << true;
    QTest::newRow("no data") << false << false;
}

// On by default once the data is there, each value listed; off and greyed without it.
void TestPostalImport::previewFills()
{
    QFETCH(bool, loaded);
    QFETCH(bool, untick);
    if (loaded)
        LoadSample();
    WriteEmployees("社員コード,氏名,〒\r\n1,山田,1000001\r\n");
    bool ticked = false;
    bool enabled = false;
    QString tip;
    QString readingsTip;
    QString summary;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
            files->setDirectory(Folder());
            return int(QDialog::Accepted);
        }
        auto *preview = qobject_cast<CCsvPreviewDlg *>(&dialog);
        if (!preview)
            return int(QDialog::Accepted);
        ticked = preview->AddressesBox()->isChecked();
        enabled = preview->AddressesBox()->isEnabled();
        tip = preview->AddressesBox()->toolTip();
        readingsTip = preview->ReadingsBox()->isEnabled() ? QString() : preview->ReadingsBox()->toolTip();
        if (untick)
            preview->AddressesBox()->setChecked(false);
        summary = preview->SummaryView()->toPlainText();
        return int(QDialog::Accepted);
    });
    QVERIFY(CCsvCommands::OnImportCsv(nullptr));
    QCOMPARE(ticked, loaded);
    QCOMPARE(enabled, loaded);
    QCOMPARE(tip, loaded ? QString() : CPostalDirectory::NoDataText());
    const CReadingSuggester &readings = CReadingSuggester::Instance();
    QCOMPARE(readingsTip, readings.IsAvailable() ? QString() : readings.Unavailable());
    const bool fills = loaded && !untick;
    QCOMPARE(summary.contains(QStringLiteral("住所1を補いました（〒 100-0001 →「東京都千代田区千代田」）。")), fills);
    QCOMPARE(Employee(1).juu1, fills ? QStringLiteral("東京都千代田区千代田") : QString());
}

void TestPostalImport::previewFillsReadingsWhenTicked()
{
    const CReadingSuggester &readings = CReadingSuggester::Instance();
    if (!readings.IsAvailable())
        QSKIP("MeCab's dictionary is not installed (mecab-ipadic-utf8)");
    WriteEmployees("社員コード,氏名\r\n1,山田 太郎\r\n");
    bool ticked = true;
    QString summary;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
            files->setDirectory(Folder());
            return int(QDialog::Accepted);
        }
        auto *preview = qobject_cast<CCsvPreviewDlg *>(&dialog);
        if (!preview)
            return int(QDialog::Accepted);
        ticked = preview->ReadingsBox()->isChecked();
        preview->ReadingsBox()->setChecked(true);
        summary = preview->SummaryView()->toPlainText();
        return int(QDialog::Accepted);
    });
    QVERIFY(CCsvCommands::OnImportCsv(nullptr));
    QVERIFY(!ticked);
    const QString reading = readings.Suggest(QStringLiteral("山田 太郎"));
    QVERIFY2(summary.contains(QStringLiteral("読みを補いました（「%1」）。").arg(reading)), qPrintable(summary));
    QCOMPARE(Employee(1).kana, reading);
}

void TestPostalImport::importPostalCommand()
{
    QString out, err;
    const QString good = WriteFile(m_settings->filePath(QStringLiteral("KEN_ALL.CSV")),
                                   CPostalFileBuilder::Sample().ShiftJis());
    QCOMPARE(RunCommand({QStringLiteral("--import-postal"), good}, out, err), 0);
    QVERIFY2(out.contains(QStringLiteral("11 件")) && out.contains(QStringLiteral("MorvekPostal.dat")), qPrintable(out));
    const QByteArray kept = ReadFile(CPostalDirectory::DefaultPath());
    QVERIFY(!kept.isEmpty());
    out.clear();
    const QString staff = WriteFile(m_settings->filePath(QStringLiteral("社員.csv")), "社員コード,氏名\r\n1,山田\r\n");
    QCOMPARE(RunCommand({QStringLiteral("--import-postal"), staff}, out, err), 1);
    QVERIFY2(err.contains(QStringLiteral("郵便番号データ（KEN_ALL.CSV）ではありません")), qPrintable(err));
    QVERIFY2(err.contains(QStringLiteral("郵便番号データは前のままです。")), qPrintable(err));
    QVERIFY(out.isEmpty());
    QCOMPARE(ReadFile(CPostalDirectory::DefaultPath()), kept);
}

QTEST_MAIN(TestPostalImport)
#include "tst_postalimport.moc"
