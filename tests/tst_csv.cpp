// The CSV register: dates, records, encodings, the round trip through both
// files, refusals, and the command line.
#include "text/csvcodec.h"
#include "csv/csvcolumns.h"
#include "csv/csvcommandline.h"
#include "backup/databasebackup.h"
#include "csv/csvdate.h"
#include "csv/csvexporter.h"
#include "csv/csvformulaguard.h"
#include "csv/csvimporter.h"
#include "csv/csvcolumnaliases.h"
#include "register/history.h"
#include "register/register.h"
#include "csv/csvtable.h"
#include "store/daodatabase.h"
#include "store/daodatabasepool.h"
#include "store/daoexception.h"
#include "store/mast01.h"
#include "store/serveruri.h"
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QSignalSpy>
#include <QTest>
#include <QTextStream>

namespace {
const QByteArray kUnitHeader = "会社コード,部課パス,名前,〒,住所1,住所2,TEL,FAX\r\n";
const QByteArray kEmployeeHeader =
    "社員コード,氏名,ふりがな,性別,生年月日,入社年月日,退社年月日,〒,住所1,住所2,TEL,FAX,所属,履歴,資格,備考,E-mail\r\n";

// What every employee here has besides: a kana, an address with a comma and quotes, a mail address.
CRegisterBuilder::SEmployeeRow Complete(CRegisterBuilder::SEmployeeRow row)
{
    row.kana = QStringLiteral("ﾔﾏﾀﾞ ﾀﾛｳ");
    row.juu1 = QStringLiteral("東京都千代田区1-2-3, \"本館\"");
    row.email = QStringLiteral("a@example.jp");
    return row;
}

int Count(const QString &sql)
{
    CDaoDatabase db;
    db.Open(CDaoRecordset::ApplicationDatabasePath());
    QSqlQuery q(db.Connection());
    if (!q.exec(sql) || !q.next())
        return -1;
    return q.value(0).toInt();
}

QString Field(const QString &sql)
{
    CDaoDatabase db;
    db.Open(CDaoRecordset::ApplicationDatabasePath());
    QSqlQuery q(db.Connection());
    if (!q.exec(sql) || !q.next())
        return QStringLiteral("<none>");
    return q.value(0).isNull() ? QStringLiteral("<null>") : q.value(0).toString();
}

struct SImport {
    bool read = false;
    QString error;
    SCsvImportSummary summary;
};

SImport ImportWith(const std::optional<QByteArray> &units, const std::optional<QByteArray> &employees,
                   const SCsvPlanChoices &choices)
{
    CDaoDatabase db;
    db.Open(CDaoRecordset::ApplicationDatabasePath());
    CCsvImporter importer(db);
    SImport result;
    result.read = importer.ReadData(units, employees, result.error);
    if (result.read) {
        result.summary = importer.Plan(choices);
        importer.Apply();
    }
    return result;
}

SImport Import(const std::optional<QByteArray> &units, const std::optional<QByteArray> &employees,
               CCsvImporter::EExisting existing = CCsvImporter::EExisting::Update,
               CCsvImporter::EMissingUnits missing = CCsvImporter::EMissingUnits::Refuse)
{
    return ImportWith(units, employees, {existing, missing, {}, false});
}

int RunCommand(const QStringList &arguments, QString *out = nullptr, QString *err = nullptr)
{
    QString o, e;
    QTextStream outStream(&o), errStream(&e);
    const int status = CCsvCommandLine::Run(QStringList{QStringLiteral("morvek")} + arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    if (out)
        *out = o;
    if (err)
        *err = e;
    return status;
}

} // namespace

class TestCsv : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void dates_data();
    void dates();
    void recordsSurvive();
    void recordLines();
    void detectsEncoding_data();
    void detectsEncoding();
    void roundTrip_data();
    void roundTrip();
    void badFile_data();
    void badFile();
    void limitsAtTheirEdges_data();
    void limitsAtTheirEdges();
    void refusedRows_data();
    void refusedRows();
    void existingEmployees_data();
    void existingEmployees();
    void missingColumnsKeepValues();
    void unitsFromPaths();
    void missingUnitRefused_data();
    void missingUnitRefused();
    void unchangedRowsCounted();
    void ambiguousUnitRefused();
    void cancelWritesNothing();
    void failureRollsBack();
    void importOnTheSharedConnection_data();
    void importOnTheSharedConnection();
    void exportRefusesUnwritableCharacter();
    void commandLine_data();
    void commandLine();
    void commandLineRoundTrip();
    void commandLineCreatesUnits();
    void importIntoNewFile_data();
    void importIntoNewFile();
    void commandLineImportBacksUpFirst();
    void commandLineImportOfNothingNewKeepsNoBackup();
    void commandLineNeverShowsAPassword();
    void otherSystemsList();
    void rowWarnings_data();
    void rowWarnings();
    void everyReasonOfARow_data();
    void everyReasonOfARow();
    void formulaLikeTextRoundTrip();
    void duplicateCodesRoundTrip();
    void formulaLikeTextThroughLibreOffice();
    void columnMap_data();
    void columnMap();
    void serverImportTwice();
    void fullWidthHeaders_data();
    void fullWidthHeaders();
    void codeTwiceWithAndWithoutId_data();
    void codeTwiceWithAndWithoutId();
    void nameEmptiedOrKept_data();
    void nameEmptiedOrKept();
    void unitCorrectionInHistory();
    void reasonsKeptAndCounted();
    void bareNamesIntoNewRegister_data();
    void bareNamesIntoNewRegister();
    void companyNamedFindsItsUnits_data();
    void companyNamedFindsItsUnits();
    void refusedRowMakesNoUnit();
    void zerosPutBack_data();
    void zerosPutBack();
    void commandLineKeepsNumbers_data();
    void commandLineKeepsNumbers();

private:
    void FillRegister();
    std::unique_ptr<CTempDatabase> m_db;
    QTemporaryDir m_settings;
};

void TestCsv::init()
{
    IsolateSettings(m_settings.path());
    m_db = std::make_unique<CTempDatabase>();
}

void TestCsv::cleanup()
{
    m_db.reset();
}

// Every kind of value an export must carry through.
void TestCsv::FillRegister()
{
    const qint32 company = CRegisterBuilder::AddUnit(
        {.code = 7, .name = QStringLiteral("ﾃｽﾄ商事, 本社"), .tel = QStringLiteral("03-1234-5678")});
    const qint32 sales = CRegisterBuilder::AddUnit({company, 7, QStringLiteral("営業部/東")});
    const qint32 first = CRegisterBuilder::AddUnit({sales, 7, QStringLiteral("第一課\\\"特\"")});
    CRegisterBuilder::AddUnit({company, 7, QStringLiteral("総務部")});
    const qint32 other = CRegisterBuilder::AddUnit({0, 3, QStringLiteral("別会社")});

    CRegisterBuilder::AddEmployees(
        {Complete({.code = 1,
                   .busyo = first,
                   .name = QStringLiteral("昭和 最後"),
                   .birth = CDateValue(1989, 1, 7),
                   .joined = CDateValue(1989, 1, 8),
                   .mem = QStringLiteral("1行目\n2行目, \"引用\"\r\n3行目")}),
         Complete({.code = 2,
                   .name = QStringLiteral("所属 なし"),
                   .female = true,
                   .birth = CDateValue(2019, 4, 30),
                   .joined = CDateValue(2019, 5, 1),
                   .left = CDateValue(2024, 2, 29)}),
         Complete({.code = 3,
                   .busyo = other,
                   .name = QStringLiteral(" 空白 "),
                   .female = true,
                   .mem = QStringLiteral("ｱｲｳｴｵ ｶﾞｷﾞｸﾞ")}),
         Complete({.code = 10, .busyo = sales, .name = QStringLiteral("明治 生まれ"), .birth = CDateValue(1900, 1, 1)})});
}

void TestCsv::dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected"); // ISO, "" for null, "!" for refused

    QTest::newRow("iso") << "2024-04-01"
                         << "2024-04-01";
    QTest::newRow("slashes") << "2024/4/1"
                             << "2024-04-01";
    QTest::newRow("hyphens, short parts") << "2024-4-1"
                                          << "2024-04-01";
    QTest::newRow("dots") << "2024.4.1"
                          << "2024-04-01";
    QTest::newRow("mixed marks") << "2024/04.01"
                                 << "2024-04-01";
    QTest::newRow("full-width") << "２０２４／４／１"
                                << "2024-04-01";
    QTest::newRow("reiwa kanji") << "令和6年4月1日"
                                 << "2024-04-01";
    QTest::newRow("R dots") << "R6.4.1"
                            << "2024-04-01";
    QTest::newRow("r lower case") << "r6.4.1"
                                  << "2024-04-01";
    QTest::newRow("R hyphens") << "R6-4-1"
                               << "2024-04-01";
    QTest::newRow("era name, dots") << "令和6.4.1"
                                    << "2024-04-01";
    QTest::newRow("era name, no 日") << "令和6年4月1"
                                     << "2024-04-01";
    QTest::newRow("era name, spaces") << "令和 6 年 4 月 1 日"
                                      << "2024-04-01";
    QTest::newRow("M letter") << "M45.7.29"
                              << "1912-07-29";
    QTest::newRow("taisho kanji") << "大正元年7月30日"
                                  << "1912-07-30";
    QTest::newRow("H slashes") << "H10/1/1"
                               << "1998-01-01";
    QTest::newRow("S dots") << "S50.4.1"
                            << "1975-04-01";
    QTest::newRow("gannen") << "平成元年1月8日"
                            << "1989-01-08";
    QTest::newRow("square era") << "㍻元年1月8日"
                                << "1989-01-08";
    QTest::newRow("showa last day") << "S64.1.7"
                                    << "1989-01-07";
    QTest::newRow("heisei last day") << "H31.4.30"
                                     << "2019-04-30";
    QTest::newRow("reiwa first day") << "R1.5.1"
                                     << "2019-05-01";
    QTest::newRow("empty") << "  "
                           << "";
    QTest::newRow("no such day") << "2023-02-29"
                                 << "!";
    QTest::newRow("april 31") << "2024/4/31"
                              << "!";
    QTest::newRow("after showa") << "S64.1.8"
                                 << "!";
    QTest::newRow("after heisei") << "H31.5.1"
                                  << "!";
    QTest::newRow("before meiji") << "M1.1.1"
                                  << "!";
    QTest::newRow("era year 0") << "H0.1.1"
                                << "!";
    QTest::newRow("words") << "昨日"
                           << "!";
    QTest::newRow("two-digit year") << "24/4/1"
                                    << "!";
    QTest::newRow("year 99") << "0099-12-31"
                             << "!";
}

void TestCsv::dates()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    CDateValue date(2000, 1, 1);
    QString reason;
    const bool ok = CCsvDate::Parse(text, date, reason);
    if (expected == QStringLiteral("!")) {
        QVERIFY(!ok);
        QVERIFY(reason.contains(text.trimmed()));
        QCOMPARE(date, CDateValue(2000, 1, 1));
    } else {
        QVERIFY2(ok, qPrintable(reason));
        QCOMPARE(CCsvDate::Format(date), expected);
        QCOMPARE(date.IsNull(), expected.isEmpty());
    }
}

void TestCsv::recordsSurvive()
{
    const QList<QStringList> records = {
        {QStringLiteral("a,b"), QStringLiteral("say \"hi\""), QString(), QStringLiteral("line\nfeed")},
        {QStringLiteral(" lead"), QStringLiteral("trail "), QStringLiteral("cr\r\nlf"), QStringLiteral("ｶﾀｶﾅ")},
    };
    QList<SCsvRecord> parsed;
    QString error;
    QVERIFY2(CCsvTable::Parse(CCsvTable::Write(records), parsed, error), qPrintable(error));
    QCOMPARE(parsed.size(), records.size());
    for (int i = 0; i < records.size(); ++i)
        QCOMPARE(parsed.at(i).fields, records.at(i));
}

void TestCsv::recordLines()
{
    QList<SCsvRecord> parsed;
    QString error;
    QVERIFY(CCsvTable::Parse("h1,h2\r\n\"two\nlines\",x\r\n\r\nlast,y", parsed, error));
    QCOMPARE(parsed.size(), 3);
    QCOMPARE(parsed.at(1).line, 2);
    QCOMPARE(parsed.at(2).line, 5);
}

void TestCsv::detectsEncoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("cp932");

    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF") + QStringLiteral("社員").toUtf8() << false;
    QTest::newRow("utf-8 plain") << QStringLiteral("社員").toUtf8() << false;
    QTest::newRow("shift_jis") << QByteArray("\x8E\xD0\x88\xF5") << true;                     // 社員
    QTest::newRow("half-width kana sjis") << QByteArray("\xB1\xB2") << true;                  // ｱｲ
    QTest::newRow("utf-16 le") << QByteArray("\xFF\xFE\x3E\x79\xE1\x54\x2C\x00", 8) << false; // 社員,
    QTest::newRow("utf-16 be") << QByteArray("\xFE\xFF\x79\x3E\x54\xE1\x00\x2C", 8) << false;
}

void TestCsv::detectsEncoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, cp932);
    QByteArray utf8;
    ECsvEncoding found = ECsvEncoding::Utf8Bom;
    QString error;
    QVERIFY2(CCsvCodec::DecodeToUtf8(bytes, utf8, found, error), qPrintable(error));
    QCOMPARE(found == ECsvEncoding::Cp932, cp932);
    QVERIFY(!utf8.startsWith("\xEF\xBB\xBF"));
    QVERIFY(!QString::fromUtf8(utf8).isEmpty());
}

void TestCsv::roundTrip_data()
{
    QTest::addColumn<bool>("cp932");
    QTest::newRow("utf-8") << false;
    QTest::newRow("shift_jis") << true;
}

// Exported, imported into an empty file and exported again: the same bytes.
void TestCsv::roundTrip()
{
    QFETCH(bool, cp932);
    const ECsvEncoding encoding = cp932 ? ECsvEncoding::Cp932 : ECsvEncoding::Utf8Bom;
    FillRegister();
    QTemporaryDir first, second;
    SCsvExportResult result;
    QString error;
    {
        CDaoDatabase db;
        db.Open(m_db->Path());
        QVERIFY2(CCsvExporter(db).Export(first.path(), encoding, result, error), qPrintable(error));
    }
    QCOMPARE(result.units, 5);
    QCOMPARE(result.employees, 4);
    const QByteArray unitBytes = ReadFile(QDir(first.path()).filePath(CCsvColumns::UnitsFileName()));
    const QByteArray employeeBytes = ReadFile(QDir(first.path()).filePath(CCsvColumns::EmployeesFileName()));
    QCOMPARE(unitBytes.startsWith("\xEF\xBB\xBF"), !cp932);

    m_db.reset();
    m_db = std::make_unique<CTempDatabase>();
    const SImport imported = Import(unitBytes, employeeBytes);
    QVERIFY2(imported.read, qPrintable(imported.error));
    QCOMPARE(imported.summary.Refused(), 0);
    QCOMPARE(imported.summary.unitsAdded, 5);
    QCOMPARE(imported.summary.employeesAdded, 4);
    {
        CDaoDatabase db;
        db.Open(m_db->Path());
        QVERIFY2(CCsvExporter(db).Export(second.path(), encoding, result, error), qPrintable(error));
    }
    QCOMPARE(ReadFile(QDir(second.path()).filePath(CCsvColumns::UnitsFileName())), unitBytes);
    QCOMPARE(ReadFile(QDir(second.path()).filePath(CCsvColumns::EmployeesFileName())), employeeBytes);

    QCOMPARE(Field(QStringLiteral("SELECT Mem FROM Mast01 WHERE Code = 1")),
             QStringLiteral("1行目\n2行目, \"引用\"\r\n3行目"));
    QCOMPARE(Field(QStringLiteral("SELECT Outdat FROM Mast01 WHERE Code = 1")), QStringLiteral("<null>"));
    QCOMPARE(Field(QStringLiteral("SELECT Busyo FROM Mast01 WHERE Code = 2")), QStringLiteral("0"));
    QCOMPARE(Field(QStringLiteral("SELECT Name FROM Mast01 WHERE Code = 3")), QStringLiteral(" 空白 "));
}

void TestCsv::badFile_data()
{
    QTest::addColumn<QByteArray>("units");
    QTest::addColumn<QByteArray>("employees");
    QTest::addColumn<QString>("message");

    const QByteArray fine = kEmployeeHeader + "1,山田,,男,,,,,,,,,,,,,\r\n";
    QTest::newRow("two headers for one column") << kUnitHeader << QByteArray("社員コード,社員番号\r\n1,1\r\n")
                                                << "見出し「社員コード」と「社員番号」がどちらも「社員コード」の列です";
    QTest::newRow("twice the same header")
        << kUnitHeader << QByteArray("社員コード,氏名,氏名\r\n") << "見出し「氏名」が二つあります";
    QTest::newRow("no code column") << kUnitHeader << QByteArray("氏名\r\n山田\r\n")
                                    << "見出し「社員コード」の列がありません";
    QTest::newRow("no path column") << QByteArray("会社コード,名前\r\n1,A\r\n") << fine
                                    << "見出し「部課パス」の列がありません";
    QTest::newRow("truncated in quotes") << kUnitHeader << fine + "2,\"山田,,男,,,,,,,,,,,,,\r\n"
                                         << "3 行目から始まる引用符";
    QTest::newRow("stray quote") << kUnitHeader << fine + "2,山\"田,,男,,,,,,,,,,,,,\r\n"
                                 << "3 行目";
    QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << fine << "バイナリ";
    QTest::newRow("neither encoding") << kUnitHeader << QByteArray("\xFF\xFE\xFD,\x80\r\n") << "文字コードを判別できません";
    QTest::newRow("empty") << QByteArray() << fine << "見出し行がありません";
    QTest::newRow("utf-16 without its mark")
        << kUnitHeader
        << QByteArray("\x3E\x79\xE1\x54\xB3\x30\xFC\x30\xC9\x30\x2C\x00\x0F\x6C\x0D\x54\x0D\x00\x0A\x00\x31\x00\x2C\x00"
                      "\x71\x5C\x30\x75\x0D\x00\x0A\x00",
                      32)
        << "UTF-16 のファイルですが、先頭に BOM がない";
    QTest::newRow("marked utf-8 with a bad byte")
        << kUnitHeader << QByteArray("\xEF\xBB\xBF") + kEmployeeHeader + "1,\x82\xA0,,男,,,,,,,,,,,,,\r\n"
        << "UTF-8 として読めない文字があります";
    QTest::newRow("utf-32") << kUnitHeader << QByteArray("\xFF\xFE\0\0\x3E\x79\0\0", 8) << "UTF-32 のファイルは読めません";
    QTest::newRow("euc-jp") << kUnitHeader
                            << QByteArray("\xBC\xD2\xB0\xF7\xA5\xB3\xA1\xBC\xA5\xC9\x2C\xBB\xE1\xCC\xBE\x0D\x0A\x31\x2C"
                                          "\xBB\xB3\xC5\xC4\x0D\x0A")
                            << "EUC-JP のファイルは読めません";
    QTest::newRow("a quoted field of a megabyte")
        << kUnitHeader << kEmployeeHeader + "1,\"" + QByteArray(1 << 20, 'x') + "\",,男,,,,,,,,,,,,,\r\n"
        << "2 行目 2 列目: 文字が長すぎます（32767 文字まで）";
    QByteArray shortRows = kEmployeeHeader;
    for (int i = 0; i < 1000000; ++i)
        shortRows += "1,a\r\n";
    QTest::newRow("more rows than memory allows") << kUnitHeader << shortRows << "大きすぎます（読み込むとメモリを";
}

void TestCsv::limitsAtTheirEdges_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("refusal"); // empty: read

    QByteArray wide = "a";
    for (int i = 1; i < CCsvTable::MaxFields; ++i)
        wide += ",a";
    QTest::newRow("256 columns") << wide + "\r\n" << QString();
    QTest::newRow("257 columns") << wide + ",a\r\n"
                                 << "1 行目: 列が多すぎます（256 列まで）";
    const QByteArray longest = QString(CReadBudget::MaxCellLength, QChar(u'あ')).toUtf8();
    QTest::newRow("a cell of 32,767") << "h,h\r\n1," + longest + "\r\n" << QString();
    QTest::newRow("a cell of 32,768") << "h,h\r\n1," + longest + "x\r\n"
                                      << "2 行目 2 列目: 文字が長すぎます";
    QByteArray rows = "h,h\r\n";
    for (qsizetype i = 1; i < CCsvTable::MaxRecords; ++i)
        rows += ",\r\n";
    QTest::newRow("1,048,576 rows") << rows << QString();
    QTest::newRow("1,048,577 rows") << rows + ",\r\n"
                                    << "行が多すぎます（見出しを除いて 1048576 行まで）";
}

// Columns, cells and rows are read up to their limits and refused one past them (the rows
// without the memory budget, which a file of a million rows meets first).
void TestCsv::limitsAtTheirEdges()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, refusal);
    QList<SCsvRecord> records;
    QString error;
    const bool read = CCsvTable::Parse(text, records, error);
    QVERIFY2(read == refusal.isEmpty(), qPrintable(error));
    if (!read) {
        QVERIFY2(error.contains(refusal), qPrintable(error));
        QVERIFY(records.isEmpty());
        return;
    }
    QCOMPARE(records.size(), qsizetype(text.count('\n')));
    QCOMPARE(records.constLast().fields.size(), records.constFirst().fields.size());
    const QString last = records.constLast().fields.constLast();
    QVERIFY(last.size() == CReadBudget::MaxCellLength || last.size() <= 1);
}

void TestCsv::badFile()
{
    QFETCH(QByteArray, units);
    QFETCH(QByteArray, employees);
    QFETCH(QString, message);
    FillRegister();
    const SImport result = Import(units, employees);
    QVERIFY(!result.read);
    QVERIFY2(result.error.contains(message), qPrintable(result.error));
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00")), 5);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01")), 4);
}

void TestCsv::refusedRows_data()
{
    QTest::addColumn<QByteArray>("units");
    QTest::addColumn<QByteArray>("employees");
    QTest::addColumn<QString>("where"); // file, line and column of the one refusal
    QTest::addColumn<QString>("reason");

    const QByteArray company = kUnitHeader + "5,本社,本社,,,,,\r\n";
    QTest::newRow("no such day") << company << kEmployeeHeader + "1,山田,,男,2023-02-29,,,,,,,,,,,,\r\n"
                                 << "社員.csv 2 生年月日"
                                 << "存在しない日付";
    QTest::newRow("sex") << company << kEmployeeHeader + "1,山田,,X,,,,,,,,,,,,,\r\n"
                         << "社員.csv 2 性別"
                         << "「男」か「女」";
    QTest::newRow("code") << company << kEmployeeHeader + "一,山田,,男,,,,,,,,,,,,,\r\n"
                          << "社員.csv 2 社員コード"
                          << "整数ではありません";
    QTest::newRow("code 0") << company << kEmployeeHeader + "0,山田,,男,,,,,,,,,,,,,\r\n"
                            << "社員.csv 2 社員コード"
                            << "社員コードは 1 から 999999999 までの整数です。";
    QTest::newRow("code of ten digits") << company << kEmployeeHeader + "1000000000,山田,,男,,,,,,,,,,,,,\r\n"
                                        << "社員.csv 2 社員コード"
                                        << "範囲外の社員コードです（1〜999999999）";
    QTest::newRow("unknown department") << company << kEmployeeHeader + "1,山田,,男,,,,,,,,,本社/営業部,,,,\r\n"
                                        << "社員.csv 2 所属"
                                        << "「本社/営業部」の「営業部」がありません";
    QTest::newRow("code twice") << company << kEmployeeHeader + "1,山田,,男,,,,,,,,,,,,,\r\n1,田中,,男,,,,,,,,,,,,,\r\n"
                                << "社員.csv 3 社員コード"
                                << "2 行目にもあります";
    QTest::newRow("empty name in unit") << company << kEmployeeHeader + "1,山田,,男,,,,,,,,,本社//営業部,,,,\r\n"
                                        << "社員.csv 2 所属"
                                        << "空の名前";
    QTest::newRow("unknown company") << company << kEmployeeHeader + "1,山田,,男,,,,,,,,,別社/営業部,,,,\r\n"
                                     << "社員.csv 2 所属"
                                     << "会社「別社」がありません";
    QTest::newRow("too long") << company << kEmployeeHeader + "1," + QByteArray(61, 'x') + ",,男,,,,,,,,,,,,,\r\n"
                              << "社員.csv 2 氏名"
                              << "60 文字まで";
    QTest::newRow("columns short") << company << kEmployeeHeader + "1,山田\r\n"
                                   << "社員.csv 2 "
                                   << "列の数";
    QTest::newRow("empty path") << company + "5,,,,,,,\r\n"
                                << kEmployeeHeader << "部課.csv 3 部課パス"
                                << "部課パスが空";
    QTest::newRow("unit twice") << company + "5,本社/営業部,,,,,,\r\n5,本社/営業部,,,,,,\r\n"
                                << kEmployeeHeader << "部課.csv 4 部課パス"
                                << "3 行目にもあります";
    QTest::newRow("other company name") << company + "5,他社/営業部,,,,,,\r\n"
                                        << kEmployeeHeader << "部課.csv 3 部課パス"
                                        << "会社名「本社」と違います";
    QTest::newRow("name not the path's") << company + "5,本社/営業部,総務部,,,,,\r\n"
                                         << kEmployeeHeader << "部課.csv 3 名前"
                                         << "最後の名前「営業部」と違います";
    QTest::newRow("company code") << kUnitHeader + "x,本社,,,,,,\r\n"
                                  << kEmployeeHeader << "部課.csv 2 会社コード"
                                  << "整数ではありません";
    QTest::newRow("year out of range") << company << kEmployeeHeader + "1,山田,,男,0099-12-31,,,,,,,,,,,,\r\n"
                                       << "社員.csv 2 生年月日"
                                       << "「0099-12-31」は扱える年（100 年から 9999 年まで）の範囲外です。";
    QTest::newRow("escape sequence shown, not sent") << company << kEmployeeHeader + "1,山田,,\x1b[2J\tM,,,,,,,,,,,,,\r\n"
                                                     << "社員.csv 2 性別"
                                                     << "「\\x1B[2J\\tM」";
    QTest::newRow("empty name") << company << kEmployeeHeader + "1,,,男,,,,,,,,,,,,,\r\n"
                                << "社員.csv 2 氏名"
                                << "氏名が空です";
    QTest::newRow("long cell cut") << company << kEmployeeHeader + QByteArray(50, '9') + "x,山田,,男,,,,,,,,,,,,,\r\n"
                                   << "社員.csv 2 社員コード"
                                   << "「" + QString(40, QLatin1Char('9')) + "…」は整数ではありません";
}

// A refused row is named with its line, column and reason; the rest goes in.
void TestCsv::refusedRows()
{
    QFETCH(QByteArray, units);
    QFETCH(QByteArray, employees);
    QFETCH(QString, where);
    QFETCH(QString, reason);
    const SImport result = Import(units, employees + "99,残る人,,女,,,,,,,,,,,,,\r\n");
    QVERIFY2(result.read, qPrintable(result.error));
    QCOMPARE(result.summary.Refused(), 1);
    const SCsvRefusal &refusal = result.summary.refusals.constFirst();
    QCOMPARE(QStringLiteral("%1 %2 %3").arg(refusal.file).arg(refusal.line).arg(refusal.column), where);
    QVERIFY2(refusal.reason.contains(reason), qPrintable(refusal.reason));
    QVERIFY(result.summary.Text(10).contains(refusal.reason));
    for (const QChar c : refusal.reason)
        QVERIFY2(c >= QChar(0x20), qPrintable(refusal.reason)); // nothing a terminal would act on
    QCOMPARE(Field(QStringLiteral("SELECT Name FROM Mast01 WHERE Code = 99")), QStringLiteral("残る人"));
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01 WHERE Code <> 99")), result.summary.employeesAdded - 1);
}

void TestCsv::existingEmployees_data()
{
    QTest::addColumn<bool>("skip");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tel");
    QTest::newRow("update") << false << "新しい名前"
                            << "099";
    QTest::newRow("skip") << true << "古い名前"
                          << "011";
}

void TestCsv::existingEmployees()
{
    QFETCH(bool, skip);
    QFETCH(QString, name);
    QFETCH(QString, tel);
    CRegisterBuilder::AddUnit({.code = 5, .name = QStringLiteral("本社"), .tel = QStringLiteral("011")});
    CRegisterBuilder::AddEmployee(Complete({1, 0, QStringLiteral("古い名前")}));
    const SImport result = Import(kUnitHeader + "5,本社,本社,,,,099,\r\n",
                                  kEmployeeHeader + "1,新しい名前,,男,,,,,,,,,,,,,\r\n2,新人,,女,,,,,,,,,,,,,\r\n",
                                  skip ? CCsvImporter::EExisting::Skip : CCsvImporter::EExisting::Update);
    QCOMPARE(result.summary.Refused(), 0);
    QCOMPARE(result.summary.employeesAdded, 1);
    QCOMPARE(result.summary.employeesUpdated, skip ? 0 : 1);
    QCOMPARE(result.summary.employeesSkipped, skip ? 1 : 0);
    QCOMPARE(Field(QStringLiteral("SELECT Name FROM Mast01 WHERE Code = 1")), name);
    QCOMPARE(Field(QStringLiteral("SELECT TEL FROM Mast00 WHERE Code = 5")), tel);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01")), 2);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00")), 1);
}

// An update from a file with fewer columns changes only those columns.
void TestCsv::missingColumnsKeepValues()
{
    FillRegister();
    const SImport result = Import(std::nullopt, "社員コード,TEL\r\n1,0120-000\r\n");
    QCOMPARE(result.summary.employeesUpdated, 1);
    QCOMPARE(Field(QStringLiteral("SELECT TEL FROM Mast01 WHERE Code = 1")), QStringLiteral("0120-000"));
    QCOMPARE(Field(QStringLiteral("SELECT Sdate FROM Mast01 WHERE Code = 1")).left(10), QStringLiteral("1989-01-07"));
    QVERIFY(Field(QStringLiteral("SELECT Busyo FROM Mast01 WHERE Code = 1")) != QStringLiteral("0"));
}

// Units named only in a path are made, once, under the right parents, when asked for.
void TestCsv::unitsFromPaths()
{
    const SImport result = Import(kUnitHeader + "5,本社/営業部/一課,一課,,,,,\r\n",
                                  kEmployeeHeader
                                      + "1,山田,,男,,,,,,,,,本社/営業部/二課,,,,\r\n"
                                        "2,田中,,男,,,,,,,,,本社/営業部/一課,,,,\r\n",
                                  CCsvImporter::EExisting::Update, CCsvImporter::EMissingUnits::Create);
    QCOMPARE(result.summary.Refused(), 0);
    QCOMPARE(result.summary.unitsAdded, 4);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00 WHERE Code = 5")), 4);
    QCOMPARE(Field(QStringLiteral("SELECT u.Name FROM Mast01 e JOIN Mast00 u ON u.ID = e.Busyo WHERE e.Code = 1")),
             QStringLiteral("二課"));
    QCOMPARE(Field(QStringLiteral("SELECT p.Name FROM Mast01 e JOIN Mast00 u ON u.ID = e.Busyo "
                                  "JOIN Mast00 p ON p.ID = u.Parent WHERE e.Code = 2")),
             QStringLiteral("営業部"));
}

void TestCsv::missingUnitRefused_data()
{
    QTest::addColumn<bool>("create");
    QTest::newRow("refused") << false;
    QTest::newRow("created on request") << true;
}

// An employee line naming a unit that is not there is refused, by line and path,
// unless the user chose to make the missing units.
void TestCsv::missingUnitRefused()
{
    QFETCH(bool, create);
    CRegisterBuilder::AddUnit({0, 5, QStringLiteral("本社")});
    const SImport result = Import(std::nullopt,
                                  kEmployeeHeader
                                      + "1,山田,,男,,,,,,,,,本社,,,,\r\n"
                                        "2,田中,,男,,,,,,,,,本社/営業布,,,,\r\n",
                                  CCsvImporter::EExisting::Update,
                                  create ? CCsvImporter::EMissingUnits::Create : CCsvImporter::EMissingUnits::Refuse);
    QCOMPARE(result.summary.Refused(), create ? 0 : 1);
    QCOMPARE(result.summary.missingUnitRows, create ? 0 : 1);
    QCOMPARE(result.summary.unitsAdded, create ? 1 : 0);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00")), create ? 2 : 1);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01")), create ? 2 : 1);
    if (!create) {
        const SCsvRefusal &refusal = result.summary.refusals.constFirst();
        QCOMPARE(QStringLiteral("%1 %2 %3").arg(refusal.file).arg(refusal.line).arg(refusal.column),
                 QStringLiteral("社員.csv 3 所属"));
        QVERIFY2(refusal.reason.contains(QStringLiteral("「本社/営業布」の「営業布」がありません")),
                 qPrintable(refusal.reason));
    }
}

// Read back as written, with one name changed: one row updated, the rest unchanged and not written.
void TestCsv::unchangedRowsCounted()
{
    FillRegister();
    QByteArray units, employees;
    {
        CDaoDatabase db;
        db.Open(m_db->Path());
        CCsvExporter(db).Build(units, employees);
    }
    employees.replace("昭和 最後", "平成 最初");
    CDaoDatabase db;
    db.Open(m_db->Path());
    CCsvImporter importer(db);
    QString error;
    QVERIFY2(importer.ReadData(units, employees, error), qPrintable(error));
    const SCsvImportSummary summary = importer.Plan(CCsvImporter::EExisting::Update);
    QCOMPARE(summary.Refused(), 0);
    QCOMPARE(summary.employeesUpdated, 1);
    QCOMPARE(summary.employeesUnchanged, 3);
    QCOMPARE(summary.unitsUpdated, 0);
    QVERIFY2(summary.Text(0).contains(QStringLiteral("社員: 追加 0 人、更新 1 人、変更なし 3 人")),
             qPrintable(summary.Text(0)));
    QCOMPARE(importer.WorkSize(), 1);
    QVERIFY(importer.Apply());
    QCOMPARE(Field(QStringLiteral("SELECT Name FROM Mast01 WHERE Code = 1")), QStringLiteral("平成 最初"));
}

void TestCsv::ambiguousUnitRefused()
{
    CRegisterBuilder::AddUnit({0, 1, QStringLiteral("同名")});
    CRegisterBuilder::AddUnit({0, 2, QStringLiteral("同名")});
    const SImport result = Import(std::nullopt, kEmployeeHeader + "1,山田,,男,,,,,,,,,同名,,,,\r\n");
    QCOMPARE(result.summary.Refused(), 1);
    QVERIFY(result.summary.refusals.constFirst().reason.contains(QStringLiteral("一つに決まりません")));
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01")), 0);
}

void TestCsv::cancelWritesNothing()
{
    QByteArray employees = kEmployeeHeader;
    for (int code = 1; code <= 600; ++code)
        employees += QByteArray::number(code) + ",名前,,男,,,,,,,,,本社/部,,,,\r\n";
    CDaoDatabase db;
    db.Open(m_db->Path());
    CCsvImporter importer(db);
    QString error;
    QVERIFY(importer.ReadData(kUnitHeader + "5,本社,,,,,,\r\n", employees, error));
    importer.Plan(CCsvImporter::EExisting::Update, CCsvImporter::EMissingUnits::Create);
    QCOMPARE(importer.WorkSize(), 602);
    QSignalSpy changes(&CRegister::Instance(), &CRegister::Changed);
    QList<int> seen;
    QVERIFY(!importer.Apply([&seen](int done, int) {
        seen << done;
        return done < 512;
    }));
    QCOMPARE(seen, (QList<int>{0, 256, 512}));
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00")), 0);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01")), 0);
    QCOMPARE(changes.count(), 0);
    // Tried again, the same plan writes whole: no unit keeps an ID from the undone write.
    QVERIFY(importer.Apply());
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01 WHERE Busyo IN (SELECT ID FROM Mast00 WHERE Parent <> 0)")),
             600);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).value<SRegisterChange>().kind, SRegisterChange::EKind::everything);
}

// A database error halfway leaves the units written before it undone too.
void TestCsv::failureRollsBack()
{
    CDaoDatabase db;
    db.Open(m_db->Path());
    CCsvImporter importer(db);
    QString error;
    QVERIFY(
        importer.ReadData(kUnitHeader + "5,本社/営業部,,,,,,\r\n", kEmployeeHeader + "1,山田,,男,,,,,,,,,,,,,\r\n", error));
    importer.Plan(CCsvImporter::EExisting::Update);
    {
        QSqlQuery q(db.Connection());
        QVERIFY(q.exec(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON Mast01 "
                                      "BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    }
    QSignalSpy changes(&CRegister::Instance(), &CRegister::Changed);
    QVERIFY_THROWS_EXCEPTION(CDaoException, importer.Apply());
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00")), 0);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01")), 0);
    QCOMPARE(changes.count(), 0);
}

void TestCsv::importOnTheSharedConnection_data()
{
    QTest::addColumn<int>("stopAt"); // progress step that cancels; 0 for none
    QTest::addColumn<QList<int>>("seenInside");
    QTest::addColumn<int>("employeesAfter");
    QTest::newRow("committed") << 0 << QList<int>{255, 511, 601} << 601;
    QTest::newRow("cancelled") << 512 << QList<int>{255, 511} << 1;
}

// The windows' sets share the import's connection: inside the transaction they
// read what it wrote so far, and afterwards all of it or, cancelled, none.
void TestCsv::importOnTheSharedConnection()
{
    QFETCH(int, stopAt);
    QFETCH(QList<int>, seenInside);
    QFETCH(int, employeesAfter);
    CMast01 window;
    window.Open();
    CRegisterBuilder::AddEmployee(window, Complete({1000, 0, QStringLiteral("先客")}));
    auto count = [&window] {
        window.Requery();
        int n = 0;
        for (bool found = window.FindFirst(QStringLiteral("Code > 0")); found;
             found = window.FindNext(QStringLiteral("Code > 0")))
            ++n;
        return n;
    };
    QCOMPARE(count(), 1);

    QByteArray employees = kEmployeeHeader;
    for (int code = 1; code <= 600; ++code)
        employees += QByteArray::number(code) + ",名前,,男,,,,,,,,,本社/部,,,,\r\n";
    const auto db = CDaoDatabasePool::Acquire(m_db->Path());
    QCOMPARE(db.get(), window.m_pDatabase);
    CCsvImporter importer(*db);
    QString error;
    QVERIFY(importer.ReadData(kUnitHeader + "5,本社,,,,,,\r\n", employees, error));
    importer.Plan(CCsvImporter::EExisting::Update, CCsvImporter::EMissingUnits::Create);
    QList<int> seen;
    const bool written = importer.Apply([&](int done, int) {
        if (done > 0)
            seen << count();
        return stopAt == 0 || done < stopAt;
    });
    QCOMPARE(written, stopAt == 0);
    QCOMPARE(seen, seenInside);
    QCOMPARE(count(), employeesAfter);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01")), employeesAfter);
}

void TestCsv::exportRefusesUnwritableCharacter()
{
    FillRegister();
    CRegisterBuilder::AddEmployee(Complete({50, 0, QStringLiteral("絵文字😀")}));
    QTemporaryDir folder;
    SCsvExportResult result;
    QString error;
    CDaoDatabase db;
    db.Open(m_db->Path());
    QVERIFY(!CCsvExporter(db).Export(folder.path(), ECsvEncoding::Cp932, result, error));
    QVERIFY2(error.contains(QStringLiteral("社員.csv の 8 行目の文字「😀」")), qPrintable(error));
    QVERIFY(QDir(folder.path()).entryList(QDir::Files).isEmpty());
    QVERIFY(CCsvExporter(db).Export(folder.path(), ECsvEncoding::Utf8Bom, result, error));
}

void TestCsv::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");

    QTest::newRow("no folder") << QStringList{"--encoding", "cp932"} << 2 << "どちらか一つ";
    QTest::newRow("both") << QStringList{"--export-csv", "a", "--import-csv", "b"} << 2 << "どちらか一つ";
    QTest::newRow("no value") << QStringList{"--export-csv"} << 2 << "値がありません";
    QTest::newRow("unknown") << QStringList{"--export-csv", "a", "--fast"} << 2 << "知らない引数";
    QTest::newRow("encoding") << QStringList{"--export-csv", "a", "--encoding", "euc-jp"} << 2 << "euc-jp";
    QTest::newRow("no database") << QStringList{"--export-csv", "a", "--database", "/nonexistent/x.mdb"} << 1
                                 << "見つかりません";
    QTest::newRow("no files") << QStringList{"--import-csv", ".", "--database", "DB"} << 1
                              << "部課.csv も 社員.csv もありません";
}

void TestCsv::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, message);
    arguments.replaceInStrings(QRegularExpression(QStringLiteral("^DB$")), m_db->Path());
    QTemporaryDir work;
    const QString before = QDir::currentPath();
    QDir::setCurrent(work.path());
    QString err;
    const int result = RunCommand(arguments, nullptr, &err);
    QDir::setCurrent(before);
    QCOMPARE(result, status);
    QVERIFY2(err.contains(message), qPrintable(err));
    QVERIFY(QDir(work.path()).entryList(QDir::Files | QDir::NoDotAndDotDot).isEmpty());
}

// A script's import with a unit that is not there writes nothing unless told to make it.
void TestCsv::commandLineCreatesUnits()
{
    CRegisterBuilder::AddUnit({0, 5, QStringLiteral("本社")});
    QTemporaryDir folder;
    WriteFile(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()),
              kEmployeeHeader + "1,山田,,男,,,,,,,,,本社/新部,,,,\r\n");
    QString text, err;
    QCOMPARE(RunCommand({"--import-csv", folder.path(), "--database", m_db->Path()}, &text, &err), 1);
    QVERIFY2(err.contains(QStringLiteral("--create-units")), qPrintable(err));
    QVERIFY2(text.contains(QStringLiteral("社員.csv 2 行目「所属」: 部課パス「本社/新部」の「新部」がありません")),
             qPrintable(text));
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00")), 1);
    QCOMPARE(RunCommand({"--import-csv", folder.path(), "--database", m_db->Path(), "--create-units"}, &text, &err), 0);
    QCOMPARE(Field(QStringLiteral("SELECT u.Name FROM Mast01 e JOIN Mast00 u ON u.ID = e.Busyo WHERE e.Code = 1")),
             QStringLiteral("新部"));
}

void TestCsv::commandLineRoundTrip()
{
    FillRegister();
    QTemporaryDir folder;
    const QString out = QDir(folder.path()).filePath(QStringLiteral("出力"));
    QString text, err;
    QCOMPARE(RunCommand({"--export-csv", out, "--database", m_db->Path(), "--encoding", "cp932"}, &text, &err), 0);
    QVERIFY(text.contains(QStringLiteral("部課 5 件、社員 4 人")));
    QVERIFY(!ReadFile(QDir(out).filePath(CCsvColumns::EmployeesFileName())).startsWith("\xEF\xBB\xBF"));

    // A refused row keeps a script's import out entirely.
    const QString bad = QDir(folder.path()).filePath(QStringLiteral("不正"));
    QVERIFY(QDir().mkpath(bad));
    QVERIFY(
        QFile::copy(QDir(out).filePath(CCsvColumns::UnitsFileName()), QDir(bad).filePath(CCsvColumns::UnitsFileName())));
    QFile employees(QDir(bad).filePath(CCsvColumns::EmployeesFileName()));
    QVERIFY(employees.open(QIODevice::WriteOnly));
    employees.write(ReadFile(QDir(out).filePath(CCsvColumns::EmployeesFileName())));
    employees.write(
        "77,\x8E\x52\x93\x63,,\x92\x6A,2023-02-29,,,,,,,,,,,,,\r\n"); // the ID column left empty // 山田, 男 in Shift_JIS
    employees.close();
    CTempDatabase empty;
    QCOMPARE(RunCommand({"--import-csv", bad, "--database", empty.Path()}, &text, &err), 1);
    QVERIFY2(text.contains(QStringLiteral("社員.csv 8 行目「生年月日」")), qPrintable(text));
    QVERIFY(err.contains(QStringLiteral("何も書き込んでいません")));
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00")), 0);

    QCOMPARE(RunCommand({"--import-csv", out, "--database", empty.Path()}, &text, &err), 0);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01")), 4);
    QCOMPARE(RunCommand({"--import-csv", out, "--database", empty.Path(), "--skip-existing"}, &text, &err), 0);
    QVERIFY2(text.contains(QStringLiteral("社員: 追加 0 人、更新 0 人、変更なし 0 人、読み飛ばし 4 人")), qPrintable(text));
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01")), 4);
}

void TestCsv::importIntoNewFile_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::newRow("whole register") << "good"
                                    << "新規.mdb" << 0 << "新しいデータベース";
    QTest::newRow("refused row") << "bad"
                                 << "新規.mdb" << 1 << "何も書き込んでいません";
    QTest::newRow("no files") << "empty"
                              << "新規.mdb" << 1 << "部課.csv も 社員.csv もありません";
    QTest::newRow("folder missing") << "good"
                                    << "無い/新規.mdb" << 1 << "何も書き込んでいません";
}

// A register carried to another machine starts there without a database file.
void TestCsv::importIntoNewFile()
{
    QFETCH(QString, source);
    QFETCH(QString, target);
    QFETCH(int, status);
    QFETCH(QString, message);
    FillRegister();
    QTemporaryDir folder;
    const QString good = QDir(folder.path()).filePath(QStringLiteral("good"));
    QCOMPARE(RunCommand({"--export-csv", good, "--database", m_db->Path()}), 0);
    const QString bad = QDir(folder.path()).filePath(QStringLiteral("bad"));
    QVERIFY(QDir().mkpath(bad));
    QFile employees(QDir(bad).filePath(CCsvColumns::EmployeesFileName()));
    QVERIFY(employees.open(QIODevice::WriteOnly));
    employees.write(ReadFile(QDir(good).filePath(CCsvColumns::EmployeesFileName())));
    employees.write("77,山田,,男,2023-02-29,,,,,,,,,,,,,\r\n"); // the ID column left empty
    employees.close();
    QVERIFY(QDir().mkpath(QDir(folder.path()).filePath(QStringLiteral("empty"))));

    const QString database = QDir(folder.path()).filePath(target);
    // What a killed import into the same file left: filled under another name, never the register's.
    const QString filling = database + QStringLiteral(".importing");
    if (QFileInfo(database).absoluteDir().exists()) {
        WriteFile(filling, QByteArray("half"));
        WriteFile(filling + QStringLiteral("-journal"), QByteArray("journal"));
    }
    QString text, err;
    const int result = RunCommand({"--import-csv", QDir(folder.path()).filePath(source), "--database", database}, &text,
                                  &err);
    QCOMPARE(result, status);
    QVERIFY2((text + err).contains(message), qPrintable(text + err));
    QCOMPARE(QFileInfo::exists(database), status == 0);
    QVERIFY(!QFileInfo::exists(filling));
    QVERIFY(!QFileInfo::exists(filling + QStringLiteral("-journal")));
    QVERIFY(!QFileInfo::exists(CDatabaseBackup::FolderOf(database)));
    if (status == 0) {
        CDaoDatabase db;
        db.Open(database);
        QSqlQuery q(db.Connection());
        QVERIFY(q.exec(QStringLiteral("SELECT (SELECT count(*) FROM Mast00), (SELECT count(*) FROM Mast01)")) && q.next());
        QCOMPARE(q.value(0).toInt(), 5);
        QCOMPARE(q.value(1).toInt(), 4);
    }
}

// A script's import is a writer like the window: the day's backup comes before its first write.
void TestCsv::commandLineImportBacksUpFirst()
{
    FillRegister();
    QTemporaryDir folder;
    const QString csv = QDir(folder.path()).filePath(QStringLiteral("csv"));
    QCOMPARE(RunCommand({"--export-csv", csv, "--database", m_db->Path()}), 0);
    QVERIFY(CDatabaseBackup::List(m_db->Path()).isEmpty()); // reading writes nothing
    QFile employees(QDir(csv).filePath(CCsvColumns::EmployeesFileName()));
    QVERIFY(employees.open(QIODevice::Append));
    employees.write("88,新人,,女,,,,,,,,,,,,,,\r\n"); // the ID column left empty
    employees.close();

    QString text, err;
    QCOMPARE(RunCommand({"--import-csv", csv, "--database", m_db->Path()}, &text, &err), 0);
    const QStringList backups = CDatabaseBackup::List(m_db->Path());
    QCOMPARE(backups.size(), 1);
    const SBackupInfo before = CDatabaseBackup::Inspect(backups.constFirst());
    QVERIFY2(before.Ok(), qPrintable(before.problem));
    QCOMPARE(before.employees, 4);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01")), 5);
    QCOMPARE(RunCommand({"--import-csv", csv, "--database", m_db->Path()}), 0);
    QCOMPARE(CDatabaseBackup::List(m_db->Path()).size(), 1); // once a day
}

// Files that hold nothing the register lacks: no write, and so no backup before one.
void TestCsv::commandLineImportOfNothingNewKeepsNoBackup()
{
    FillRegister();
    QTemporaryDir folder;
    const QString csv = QDir(folder.path()).filePath(QStringLiteral("csv"));
    QCOMPARE(RunCommand({"--export-csv", csv, "--database", m_db->Path()}), 0);
    QString text, err;
    QCOMPARE(RunCommand({"--import-csv", csv, "--database", m_db->Path()}, &text, &err), 0);
    QVERIFY2(text.contains(QStringLiteral("変更なし")), qPrintable(text));
    QVERIFY(CDatabaseBackup::List(m_db->Path()).isEmpty());
}

// Neither on success nor on a URI it cannot read does the command line print a password.
void TestCsv::commandLineNeverShowsAPassword()
{
    const QString uri = TestServerUri();
    if (uri.isEmpty())
        QSKIP("PostgreSQL not tested: set MORVEK_TEST_PGURI (scripts/test.sh starts a server)");
    ClearTestServer(uri);
    FillRegister();
    QTemporaryDir folder;
    const QString csv = QDir(folder.path()).filePath(QStringLiteral("csv"));
    QCOMPARE(RunCommand({"--export-csv", csv, "--database", m_db->Path()}), 0);
    QString text, err;
    QCOMPARE(RunCommand({"--import-csv", csv, "--database", uri}, &text, &err), 0);
    QVERIFY2(text.contains(QStringLiteral("新しいデータベース")), qPrintable(text + err));
    // The test server's password is its user's name too: only the password's own place is looked at.
    QVERIFY2(!(text + err).contains(QLatin1Char(':') + CServerUri::Password(uri) + QLatin1Char('@')),
             qPrintable(text + err));
    ClearTestServer(uri);

    QCOMPARE(RunCommand({"--import-csv", csv, "--database", "postgresql://morvek:Zq/9#x?@127.0.0.1:1/none"}, &text, &err),
             1);
    QVERIFY(!(text + err).contains(QStringLiteral("Zq")) && !(text + err).contains(QStringLiteral("9#x")));
    QVERIFY2(err.contains(QStringLiteral("postgresql://morvek@127.0.0.1:1/none")), qPrintable(err));
}

namespace {
// An employee row of kEmployeeHeader: code 1, 山田, 男, with the given cells.
QByteArray EmployeeRow(const QList<std::pair<int, QString>> &cells)
{
    QStringList fields(CCsvColumns::EmpEmail + 1);
    fields[CCsvColumns::EmpCode] = QStringLiteral("1");
    fields[CCsvColumns::EmpName] = QStringLiteral("山田");
    fields[CCsvColumns::EmpSex] = QStringLiteral("男");
    for (const auto &[column, text] : cells)
        fields[column] = text;
    return fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
}
} // namespace

// A staff list made by another program: its own headers, 男性/女性, bare department
// names, and a column the register has no place for.
void TestCsv::fullWidthHeaders_data()
{
    QTest::addColumn<QString>("header");
    QTest::addColumn<int>("column");
    QTest::newRow("氏名（カナ）") << QStringLiteral("氏名（カナ）") << int(CCsvColumns::EmpKana);
    QTest::newRow("ＦＡＸ番号") << QStringLiteral("ＦＡＸ番号") << int(CCsvColumns::EmpFax);
    QTest::newRow("ＴＥＬ") << QStringLiteral("ＴＥＬ") << int(CCsvColumns::EmpTel);
    QTest::newRow("Ｅ－ｍａｉｌ") << QStringLiteral("Ｅ－ｍａｉｌ") << int(CCsvColumns::EmpEmail);
    QTest::newRow("社員ＮＯ") << QStringLiteral("社員ＮＯ") << int(CCsvColumns::EmpCode);
    QTest::newRow("住所（２）") << QStringLiteral("住所（２）") << int(CCsvColumns::EmpJuu2);
    QTest::newRow("氏名 with an ideographic space") << QStringLiteral("氏　名") << int(CCsvColumns::EmpName);
}

// Headers typed with full-width letters, digits and brackets are the same columns.
void TestCsv::fullWidthHeaders()
{
    QFETCH(QString, header);
    QFETCH(int, column);
    QCOMPARE(CCsvColumnAliases::EmployeeColumn(header), column);
}

void TestCsv::codeTwiceWithAndWithoutId_data()
{
    QTest::addColumn<QByteArray>("rows");
    QTest::addColumn<int>("refusedLine"); // 0: none
    QTest::newRow("with ID, then without") << QByteArray("1,山田,5\r\n1,田中,\r\n") << 3;
    QTest::newRow("without ID, then with") << QByteArray("1,山田,\r\n1,田中,5\r\n") << 3;
    QTest::newRow("both without") << QByteArray("1,山田,\r\n1,田中,\r\n") << 3;
    QTest::newRow("two IDs") << QByteArray("1,山田,5\r\n1,田中,6\r\n") << 0;
}

// A code given twice is refused unless IDs tell the rows apart, in either order.
void TestCsv::codeTwiceWithAndWithoutId()
{
    QFETCH(QByteArray, rows);
    QFETCH(int, refusedLine);
    const SImport result = Import(std::nullopt, "社員コード,氏名,ID\r\n" + rows);
    QVERIFY2(result.read, qPrintable(result.error));
    QCOMPARE(result.summary.Refused(), refusedLine == 0 ? 0 : 1);
    if (refusedLine != 0) {
        const SCsvRefusal &refusal = result.summary.refusals.constFirst();
        QCOMPARE(refusal.line, refusedLine);
        QVERIFY2(refusal.reason.contains(QStringLiteral("2 行目にもあります")), qPrintable(refusal.reason));
    }
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01 WHERE Name = '田中'")), refusedLine == 0 ? 1 : 0);
}

void TestCsv::nameEmptiedOrKept_data()
{
    QTest::addColumn<QByteArray>("employees");
    QTest::addColumn<bool>("refused");
    QTest::addColumn<QString>("nameAfter"); // of code 1
    QTest::newRow("a new employee without the column") << QByteArray("社員コード,性別\r\n50,男\r\n") << true << "昭和 最後";
    QTest::newRow("an existing one without the column")
        << QByteArray("社員コード,性別\r\n1,女\r\n") << false << "昭和 最後";
    QTest::newRow("an existing name emptied") << QByteArray("社員コード,氏名\r\n1,\r\n") << true << "昭和 最後";
    QTest::newRow("an existing name of spaces") << QByteArray("社員コード,氏名\r\n1,\" 　\"\r\n") << true << "昭和 最後";
    // The register's nameless employee (another client wrote it) comes back as it is.
    QTest::newRow("one already without a name") << QByteArray("社員コード,氏名,性別\r\n11,,女\r\n") << false << "昭和 最後";
}

// A name is never emptied by an import, nor an employee added without one.
void TestCsv::nameEmptiedOrKept()
{
    QFETCH(QByteArray, employees);
    QFETCH(bool, refused);
    QFETCH(QString, nameAfter);
    FillRegister();
    CRegisterBuilder::AddEmployee({.code = 11});
    const SImport result = Import(std::nullopt, employees);
    QVERIFY2(result.read, qPrintable(result.error));
    QCOMPARE(result.summary.Refused(), refused ? 1 : 0);
    if (refused)
        QCOMPARE(result.summary.refusals.constFirst().column, QStringLiteral("氏名"));
    QCOMPARE(Field(QStringLiteral("SELECT Name FROM Mast01 WHERE Code = 1")), nameAfter);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01 WHERE Code = 50")), 0);
}

// A unit the import corrects has the correction in its history, as the form's would.
void TestCsv::unitCorrectionInHistory()
{
    FillRegister();
    const qint32 id = qint32(Count(QStringLiteral("SELECT ID FROM Mast00 WHERE Name = '総務部'")));
    const SImport result = Import(kUnitHeader + "7,\"ﾃｽﾄ商事, 本社/総務部\",,1000001,千代田区,,,\r\n", std::nullopt);
    QVERIFY2(result.read, qPrintable(result.error));
    QVERIFY2(result.summary.Refused() == 0, qPrintable(result.summary.Text(10)));
    QCOMPARE(result.summary.unitsUpdated, 1);
    QStringList edits;
    for (const SHistoryEntry &entry : CHistory::OfUnit(id))
        if (entry.what == SHistoryEntry::EWhat::unitEdited)
            edits << entry.strField + u'=' + entry.strNew;
    edits.sort();
    QCOMPARE(edits, (QStringList{QStringLiteral("Juu1=千代田区"), QStringLiteral("Yuu=1000001")}));
}

// Past 100,000 reasons the rest are counted, and each refused row still once.
void TestCsv::reasonsKeptAndCounted()
{
    QByteArray rows = "社員コード,氏名,性別,生年月日\r\n";
    for (int code = 1; code <= 60000; ++code)
        rows += QByteArray::number(code) + ",名,X,2023-02-29\r\n";
    const SImport result = Import(std::nullopt, rows);
    QVERIFY2(result.read, qPrintable(result.error));
    QCOMPARE(result.summary.Refused(), 60000);
    QCOMPARE(result.summary.refusals.size(), SCsvImportSummary::MaxKept);
    QCOMPARE(result.summary.unkeptRefusals, 120000 - SCsvImportSummary::MaxKept);
    QVERIFY(result.summary.Text(10).contains(QStringLiteral("ほか %1 件").arg(120000 - 10)));
}

void TestCsv::otherSystemsList()
{
    const qint32 company = CRegisterBuilder::AddUnit({0, 5, QStringLiteral("本社")});
    CRegisterBuilder::AddUnit({company, 5, QStringLiteral("営業部")});
    CRegisterBuilder::AddUnit({company, 5, QStringLiteral("総務部")});
    const SImport result = Import(
        std::nullopt,
        QByteArray("社員番号,氏名,フリガナ,性別,部署,入社日,退職日,郵便番号,住所,電話番号,メールアドレス,年齢\r\n"
                   "101,山田 太郎,ヤマダ タロウ,男性,営業部,2020/4/1,,060-0001,札幌市,011-222-3333,y@example.jp,45\r\n"
                   "102,佐藤 花子,サトウ ハナコ,女性,総務部,令和2年4月1日,R6.3.31,1000001,千代田区,03-1111-2222,s@"
                   "example.jp,30\r\n"));
    QVERIFY2(result.read, qPrintable(result.error));
    QVERIFY2(result.summary.Refused() == 0, qPrintable(result.summary.Text(10)));
    QCOMPARE(result.summary.employeesAdded, 2);
    QCOMPARE(result.summary.skippedColumns, QStringList{QStringLiteral("社員.csv「年齢」")});
    QVERIFY(result.summary.warnings.isEmpty());
    QVERIFY(result.summary.Text(10).contains(QStringLiteral("取り込まない列: 社員.csv「年齢」")));
    QCOMPARE(Field(QStringLiteral("SELECT u.Name FROM Mast01 e JOIN Mast00 u ON u.ID = e.Busyo WHERE e.Code = 102")),
             QStringLiteral("総務部"));
    QCOMPARE(Field(QStringLiteral("SELECT Kana FROM Mast01 WHERE Code = 102")), QStringLiteral("サトウ ハナコ"));
    QCOMPARE(Field(QStringLiteral("SELECT Juu1 FROM Mast01 WHERE Code = 102")), QStringLiteral("千代田区"));
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01 WHERE Outdat IS NOT NULL")), 1);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01 WHERE Code = 102 AND Sex <> 0")), 1);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01 WHERE Code = 101 AND Sex = 0")), 1);
    QCOMPARE(Field(QStringLiteral("SELECT Email FROM Mast01 WHERE Code = 101")), QStringLiteral("y@example.jp"));
    QCOMPARE(Field(QStringLiteral("SELECT Yuu FROM Mast01 WHERE Code = 101")), QStringLiteral("060-0001"));
    QCOMPARE(Field(QStringLiteral("SELECT TEL FROM Mast01 WHERE Code = 102")), QStringLiteral("03-1111-2222"));
}

void TestCsv::rowWarnings_data()
{
    QTest::addColumn<QByteArray>("units");
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("reason");

    QTest::newRow("blank sex") << QByteArray() << EmployeeRow({{CCsvColumns::EmpSex, {}}}) << "社員.csv 3 性別"
                               << "性別が空のため「男」として読み込みます。";
    QTest::newRow("leading zeros") << QByteArray() << EmployeeRow({{CCsvColumns::EmpCode, QStringLiteral("000123")}})
                                   << "社員.csv 3 社員コード"
                                   << "「000123」は先頭の 0 を除いた社員コード 123 として読み込みます。";
    QTest::newRow("postal code short") << QByteArray() << EmployeeRow({{CCsvColumns::EmpYuu, QStringLiteral("600001")}})
                                       << "社員.csv 3 〒"
                                       << "「600001」は 7 桁に足りません";
    QTest::newRow("telephone without 0") << QByteArray()
                                         << EmployeeRow({{CCsvColumns::EmpTel, QStringLiteral("112345678")}})
                                         << "社員.csv 3 TEL"
                                         << "「112345678」が 0 で始まっていません";
    QTest::newRow("unit's fax without 0") << kUnitHeader + "5,本社,本社,,,,,312345678\r\n"
                                          << EmployeeRow({}) << "部課.csv 2 FAX"
                                          << "「312345678」が 0 で始まっていません";
}

// A value that may have been damaged on the way is read as it is, and told with its row.
void TestCsv::rowWarnings()
{
    QFETCH(QByteArray, units);
    QFETCH(QByteArray, row);
    QFETCH(QString, where);
    QFETCH(QString, reason);
    const SImport result = Import(units.isEmpty() ? std::nullopt : std::optional<QByteArray>(units),
                                  kEmployeeHeader + EmployeeRow({{CCsvColumns::EmpCode, "7"}}) + row);
    QVERIFY2(result.read, qPrintable(result.error));
    QCOMPARE(result.summary.Refused(), 0);
    QCOMPARE(result.summary.employeesAdded, 2);
    QCOMPARE(result.summary.warnings.size(), 1);
    const SCsvRefusal &warning = result.summary.warnings.constFirst();
    QCOMPARE(QStringLiteral("%1 %2 %3").arg(warning.file).arg(warning.line).arg(warning.column), where);
    QVERIFY2(warning.reason.contains(reason), qPrintable(warning.reason));
    QVERIFY(result.summary.Text(10).contains(
        QStringLiteral("%1 %2 行目「%3」: %4").arg(warning.file).arg(warning.line).arg(warning.column, warning.reason)));
}

void TestCsv::everyReasonOfARow_data()
{
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QStringList>("reasons"); // column, then a part of its reason

    QTest::newRow("four at once") << EmployeeRow({{CCsvColumns::EmpCode, QStringLiteral("2147483648")},
                                                  {CCsvColumns::EmpName, QString(61, QLatin1Char('x'))},
                                                  {CCsvColumns::EmpSex, QStringLiteral("X")},
                                                  {CCsvColumns::EmpSdate, QStringLiteral("2023-02-29")}})
                                  << QStringList{"社員コード", "範囲外の社員コードです（1〜999999999）",
                                                 "氏名",       "60 文字まで",
                                                 "性別",       "「男」か「女」",
                                                 "生年月日",   "存在しない日付"};
    QTest::newRow("two dates") << EmployeeRow(
        {{CCsvColumns::EmpIndat, QStringLiteral("x")}, {CCsvColumns::EmpOutdat, QStringLiteral("平成32年1月1日")}})
                               << QStringList{"入社年月日", "日付として読めません", "退社年月日", "平成の期間外"};
    QTest::newRow("bare name of two units")
        << EmployeeRow({{CCsvColumns::EmpUnit, QStringLiteral("営業部")}})
        << QStringList{"所属", "「営業部」という部課が 2 つあり、一つに決まりません（本社/営業部、支社/営業部）"};
    QTest::newRow("bare name of none") << EmployeeRow({{CCsvColumns::EmpUnit, QStringLiteral("企画部")}})
                                       << QStringList{"所属", "「企画部」という会社も部課もありません"};
    QTest::newRow("a date and a missing unit")
        << EmployeeRow({{CCsvColumns::EmpSdate, QStringLiteral("2023-02-29")},
                        {CCsvColumns::EmpUnit, QStringLiteral("本社/営業布")}})
        << QStringList{"生年月日", "存在しない日付", "所属", "部課パス「本社/営業布」の「営業布」がありません"};
    QTest::newRow("sex and a bare name of none")
        << EmployeeRow({{CCsvColumns::EmpSex, QStringLiteral("X")}, {CCsvColumns::EmpUnit, QStringLiteral("企画部")}})
        << QStringList{"性別", "「男」か「女」", "所属", "--company"};
    QTest::newRow("a name too long and no company")
        << EmployeeRow({{CCsvColumns::EmpName, QString(61, QLatin1Char('x'))},
                        {CCsvColumns::EmpUnit, QStringLiteral("無い社/営業部")}})
        << QStringList{"氏名", "60 文字まで", "所属", "会社「無い社」がありません"};
}

// A refused row is one row however many reasons it has, and every reason is listed.
void TestCsv::everyReasonOfARow()
{
    QFETCH(QByteArray, row);
    QFETCH(QStringList, reasons);
    CRegisterBuilder::AddUnit({CRegisterBuilder::AddUnit({0, 5, QStringLiteral("本社")}), 5, QStringLiteral("営業部")});
    CRegisterBuilder::AddUnit({CRegisterBuilder::AddUnit({0, 6, QStringLiteral("支社")}), 6, QStringLiteral("営業部")});
    const SImport result = Import(std::nullopt, kEmployeeHeader + row);
    QVERIFY2(result.read, qPrintable(result.error));
    QCOMPARE(result.summary.Refused(), 1);
    QCOMPARE(result.summary.refusals.size() * 2, reasons.size());
    for (qsizetype i = 0; i < result.summary.refusals.size(); ++i) {
        const SCsvRefusal &refusal = result.summary.refusals.at(i);
        QCOMPARE(refusal.line, 2);
        QCOMPARE(refusal.column, reasons.at(2 * i));
        QVERIFY2(refusal.reason.contains(reasons.at(2 * i + 1)), qPrintable(refusal.reason));
    }
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01")), 0);
}

// What a spreadsheet would run as a formula is written as text, and read back as typed.
void TestCsv::formulaLikeTextRoundTrip()
{
    const QStringList typed = {"=1+1", "+81-3-1234", "-1", "@SUM(A1)", "\tタブ", "\r改行", "'=先頭に'", "'abc", "''", "-"};
    for (int i = 0; i < typed.size(); ++i) {
        CRegisterBuilder::SEmployeeRow row{i + 1, 0, QStringLiteral("名前%1").arg(i)};
        row.mem = typed.at(i);
        row.tel = typed.at(i);
        CRegisterBuilder::AddEmployee(row);
    }
    QTemporaryDir folder;
    SCsvExportResult result;
    QString error;
    {
        CDaoDatabase db;
        db.Open(m_db->Path());
        QVERIFY2(CCsvExporter(db).Export(folder.path(), ECsvEncoding::Utf8Bom, result, error), qPrintable(error));
    }
    const QByteArray bytes = ReadFile(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()));
    QList<SCsvRecord> records;
    QVERIFY(CCsvTable::Parse(bytes.mid(3), records, error));
    for (const SCsvRecord &record : std::as_const(records))
        for (const QString &field : record.fields)
            QVERIFY2(!CCsvFormulaGuard::LooksLikeFormula(field), qPrintable(field));
    // Read off the file itself, not through the guard: each starts with an apostrophe.
    for (const char *guarded :
         {",'=1+1,", ",'+81-3-1234,", ",'-1,", ",'@SUM(A1),", ",'\tタブ,", "'\r改行", ",''=先頭に',", ",'-,"})
        QVERIFY2(bytes.contains(guarded), guarded);
    QVERIFY(bytes.contains(",'abc,") && !bytes.contains("''abc"));

    m_db.reset();
    m_db = std::make_unique<CTempDatabase>();
    const SImport imported = Import(std::nullopt, bytes);
    QCOMPARE(imported.summary.Refused(), 0);
    for (int i = 0; i < typed.size(); ++i) {
        QCOMPARE(Field(QStringLiteral("SELECT Mem FROM Mast01 WHERE Code = %1").arg(i + 1)), typed.at(i));
        QCOMPARE(Field(QStringLiteral("SELECT TEL FROM Mast01 WHERE Code = %1").arg(i + 1)), typed.at(i));
    }
    // A file from elsewhere that guarded its cell the same way reads as the user meant it.
    Import(std::nullopt, kEmployeeHeader + EmployeeRow({{CCsvColumns::EmpCode, "99"}, {CCsvColumns::EmpTel, "'-1"}}));
    QCOMPARE(Field(QStringLiteral("SELECT TEL FROM Mast01 WHERE Code = 99")), QStringLiteral("-1"));
}

// Opened in LibreOffice Calc and saved again, the guarded texts are still text and read back as typed.
void TestCsv::formulaLikeTextThroughLibreOffice()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice not installed (apt-get install libreoffice-calc-nogui)");
    const QStringList typed = {"=1+1", "-1", "+81", "@x", "'=x", "'abc", "普通の文"};
    for (int i = 0; i < typed.size(); ++i) {
        CRegisterBuilder::SEmployeeRow row{i + 1, 0, QStringLiteral("名前%1").arg(i)};
        row.mem = typed.at(i);
        CRegisterBuilder::AddEmployee(row);
    }
    QTemporaryDir folder, converted, profile;
    SCsvExportResult result;
    QString error;
    {
        CDaoDatabase db;
        db.Open(m_db->Path());
        QVERIFY2(CCsvExporter(db).Export(folder.path(), ECsvEncoding::Utf8Bom, result, error), qPrintable(error));
    }
    QProcess office;
    office.start(soffice,
                 {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(), "--headless",
                  "--infilter=CSV:44,34,76,1", "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76,1", "--outdir",
                  converted.path(), QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName())});
    QVERIFY(office.waitForFinished(300000));
    const QByteArray bytes = ReadFile(QDir(converted.path()).filePath(CCsvColumns::EmployeesFileName()));
    QVERIFY2(!bytes.isEmpty(), office.readAllStandardError().constData());
    QVERIFY2(bytes.contains("\"'=1+1\""), bytes.constData()); // kept as text, not evaluated

    m_db.reset();
    m_db = std::make_unique<CTempDatabase>();
    const SImport imported = Import(std::nullopt, bytes);
    QVERIFY2(imported.summary.Refused() == 0, qPrintable(imported.summary.Text(10)));
    for (int i = 0; i < typed.size(); ++i)
        QCOMPARE(Field(QStringLiteral("SELECT Mem FROM Mast01 WHERE Code = %1").arg(i + 1)), typed.at(i));
}

// Two employees sharing a code come back as two, into a new register and into their own.
void TestCsv::duplicateCodesRoundTrip()
{
    CRegisterBuilder::AddEmployees({Complete({.code = 90001, .name = QStringLiteral("先の人")}),
                                    Complete({.code = 90001, .name = QStringLiteral("後の人")}),
                                    Complete({.code = 5, .name = QStringLiteral("別の人")})});
    QTemporaryDir folder;
    SCsvExportResult result;
    QString error;
    {
        CDaoDatabase db;
        db.Open(m_db->Path());
        QVERIFY2(CCsvExporter(db).Export(folder.path(), ECsvEncoding::Utf8Bom, result, error), qPrintable(error));
    }
    const QByteArray bytes = ReadFile(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()));
    const SImport same = Import(std::nullopt, bytes);
    QVERIFY2(same.summary.Refused() == 0, qPrintable(same.summary.Text(10)));
    QCOMPARE(same.summary.employeesUnchanged, 3);

    m_db.reset();
    m_db = std::make_unique<CTempDatabase>();
    for (int round = 0; round < 2; ++round) {
        const SImport imported = Import(std::nullopt, bytes);
        QVERIFY2(imported.summary.Refused() == 0, qPrintable(imported.summary.Text(10)));
        QCOMPARE(imported.summary.employeesAdded, round == 0 ? 3 : 0);
        QCOMPARE(imported.summary.employeesUnchanged, round == 0 ? 0 : 3);
    }
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01 WHERE Code = 90001")), 2);
    QCOMPARE(Count(QStringLiteral("SELECT count(DISTINCT Name) FROM Mast01 WHERE Code = 90001")), 2);
}

void TestCsv::columnMap_data()
{
    QTest::addColumn<QString>("map");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("mem"); // of code 1 afterwards

    QTest::newRow("a column into another") << "年齢=備考, 名前=氏名" << 0 << "取り込まない列: 社員.csv「所属コード」"
                                           << "30";
    QTest::newRow("skipped on purpose") << "年齢=取り込まない" << 0
                                        << "取り込まない列: 社員.csv「年齢」、社員.csv「所属コード」"
                                        << "<null>";
    QTest::newRow("no equals sign") << "社員番号" << 2 << "「社員番号」は「ファイルの見出し=列の名前」の形ではありません"
                                    << "<none>";
    QTest::newRow("no such column") << "年齢=年齢" << 2 << "「年齢」という列はありません"
                                    << "<none>";
    QTest::newRow("header not in the file") << "部署名=所属" << 1 << "見出し「部署名」がファイルにありません"
                                            << "<none>";
    QTest::newRow("a column of the other file") << "年齢=部課パス" << 1 << "「部課パス」という列はありません"
                                                << "<none>";
}

void TestCsv::columnMap()
{
    QFETCH(QString, map);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(QString, mem);
    QTemporaryDir folder;
    WriteFile(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()),
              "社員番号,名前,性別,年齢,所属コード\r\n1,山田,男,30,A1\r\n");
    QString text, err;
    QCOMPARE(RunCommand({"--import-csv", folder.path(), "--database", m_db->Path(), "--map", map}, &text, &err), status);
    QVERIFY2((text + err).contains(message), qPrintable(text + err));
    QCOMPARE(Field(QStringLiteral("SELECT Mem FROM Mast01 WHERE Code = 1")), mem);
    if (status != 0)
        QVERIFY(err.contains(QStringLiteral("何も書き込んでいません")));
}

// A register on a server is filled once and then imported into like any other.
void TestCsv::serverImportTwice()
{
    const QString uri = TestServerUri();
    if (uri.isEmpty())
        QSKIP("PostgreSQL not tested: set MORVEK_TEST_PGURI (scripts/test.sh starts a server)");
    ClearTestServer(uri);
    FillRegister();
    QTemporaryDir folder;
    const QString csv = QDir(folder.path()).filePath(QStringLiteral("csv"));
    QCOMPARE(RunCommand({"--export-csv", csv, "--database", m_db->Path()}), 0);
    QString text, err;
    QCOMPARE(RunCommand({"--import-csv", csv, "--database", uri}, &text, &err), 0);
    QVERIFY2(text.contains(QStringLiteral("社員: 追加 4 人")), qPrintable(text + err));
    QCOMPARE(RunCommand({"--import-csv", csv, "--database", uri}, &text, &err), 0);
    QVERIFY2(text.contains(QStringLiteral("社員: 追加 0 人、更新 0 人、変更なし 4 人")), qPrintable(text + err));
    QVERIFY(!text.contains(QStringLiteral("新しいデータベース")));
    QFile employees(QDir(csv).filePath(CCsvColumns::EmployeesFileName()));
    QVERIFY(employees.open(QIODevice::Append));
    employees.write("88,新人,,女,,,,,,,,,,,,,,\r\n");
    employees.close();
    QCOMPARE(RunCommand({"--import-csv", csv, "--database", uri}, &text, &err), 0);
    QVERIFY2(text.contains(QStringLiteral("社員: 追加 1 人")), qPrintable(text + err));
    ClearTestServer(uri);
}

namespace {
// A staff list as other systems write it: the department's name alone, or once a path
// from a company the register does not have yet.
const QByteArray kBareNames = "社員番号,氏名,性別,部署\r\n"
                              "101,山田 太郎,男性,本社/営業部\r\n"
                              "102,佐藤 花子,女性,総務部\r\n"
                              "103,鈴木 一郎,男性,営業部\r\n";
} // namespace

void TestCsv::bareNamesIntoNewRegister_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("message"); // in what is printed
    QTest::addColumn<QString>("hint");    // where a script's errors go
    QTest::newRow("no company named") << QStringList{"--create-units"} << 1
                                      << "「総務部」という会社も部課もありません。新しい部課を置く会社を指定すると"
                                      << "--company 会社名 --create-units を付けてください";
    QTest::newRow("company named, no units made") << QStringList{"--company", "本社"} << 1 << "会社「本社」がありません"
                                                  << "ない部課を作って読み込むには --create-units を付けてください";
    QTest::newRow("company's name too long")
        << QStringList{"--company", QString(61, u'社'), "--create-units"} << 1 << "60 文字までです（61 文字あります）"
        << "取り込めない行が 3 行";
    QTest::newRow("company named, units made")
        << QStringList{"--company", "本社", "--create-units"} << 0 << "会社「本社」を新しく作りました。"
        << "";
}

// A first import from another system: the company it leaves out is named, made with the
// departments in the same write, or nothing is written at all.
void TestCsv::bareNamesIntoNewRegister()
{
    QFETCH(QStringList, options);
    QFETCH(int, status);
    QFETCH(QString, message);
    QFETCH(QString, hint);
    QTemporaryDir folder;
    WriteFile(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()), kBareNames);
    const QString database = QDir(folder.path()).filePath(QStringLiteral("新規.mdb"));
    QString text, err;
    QCOMPARE(RunCommand(QStringList{"--import-csv", folder.path(), "--database", database} + options, &text, &err), status);
    QVERIFY2((text + err).contains(message), qPrintable(text + err));
    QCOMPARE(QFileInfo::exists(database), status == 0);
    QVERIFY2(err.contains(hint), qPrintable(err));
    if (status != 0) {
        // Each refused row once, nothing written.
        QVERIFY2(err.contains(QStringLiteral("取り込めない行が 3 行")), qPrintable(err));
        return;
    }
    CDaoRecordset::SetApplicationDatabasePath(database);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00")), 3);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00 WHERE Parent = 0 AND Name = '本社'")), 1);
    for (const int code : {101, 103})
        QCOMPARE(Field(QStringLiteral("SELECT p.Name || '/' || u.Name FROM Mast01 e JOIN Mast00 u ON u.ID = e.Busyo "
                                      "JOIN Mast00 p ON p.ID = u.Parent WHERE e.Code = %1")
                           .arg(code)),
                 QStringLiteral("本社/営業部"));
    QVERIFY2(text.contains(QStringLiteral("社員 3 人を追加し、0 人を更新しました。")), qPrintable(text));
    // The same list again finds what the first made.
    QCOMPARE(
        RunCommand(QStringList{"--import-csv", folder.path(), "--database", database, "--company", "本社"}, &text, &err),
        0);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00")), 3);
    CDaoRecordset::SetApplicationDatabasePath(m_db->Path());
}

void TestCsv::companyNamedFindsItsUnits_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<bool>("create");
    QTest::addColumn<QString>("placed"); // the path it is placed in, or a part of the reason
    QTest::addColumn<int>("unitsAdded");
    QTest::newRow("a department of the company") << "営業部" << false << "本社/営業部" << 0;
    QTest::newRow("deeper in the company") << "一課" << false << "本社/営業部/一課" << 0;
    QTest::newRow("only in another company: missing")
        << "経理部" << false << "会社「本社」に部課「経理部」がありません" << 0;
    QTest::newRow("only in another company: made") << "経理部" << true << "本社/経理部" << 1;
    QTest::newRow("a path below the company") << "営業部/二課" << true << "本社/営業部/二課" << 1;
    QTest::newRow("twice in the company") << "三課" << false << "「三課」という部課が 2 つあり" << 0;
    QTest::newRow("a company's own name") << "支社" << false << "支社" << 0;
    QTest::newRow("a full path") << "支社/経理部" << false << "支社/経理部" << 0;
}

// A name alone is looked for in the named company only: at any depth there, once.
void TestCsv::companyNamedFindsItsUnits()
{
    QFETCH(QString, unit);
    QFETCH(bool, create);
    QFETCH(QString, placed);
    QFETCH(int, unitsAdded);
    const qint32 company = CRegisterBuilder::AddUnit({0, 5, QStringLiteral("本社")});
    const qint32 sales = CRegisterBuilder::AddUnit({company, 5, QStringLiteral("営業部")});
    CRegisterBuilder::AddUnit({sales, 5, QStringLiteral("一課")});
    CRegisterBuilder::AddUnit({sales, 5, QStringLiteral("三課")});
    CRegisterBuilder::AddUnit(
        {CRegisterBuilder::AddUnit({company, 5, QStringLiteral("総務部")}), 5, QStringLiteral("三課")});
    const qint32 branch = CRegisterBuilder::AddUnit({0, 6, QStringLiteral("支社")});
    CRegisterBuilder::AddUnit({branch, 6, QStringLiteral("営業部")});
    CRegisterBuilder::AddUnit({branch, 6, QStringLiteral("経理部")});
    const int before = Count(QStringLiteral("SELECT count(*) FROM Mast00"));
    const SImport result = ImportWith(
        std::nullopt, kEmployeeHeader + EmployeeRow({{CCsvColumns::EmpUnit, unit}}),
        {ECsvExisting::Update, create ? ECsvMissingUnits::Create : ECsvMissingUnits::Refuse, QStringLiteral("本社"), true});
    QVERIFY2(result.read, qPrintable(result.error));
    QCOMPARE(result.summary.unitsAdded, unitsAdded);
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00")), before + unitsAdded);
    QVERIFY(result.summary.companyAdded.isEmpty());
    if (result.summary.Refused() > 0) {
        QVERIFY2(result.summary.refusals.constFirst().reason.contains(placed),
                 qPrintable(result.summary.refusals.constFirst().reason));
        QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast01")), 0);
        return;
    }
    QStringList path;
    for (QString id = Field(QStringLiteral("SELECT Busyo FROM Mast01 WHERE Code = 1")); id != QStringLiteral("0");
         id = Field(QStringLiteral("SELECT Parent FROM Mast00 WHERE ID = %1").arg(id)))
        path.prepend(Field(QStringLiteral("SELECT Name FROM Mast00 WHERE ID = %1").arg(id)));
    QCOMPARE(path.join(u'/'), placed);
}

// A refused row makes no unit, even where units are made: its unit is only checked.
void TestCsv::refusedRowMakesNoUnit()
{
    CRegisterBuilder::AddUnit({0, 5, QStringLiteral("本社")});
    const SImport result = ImportWith(
        std::nullopt,
        kEmployeeHeader
            + EmployeeRow({{CCsvColumns::EmpSex, QStringLiteral("X")}, {CCsvColumns::EmpUnit, QStringLiteral("本社/新部")}})
            + EmployeeRow({{CCsvColumns::EmpCode, QStringLiteral("2")},
                           {CCsvColumns::EmpSdate, QStringLiteral("x")},
                           {CCsvColumns::EmpUnit, QStringLiteral("営業部")}}),
        {ECsvExisting::Update, ECsvMissingUnits::Create, QStringLiteral("新会社"), true});
    QCOMPARE(result.summary.Refused(), 2);
    QCOMPARE(result.summary.refusals.size(), 2);
    QCOMPARE(result.summary.unitsAdded, 0);
    QVERIFY(result.summary.companyAdded.isEmpty());
    QCOMPARE(Count(QStringLiteral("SELECT count(*) FROM Mast00")), 1);
}

void TestCsv::zerosPutBack_data()
{
    QTest::addColumn<bool>("units"); // in 部課.csv, else 社員.csv
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("restored"); // as read when zeros are put back
    const int yuu = CCsvColumns::EmpYuu, tel = CCsvColumns::EmpTel, fax = CCsvColumns::EmpFax;
    QTest::newRow("postal code of 6 digits") << false << yuu << "600001"
                                             << "0600001";
    QTest::newRow("postal code, full width") << false << yuu << "６００００１"
                                             << "0600001";
    QTest::newRow("postal code of 5 digits") << false << yuu << "60001"
                                             << "60001";
    QTest::newRow("postal code of 6 starting with 0") << false << yuu << "060001"
                                                      << "060001";
    QTest::newRow("postal code whole") << false << yuu << "0600001"
                                       << "0600001";
    QTest::newRow("telephone of 9 digits") << false << tel << "312345678"
                                           << "0312345678";
    QTest::newRow("mobile of 10 digits") << false << tel << "9012345678"
                                         << "09012345678";
    QTest::newRow("telephone of 8 digits") << false << tel << "12345678"
                                           << "12345678";
    QTest::newRow("telephone of 11 digits") << false << tel << "12345678901"
                                            << "12345678901";
    QTest::newRow("telephone with hyphens") << false << tel << "3-1234-5678"
                                            << "3-1234-5678";
    QTest::newRow("fax of 9 digits") << false << fax << "612345678"
                                     << "0612345678";
    QTest::newRow("unit's postal code") << true << int(CCsvColumns::UnitYuu) << "600001"
                                        << "0600001";
    QTest::newRow("unit's telephone") << true << int(CCsvColumns::UnitTel) << "312345678"
                                      << "0312345678";
    QTest::newRow("unit's fax") << true << int(CCsvColumns::UnitFax) << "9012345678"
                                << "09012345678";
}

// The 0 a spreadsheet took off a postal code or a telephone number is put back when
// chosen, and told; a value that cannot be such a number stays as it is.
void TestCsv::zerosPutBack()
{
    QFETCH(bool, units);
    QFETCH(int, column);
    QFETCH(QString, value);
    QFETCH(QString, restored);
    // Database columns by CSV column, from 〒 on.
    const QStringList unitColumns = {"Yuu", "Juu1", "Juu2", "TEL", "FAX"};
    const QStringList employeeColumns = {"Yuu", "Juu1", "Juu2", "TEL", "FAX"};
    for (const bool restore : {false, true}) {
        m_db.reset();
        m_db = std::make_unique<CTempDatabase>();
        QStringList unitRow = {"5", "本社", "本社", "", "", "", "", ""};
        if (units)
            unitRow[column] = value;
        const SImport result = ImportWith(kUnitHeader + unitRow.join(u',').toUtf8() + "\r\n",
                                          kEmployeeHeader
                                              + EmployeeRow({{units ? int(CCsvColumns::EmpJuu1) : column, value}}),
                                          {ECsvExisting::Update, ECsvMissingUnits::Refuse, {}, restore});
        QVERIFY2(result.read, qPrintable(result.error));
        QCOMPARE(result.summary.Refused(), 0);
        const QString stored =
            units ? Field(QStringLiteral("SELECT %1 FROM Mast00").arg(unitColumns.at(column - CCsvColumns::UnitYuu)))
                  : Field(QStringLiteral("SELECT %1 FROM Mast01").arg(employeeColumns.at(column - CCsvColumns::EmpYuu)));
        const bool changed = restored != value;
        QCOMPARE(stored, restore ? restored : value);
        const QString note = QStringLiteral("先頭の 0 を補いました（「%1」→「%2」）。").arg(value, restored);
        const bool noted = std::any_of(result.summary.warnings.cbegin(), result.summary.warnings.cend(),
                                       [&](const SCsvRefusal &warning) { return warning.reason == note; });
        QCOMPARE(noted, restore && changed);
        QCOMPARE(result.summary.zerosRestored, restore && changed ? 1 : 0);
        // Kept as it is, a damaged value is still shown as such.
        if (!restore && changed)
            QVERIFY2(
                result.summary.warnings.size() == 1
                    && result.summary.warnings.constFirst().reason.contains(QStringLiteral("先頭の 0 が消えていませんか")),
                qPrintable(result.summary.Text(10)));
    }
}

void TestCsv::commandLineKeepsNumbers_data()
{
    QTest::addColumn<bool>("keep");
    QTest::newRow("put back by default") << false;
    QTest::newRow("--keep-numbers") << true;
}

// A CSV file saved by a spreadsheet: the command line gives its zeros back unless told not to.
void TestCsv::commandLineKeepsNumbers()
{
    QFETCH(bool, keep);
    QTemporaryDir folder;
    WriteFile(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()),
              "社員コード,氏名,性別,〒,TEL,FAX\r\n1,山田,男,600001,312345678,0312345679\r\n");
    WriteFile(QDir(folder.path()).filePath(CCsvColumns::UnitsFileName()),
              kUnitHeader + "5,本社,本社,1000001,,,612345678,\r\n");
    QStringList arguments{"--import-csv", folder.path(), "--database", m_db->Path()};
    if (keep)
        arguments << "--keep-numbers";
    QString text, err;
    QCOMPARE(RunCommand(arguments, &text, &err), 0);
    QCOMPARE(Field(QStringLiteral("SELECT Yuu || ' ' || TEL || ' ' || FAX FROM Mast01")),
             keep ? QStringLiteral("600001 312345678 0312345679") : QStringLiteral("0600001 0312345678 0312345679"));
    QCOMPARE(Field(QStringLiteral("SELECT TEL FROM Mast00")),
             keep ? QStringLiteral("612345678") : QStringLiteral("0612345678"));
    QCOMPARE(text.count(QStringLiteral("先頭の 0 を補いました")), keep ? 0 : 3);
    QCOMPARE(text.count(QStringLiteral("先頭の 0 が消えていませんか")), keep ? 3 : 0);
    QVERIFY2(text.contains(QStringLiteral("社員.csv 2 行目「〒」: 先頭の 0 を補いました")) != keep, qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("先頭の 0 を補った値: 3 件")) != keep, qPrintable(text));
}

QTEST_GUILESS_MAIN(TestCsv)
#include "tst_csv.moc"
