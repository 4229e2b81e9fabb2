// Excel workbooks: the round trip through a workbook, workbooks an office made, the
// refusals of bad files, the command line, and the workbook as LibreOffice reads it.
#include "csv/csvcommandline.h"
#include "csv/csvdate.h"
#include "csv/csvexporter.h"
#include "csv/csvimporter.h"
#include "csv/csvcolumns.h"
#include "csv/csvtable.h"
#include "csv/xlsxexporter.h"
#include "csv/xlsximportreader.h"
#include "sheet/workbookarchive.h"
#include "sheet/workbookcell.h"
#include "sheet/workbookpartdevice.h"
#include "sheet/workbookreader.h"
#include "sheet/workbookstyles.h"
#include "store/daodatabase.h"
#include "store/daorecordset.h"
#include "support/registerbuilder.h"
#include "support/registergenerator.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <minizip/zip.h>
#include <xlsxwriter.h>

namespace {
using EDateForm = CXlsxExporter::EDateForm;

struct SImport {
    bool read = false;
    QString error;
    SCsvImportSummary summary;
};

SImport ImportWorkbook(const QString &path)
{
    CDaoDatabase db;
    db.Open(CDaoRecordset::ApplicationDatabasePath());
    CCsvImporter importer(db);
    SImport result;
    result.read = importer.ReadWorkbook(path, result.error);
    if (result.read) {
        result.summary = importer.Plan(CCsvImporter::EExisting::Update, CCsvImporter::EMissingUnits::Create);
        if (result.summary.Refused() == 0)
            importer.Apply();
    }
    return result;
}

bool ExportWorkbook(const QString &path, EDateForm form, QString &error)
{
    CDaoDatabase db;
    db.Open(CDaoRecordset::ApplicationDatabasePath());
    SCsvExportResult result;
    return CXlsxExporter(db).Export(path, form, result, error);
}

// The register as its CSV files say it: every column of both.
// The register as the CSV export sees it, but for the employees' own IDs, which a
// register the workbook is read into gives anew.
QByteArray RegisterText()
{
    CDaoDatabase db;
    db.Open(CDaoRecordset::ApplicationDatabasePath());
    QByteArray text;
    CCsvExporter(db).Rows(
        [&text](const QStringList &fields) { CCsvTable::AppendRecord(text, fields); },
        [&text](const QStringList &fields) { CCsvTable::AppendRecord(text, fields.mid(0, CCsvColumns::EmpId)); });
    return text;
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

// A zip file of the given parts, as a workbook of another maker might be packed.
QString Zip(const QString &path, const QMap<QString, QByteArray> &parts)
{
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return {};
    bool ok = true;
    for (auto it = parts.cbegin(); it != parts.cend(); ++it) {
        ok = ok
          && zipOpenNewFileInZip64(zip, it.key().toUtf8().constData(), nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                                   Z_DEFAULT_COMPRESSION, 0)
                 == ZIP_OK
          && zipWriteInFileInZip(zip, it.value().constData(), unsigned(it.value().size())) == ZIP_OK
          && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok ? path : QString();
}

const QByteArray kRelations =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">\n<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" Target=\"worksheets/sheet1.xml\"/>\n<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" Target=\"/xl/sharedStrings.xml\"/>\n<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" Target=\"styles.xml\"/>\n</Relationships>";

// A workbook of one sheet with the given sheet data, in the 1904 date system (or as
// date1904 says), its elements with a namespace prefix as some writers make them; its
// shared strings are seven (0 to 6) and those of moreShared after them.
QMap<QString, QByteArray> HandMade(const QByteArray &sheetData, const QByteArray &moreShared = {},
                                   const QByteArray &date1904 = "1")
{
    return {
        {QStringLiteral("xl/workbook.xml"),
         "<x:workbook xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><x:workbookPr date1904=\""
             + date1904 + "\"/><x:sheets><x:sheet name=\"名簿\" sheetId=\"1\" r:id=\"rId1\"/></x:sheets></x:workbook>"},
        {QStringLiteral("xl/_rels/workbook.xml.rels"), kRelations},
        {QStringLiteral("xl/sharedStrings.xml"),
         "<sst xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><si><t>社員コード</t></si><si><t>氏名</t></si><si><t>入社年月日</t></si><si><t>〒</t></si><si><r><rPr><b/></rPr><t>山田</t></r><r><t xml:space=\"preserve\"> 太郎</t></r><rPh sb=\"0\" eb=\"2\"><t>ヤマダ</t></rPh></si><si><t>備考</t></si><si><t>改行_x000D_あり</t></si>"
             + moreShared + "</sst>"},
        {QStringLiteral("xl/styles.xml"),
         "<styleSheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><numFmts count=\"1\"><numFmt numFmtId=\"176\" formatCode=\"yyyy/m/d;@\"/></numFmts><cellXfs count=\"3\"><xf numFmtId=\"0\"/><xf numFmtId=\"176\"/><xf numFmtId=\"49\"/></cellXfs></styleSheet>"},
        {QStringLiteral("xl/worksheets/sheet1.xml"),
         "<x:worksheet xmlns:x=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\"><x:sheetData>" + sheetData
             + "</x:sheetData></x:worksheet>"},
    };
}

const QByteArray kHeaderRow =
    "<x:row r=\"1\"><x:c r=\"A1\" t=\"s\"><x:v>0</x:v></x:c><x:c r=\"B1\" t=\"s\"><x:v>1</x:v></x:c><x:c r=\"C1\" t=\"s\"><x:v>2</x:v></x:c></x:row>";

// Row 2 with a code, and the given cells.
QByteArray RowTwo(const QByteArray &cells)
{
    return kHeaderRow + "<x:row r=\"2\"><x:c r=\"A2\"><x:v>12</x:v></x:c>" + cells + "</x:row>";
}

QByteArray Repeated(const QByteArray &part, int times)
{
    QByteArray all;
    all.reserve(part.size() * times);
    for (int i = 0; i < times; ++i)
        all += part;
    return all;
}

const QByteArray kHandMadeRows =
    "<x:row r=\"1\"><x:c r=\"A1\" t=\"s\"><x:v>0</x:v></x:c><x:c r=\"B1\" t=\"s\"><x:v>1</x:v></x:c><x:c r=\"C1\" t=\"s\"><x:v>2</x:v></x:c><x:c r=\"D1\" t=\"s\"><x:v>3</x:v></x:c><x:c r=\"E1\" t=\"s\"><x:v>5</x:v></x:c></x:row>"
    // 35155 days after 1 January 1904: 2000-04-01.
    "<x:row r=\"4\"><x:c r=\"A4\"><x:v>12</x:v></x:c><x:c r=\"B4\" t=\"s\"><x:v>4</x:v></x:c><x:c r=\"C4\" s=\"1\"><x:v>35155</x:v></x:c><x:c r=\"E4\" t=\"s\"><x:v>6</x:v></x:c></x:row>"
    "<x:row r=\"6\"><x:c r=\"A6\" t=\"inlineStr\"><x:is><x:t>13</x:t></x:is></x:c><x:c r=\"B6\" t=\"inlineStr\"><x:is><x:r><x:t>佐藤</x:t></x:r><x:r><x:t xml:space=\"preserve\"> 花子</x:t></x:r></x:is></x:c><x:c r=\"D6\" s=\"2\" t=\"str\"><x:f>\"0\"&amp;\"600001\"</x:f><x:v>0600001</x:v></x:c></x:row>"
    "<x:row r=\"7\"><x:c r=\"C7\" s=\"1\"/></x:row>";
} // namespace

class TestXlsx : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void serialDates_data();
    void serialDates();
    void dateFormats_data();
    void dateFormats();
    void roundTrip_data();
    void roundTrip();
    void largeRegisterRoundTrip();
    void officeWorkbook();
    void handMadeWorkbook();
    void refusals_data();
    void refusals();
    void partTooLarge();
    void readerLimits_data();
    void readerLimits();
    void rowsKeepTheirWidth();
    void millionOneCellRows();
    void emptyNameRefused_data();
    void emptyNameRefused();
    void failedExportKeepsFile();
    void commandLine();
    void lostZerosFromNumberCells_data();
    void lostZerosFromNumberCells();
    void libreOfficeReadsEveryCell();

private:
    void FillRegister();
    std::unique_ptr<CTempDatabase> m_db;
    QTemporaryDir m_settings;
    QTemporaryDir m_dir;
};

void TestXlsx::init()
{
    IsolateSettings(m_settings.path());
    m_db = std::make_unique<CTempDatabase>();
}

void TestXlsx::cleanup()
{
    m_db.reset();
}

// Values a spreadsheet is apt to damage, and dates at an era's edge.
void TestXlsx::FillRegister()
{
    const qint32 company = CRegisterBuilder::AddUnit(
        {.code = 7, .name = QStringLiteral("本社"), .yuu = QStringLiteral("0600001"), .tel = QStringLiteral("0112345678")});
    const qint32 sales = CRegisterBuilder::AddUnit({company, 7, QStringLiteral("営業部/東")});
    CRegisterBuilder::AddEmployees({{.code = 1,
                                     .busyo = sales,
                                     .name = QStringLiteral("平成 最後"),
                                     .kana = QStringLiteral("ﾍｲｾｲ ｻｲｺﾞ"),
                                     .birth = CDateValue(2019, 4, 30),
                                     .joined = CDateValue(2019, 5, 1),
                                     .yuu = QStringLiteral("0600001"),
                                     .juu2 = QStringLiteral("12/25"),
                                     .tel = QStringLiteral("0112345678"),
                                     .sikaku = QStringLiteral("1E3"),
                                     .mem = QStringLiteral("=1+1")},
                                    {.code = 2,
                                     .name = QStringLiteral("昭和 最後"),
                                     .female = true,
                                     .birth = CDateValue(1989, 1, 7),
                                     .joined = CDateValue(1989, 1, 8),
                                     .left = CDateValue(1900, 1, 1),
                                     .rire = QStringLiteral("_x0041_ と \x1B"),
                                     .mem = QStringLiteral("1行目\r\n2行目\n 3行目 ")},
                                    {.code = 999999999,
                                     .busyo = company,
                                     .name = QStringLiteral("日付 なし"),
                                     .birth = CDateValue(1899, 12, 31),
                                     .fax = QStringLiteral("+81-3")}});
}

void TestXlsx::serialDates_data()
{
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("system1904");
    QTest::addColumn<QString>("expected");
    QTest::newRow("first day") << 1.0 << false << "1900-01-01";
    QTest::newRow("before the false leap day") << 59.0 << false << "1900-02-28";
    QTest::newRow("the false leap day") << 60.0 << false << "";
    QTest::newRow("after it") << 61.0 << false << "1900-03-01";
    QTest::newRow("heisei's last day, with a time") << 43585.75 << false << "2019-04-30";
    QTest::newRow("1904 system") << 0.0 << true << "1904-01-01";
    QTest::newRow("1904 system, reiwa") << 42124.0 << true << "2019-05-01";
    QTest::newRow("past 9999") << 2958466.0 << false << "";
    QTest::newRow("negative") << -1.0 << false << "";
}

void TestXlsx::serialDates()
{
    QFETCH(double, serial);
    QFETCH(bool, system1904);
    QFETCH(QString, expected);
    QCOMPARE(CWorkbookCell::DateFromSerial(serial, system1904).toString(Qt::ISODate), expected);
}

void TestXlsx::dateFormats_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("date");
    QTest::newRow("built-in") << 14 << "" << true;
    QTest::newRow("built-in japanese") << 57 << "" << true;
    QTest::newRow("built-in number") << 3 << "" << false;
    QTest::newRow("era") << 176 << "[$-411]ggge\"年\"m\"月\"d\"日\"" << true;
    QTest::newRow("iso") << 176 << "yyyy-mm-dd" << true;
    QTest::newRow("general") << 176 << "General" << false;
    QTest::newRow("scientific") << 176 << "0.00E+00" << false;
    QTest::newRow("quoted letters") << 176 << "0\"days\"" << false;
    QTest::newRow("escaped letter") << 176 << "0\\d" << false;
    QTest::newRow("text") << 49 << "@" << false;
}

void TestXlsx::dateFormats()
{
    QFETCH(int, id);
    QFETCH(QString, code);
    QFETCH(bool, date);
    QCOMPARE(CWorkbookStyles::IsDateFormat(id, code), date);
}

void TestXlsx::roundTrip_data()
{
    QTest::addColumn<bool>("iso");
    QTest::newRow("era") << false;
    QTest::newRow("iso") << true;
}

// Exported, imported into an empty register: the same register, column by column.
void TestXlsx::roundTrip()
{
    QFETCH(bool, iso);
    FillRegister();
    const QByteArray before = RegisterText();
    const QString path = m_dir.filePath(QStringLiteral("台帳.xlsx"));
    QString error;
    QVERIFY2(ExportWorkbook(path, iso ? EDateForm::Iso : EDateForm::Era, error), qPrintable(error));

    m_db.reset();
    m_db = std::make_unique<CTempDatabase>();
    const SImport imported = ImportWorkbook(path);
    QVERIFY2(imported.read, qPrintable(imported.error));
    QVERIFY2(imported.summary.Refused() == 0, qPrintable(imported.summary.Text(10)));
    QCOMPARE(imported.summary.unitsAdded, 2);
    QCOMPARE(imported.summary.employeesAdded, 3);
    QCOMPARE(RegisterText(), before);
    QCOMPARE(Field(QStringLiteral("SELECT Outdat FROM Mast01 WHERE Code = 1")), QStringLiteral("<null>"));
    QCOMPARE(Field(QStringLiteral("SELECT Mem FROM Mast01 WHERE Code = 1")), QStringLiteral("=1+1"));

    // The import left its entries in the history; the next workbook carries them as they are.
    const QString again = m_dir.filePath(QStringLiteral("履歴つき.xlsx"));
    QVERIFY2(ExportWorkbook(again, iso ? EDateForm::Iso : EDateForm::Era, error), qPrintable(error));
    QList<QStringList> history;
    {
        CDaoDatabase db;
        db.Open(CDaoRecordset::ApplicationDatabasePath());
        CCsvExporter(db).HistoryRows([&history](const QStringList &fields) { history << fields; });
    }
    QVERIFY(history.size() > 3);
    CWorkbookReader workbook;
    QVERIFY2(workbook.Open(again, error), qPrintable(error));
    QCOMPARE(workbook.SheetNames(),
             QStringList({QStringLiteral("部課"), QStringLiteral("社員"), QStringLiteral("変更履歴")}));
    QList<SSheetRow> rows;
    QVERIFY2(workbook.ReadSheet(2, CCsvTable::MaxFields, 1000, rows, error), qPrintable(error));
    QCOMPARE(rows.size(), history.size());
    for (qsizetype i = 0; i < rows.size(); ++i) {
        QStringList cells = rows.at(i).cells;
        while (cells.size() < history.at(i).size())
            cells << QString();
        QCOMPARE(cells, history.at(i));
    }
}

// 2,000 employees: sheets far longer than one read of the unpacker.
void TestXlsx::largeRegisterRoundTrip()
{
    m_db.reset();
    const QString source = m_dir.filePath(QStringLiteral("large.mdb"));
    QFile::remove(source);
    CRegisterGenerator::SOptions options;
    options.nEmployees = 2000;
    options.nPhotoSide = 0;
    CRegisterGenerator::Generate(source, options);
    CDaoRecordset::SetApplicationDatabasePath(source);
    const QByteArray before = RegisterText();
    const QString path = m_dir.filePath(QStringLiteral("large.xlsx"));
    QString error;
    QVERIFY2(ExportWorkbook(path, EDateForm::Era, error), qPrintable(error));
    m_db = std::make_unique<CTempDatabase>();
    const SImport imported = ImportWorkbook(path);
    QVERIFY2(imported.read, qPrintable(imported.error));
    QVERIFY2(imported.summary.Refused() == 0, qPrintable(imported.summary.Text(10)));
    QCOMPARE(imported.summary.employeesAdded, 2000);
    QCOMPARE(RegisterText(), before);
}

// What an office's own workbook holds: numbers where text was meant, a date cell,
// inline and rich strings, gaps between rows and cells, a sheet after the others.
void TestXlsx::officeWorkbook()
{
    const QString path = m_dir.filePath(QStringLiteral("office.xlsx"));
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // strings are written inline so
    lxw_workbook *book = workbook_new_opt(QFile::encodeName(path).constData(), &options);
    workbook_add_worksheet(book, "メモ");
    lxw_worksheet *sheet = workbook_add_worksheet(book, "社員");
    lxw_format *date = workbook_add_format(book);
    format_set_num_format(date, "yyyy\"年\"m\"月\"d\"日\"");
    lxw_format *bold = workbook_add_format(book);
    format_set_bold(bold);
    const char *headers[] = {"社員コード", "氏名", "性別", "入社年月日", "〒", "TEL", "所属"};
    for (int i = 0; i < 7; ++i)
        worksheet_write_string(sheet, 0, lxw_col_t(i), headers[i], bold);
    worksheet_write_number(sheet, 2, 0, 101, nullptr); // row 3: row 2 is empty
    char familyText[] = "鈴木", givenText[] = " 一郎";
    lxw_rich_string_tuple family{bold, familyText}, given{nullptr, givenText};
    lxw_rich_string_tuple *name[] = {&family, &given, nullptr};
    worksheet_write_rich_string(sheet, 2, 1, name, nullptr);
    lxw_datetime joined{2019, 5, 1, 0, 0, 0};
    worksheet_write_datetime(sheet, 2, 3, &joined, date);
    worksheet_write_number(sheet, 2, 4, 1000001, nullptr);
    worksheet_write_number(sheet, 2, 5, 312345678, nullptr);
    worksheet_write_number(sheet, 3, 0, 102, nullptr);
    worksheet_write_string(sheet, 3, 1, "高橋 次郎", nullptr);
    worksheet_write_string(sheet, 3, 2, "女", nullptr);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);

    const SImport imported = ImportWorkbook(path);
    QVERIFY2(imported.read, qPrintable(imported.error));
    QVERIFY2(imported.summary.Refused() == 0, qPrintable(imported.summary.Text(10)));
    QCOMPARE(imported.summary.employeesAdded, 2);
    QCOMPARE(Field(QStringLiteral("SELECT Name FROM Mast01 WHERE Code = 101")), QStringLiteral("鈴木 一郎"));
    QCOMPARE(Field(QStringLiteral("SELECT Indat FROM Mast01 WHERE Code = 101")).left(10), QStringLiteral("2019-05-01"));
    QCOMPARE(Field(QStringLiteral("SELECT Yuu FROM Mast01 WHERE Code = 101")), QStringLiteral("1000001"));
    QCOMPARE(Field(QStringLiteral("SELECT TEL FROM Mast01 WHERE Code = 101")), QStringLiteral("312345678"));
    QCOMPARE(Field(QStringLiteral("SELECT Sex FROM Mast01 WHERE Code = 102")), QStringLiteral("1"));
    QCOMPARE(Field(QStringLiteral("SELECT Indat FROM Mast01 WHERE Code = 102")), QStringLiteral("<null>"));
}

// A one-sheet workbook of another name, in the 1904 date system, with reading aids in
// its shared strings, inline strings, a formula's text and escaped characters.
void TestXlsx::handMadeWorkbook()
{
    const QString path = Zip(m_dir.filePath(QStringLiteral("hand.xlsx")), HandMade(kHandMadeRows));
    QVERIFY(!path.isEmpty());
    const SImport imported = ImportWorkbook(path);
    QVERIFY2(imported.read, qPrintable(imported.error));
    QVERIFY2(imported.summary.Refused() == 0, qPrintable(imported.summary.Text(10)));
    QCOMPARE(imported.summary.employeesAdded, 2);
    QCOMPARE(Field(QStringLiteral("SELECT Name FROM Mast01 WHERE Code = 12")), QStringLiteral("山田 太郎"));
    QCOMPARE(Field(QStringLiteral("SELECT Indat FROM Mast01 WHERE Code = 12")).left(10), QStringLiteral("2000-04-01"));
    QCOMPARE(Field(QStringLiteral("SELECT Mem FROM Mast01 WHERE Code = 12")), QStringLiteral("改行\rあり"));
    QCOMPARE(Field(QStringLiteral("SELECT Name FROM Mast01 WHERE Code = 13")), QStringLiteral("佐藤 花子"));
    QCOMPARE(Field(QStringLiteral("SELECT Yuu FROM Mast01 WHERE Code = 13")), QStringLiteral("0600001"));
}

void TestXlsx::refusals_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QString>("message");
    QTest::newRow("not a zip") << QByteArray("text") << "zip ファイルではありません";
    QTest::newRow("old binary") << QByteArray("xls") << "古い形式（.xls）";
    QTest::newRow("no workbook") << QByteArray("zip") << "Excel ブック（.xlsx）ではありません";
    QTest::newRow("no sheet of ours") << QByteArray("sheets") << "シート「部課」も「社員」もありません";
    QTest::newRow("broken xml") << QByteArray("xml") << "が壊れています";
    QTest::newRow("unknown shared string") << QByteArray("string") << "存在しない文字列";
    QTest::newRow("too many columns") << QByteArray("columns") << "列が多すぎます（256 列まで）";
    QTest::newRow("too many rows") << QByteArray("rows") << "行が多すぎます（1048576 行まで）";
    QTest::newRow("missing file") << QByteArray("missing") << "見つかりません";
}

// Each bad file is named with its fault, and nothing is written.
void TestXlsx::refusals()
{
    QFETCH(QByteArray, kind);
    QFETCH(QString, message);
    QString path = m_dir.filePath(QStringLiteral("bad.xlsx"));
    QFile::remove(path);
    if (kind == "text")
        WriteFile(path, "社員コード,氏名\r\n1,山田\r\n");
    else if (kind == "xls")
        WriteFile(path, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(504, '\0'));
    else if (kind == "zip")
        Zip(path, {{QStringLiteral("word/document.xml"), "<document/>"}});
    else if (kind == "sheets") {
        lxw_workbook *book = workbook_new(QFile::encodeName(path).constData());
        workbook_add_worksheet(book, "Sheet1");
        workbook_add_worksheet(book, "Sheet2");
        QCOMPARE(workbook_close(book), LXW_NO_ERROR);
    } else if (kind == "xml")
        Zip(path, HandMade("<x:row r=\"1\"><x:c r=\"A1\" t=\"s\"><x:v>0</x:v></x:c>"));
    else if (kind == "string")
        Zip(path, HandMade("<x:row r=\"1\"><x:c r=\"A1\" t=\"s\"><x:v>99</x:v></x:c></x:row>"));
    else if (kind == "columns")
        Zip(path, HandMade(kHandMadeRows + "<x:row r=\"8\"><x:c r=\"IW8\"><x:v>1</x:v></x:c></x:row>"));
    else if (kind == "rows")
        Zip(path, HandMade(kHandMadeRows + "<x:row r=\"1048577\"><x:c><x:v>1</x:v></x:c></x:row>"));
    const SImport imported = ImportWorkbook(path);
    QVERIFY(!imported.read);
    QVERIFY2(imported.error.contains(message), qPrintable(imported.error));
    QCOMPARE(Field(QStringLiteral("SELECT COUNT(*) FROM Mast01")), QStringLiteral("0"));
}

// The size a zip file claims for a part is not trusted, nor allowed past the limit.
void TestXlsx::partTooLarge()
{
    const QString path = Zip(m_dir.filePath(QStringLiteral("big.xlsx")),
                             {{QStringLiteral("xl/workbook.xml"), QByteArray(3 << 20, ' ')}});
    CWorkbookArchive archive(1 << 20);
    QString error;
    QVERIFY2(archive.Open(path, error), qPrintable(error));
    QByteArray bytes;
    QVERIFY(!archive.Read(QStringLiteral("xl/workbook.xml"), bytes, error));
    QVERIFY2(error.contains(QStringLiteral("大きすぎます")), qPrintable(error));
    QVERIFY(bytes.isEmpty());
    // Read as it is unpacked, as sheets are: refused when opened, or once past the limit.
    error.clear();
    if (const auto device = archive.OpenPart(QStringLiteral("xl/workbook.xml"), error)) {
        QVERIFY(device->readAll().size() <= (2 << 20));
        QVERIFY(!archive.Finished(*device, QStringLiteral("xl/workbook.xml"), error));
    }
    QVERIFY2(error.contains(QStringLiteral("大きすぎます")), qPrintable(error));
}

void TestXlsx::readerLimits_data()
{
    QTest::addColumn<QByteArray>("sheet");
    QTest::addColumn<QByteArray>("moreShared");
    QTest::addColumn<QByteArray>("date1904");
    QTest::addColumn<QString>("cell");    // where the text is looked for once read
    QTest::addColumn<QString>("outcome"); // that cell's text, or the refusal's words

    const QByteArray deep = Repeated("<r>", 100000) + "<t>深い</t>" + Repeated("</r>", 100000);
    QTest::newRow("runs nested 100,000 deep, shared")
        << RowTwo("<x:c r=\"B2\" t=\"s\"><x:v>7</x:v></x:c>") << "<si>" + deep + "</si>" << QByteArray("1") << "B2"
        << "深い";
    QTest::newRow("runs nested 100,000 deep, inline")
        << RowTwo("<x:c r=\"B2\" t=\"inlineStr\"><x:is>" + deep + "</x:is></x:c>") << QByteArray() << QByteArray("1")
        << "B2"
        << "深い";
    QTest::newRow("the last shared string")
        << RowTwo("<x:c r=\"B2\" t=\"s\"><x:v>6</x:v></x:c>") << QByteArray() << QByteArray("1") << "B2"
        << "改行\rあり";
    QTest::newRow("one past the last shared string")
        << RowTwo("<x:c r=\"B2\" t=\"s\"><x:v>7</x:v></x:c>") << QByteArray() << QByteArray("1") << "B2"
        << "存在しない文字列（7）";
    const QByteArray longest = QString(CReadBudget::MaxCellLength, QChar(u'あ')).toUtf8();
    QTest::newRow("a cell of 32,767 characters")
        << RowTwo("<x:c r=\"B2\" t=\"inlineStr\"><x:is><x:t>" + longest + "</x:t></x:is></x:c>") << QByteArray()
        << QByteArray("1") << "B2" << QString::fromUtf8(longest);
    QTest::newRow("a cell of 32,768 characters")
        << RowTwo("<x:c r=\"B2\" t=\"inlineStr\"><x:is><x:t>" + longest + "x</x:t></x:is></x:c>") << QByteArray()
        << QByteArray("1") << "B2"
        << "シート「名簿」のセル B2: 文字が長すぎます（32767 文字まで）";
    QTest::newRow("a shared string of 32,768 characters in runs")
        << RowTwo("<x:c r=\"D2\" t=\"s\"><x:v>7</x:v></x:c>") << "<si><r><t>" + longest + "</t></r><r><t>x</t></r></si>"
        << QByteArray("1") << "D2"
        << "セル D2: 文字が長すぎます";
    QTest::newRow("a number of 32,768 digits") << RowTwo("<x:c r=\"B2\"><x:v>" + QByteArray(32768, '7') + "</x:v></x:c>")
                                               << QByteArray() << QByteArray("1") << "B2"
                                               << "セル B2: 文字が長すぎます";
    QTest::newRow("a tag of a megabyte") << kHeaderRow + "<x:row r=\"2\" spans=\"" + QByteArray((1 << 20) + 10, '7')
                                                + "\"></x:row>"
                                         << QByteArray() << QByteArray("1") << "B2"
                                         << "長すぎる文字列があります";
    QTest::newRow("column 256 (IV)") << RowTwo("<x:c r=\"IV2\" t=\"inlineStr\"><x:is><x:t>端</x:t></x:is></x:c>")
                                     << QByteArray() << QByteArray("1") << "IV2"
                                     << "端";
    QTest::newRow("column 257 (IW)") << RowTwo("<x:c r=\"IW2\" t=\"inlineStr\"><x:is><x:t>外</x:t></x:is></x:c>")
                                     << QByteArray() << QByteArray("1") << "IW2"
                                     << "列が多すぎます（256 列まで）";
    QTest::newRow("row 1,048,576") << kHeaderRow + "<x:row r=\"1048576\"><x:c r=\"A1048576\"><x:v>5</x:v></x:c></x:row>"
                                   << QByteArray() << QByteArray("1") << "A1048576"
                                   << "5";
    // 35155 days: 2000-04-01 counted from 1904, 1996-03-31 counted from 1900.
    const QByteArray date = RowTwo("<x:c r=\"C2\" s=\"1\"><x:v>35155</x:v></x:c>");
    QTest::newRow("1904 dates as 1") << date << QByteArray() << QByteArray("1") << "C2"
                                     << "2000-04-01";
    QTest::newRow("1904 dates as true") << date << QByteArray() << QByteArray("true") << "C2"
                                        << "2000-04-01";
    QTest::newRow("1904 dates as false") << date << QByteArray() << QByteArray("false") << "C2"
                                         << "1996-03-31";
}

// The reader keeps to its limits at their edges and reads what is within them, however deep.
void TestXlsx::readerLimits()
{
    QFETCH(QByteArray, sheet);
    QFETCH(QByteArray, moreShared);
    QFETCH(QByteArray, date1904);
    QFETCH(QString, cell);
    QFETCH(QString, outcome);
    const QString path = Zip(m_dir.filePath(QStringLiteral("limits.xlsx")), HandMade(sheet, moreShared, date1904));
    QVERIFY(!path.isEmpty());
    CWorkbookReader reader;
    QString error;
    QVERIFY2(reader.Open(path, error), qPrintable(error));
    QList<SSheetRow> rows;
    const bool read = reader.ReadSheet(0, CCsvTable::MaxFields, CXlsxImportReader::MaxRows, rows, error);
    if (!read) {
        QVERIFY2(error.contains(outcome), qPrintable(error));
        QVERIFY(rows.isEmpty());
        return;
    }
    const int column = CWorkbookCell::Column(cell, CCsvTable::MaxFields);
    const qsizetype line = cell.mid(cell.indexOf(QRegularExpression(QStringLiteral("\\d")))).toLongLong();
    QCOMPARE(CWorkbookCell::Reference(column, line), cell);
    const auto row = std::find_if(rows.cbegin(), rows.cend(), [line](const SSheetRow &r) { return r.line == line; });
    QVERIFY(row != rows.cend());
    QCOMPARE(row->cells.value(column), outcome);
}

// A row ends at its last cell, whatever width the header has: a header of 256 columns
// over one-cell rows does not make each row 256 cells.
void TestXlsx::rowsKeepTheirWidth()
{
    QByteArray header = "<x:row r=\"1\">";
    for (int column = 0; column < CCsvTable::MaxFields; ++column)
        header += "<x:c t=\"inlineStr\"><x:is><x:t>h" + QByteArray::number(column) + "</x:t></x:is></x:c>";
    header += "</x:row>";
    QByteArray rows;
    for (int line = 2; line <= 1001; ++line)
        rows += "<x:row r=\"" + QByteArray::number(line) + "\"><x:c><x:v>" + QByteArray::number(line)
              + "</x:v></x:c></x:row>";
    const QString path = Zip(m_dir.filePath(QStringLiteral("wide.xlsx")), HandMade(header + rows));
    CWorkbookReader reader;
    QString error;
    QVERIFY2(reader.Open(path, error), qPrintable(error));
    QList<SSheetRow> read;
    QVERIFY2(reader.ReadSheet(0, CCsvTable::MaxFields, CXlsxImportReader::MaxRows, read, error), qPrintable(error));
    QCOMPARE(read.size(), 1001);
    QCOMPARE(read.constFirst().cells.size(), CCsvTable::MaxFields);
    const QList<SCsvRecord> records = CXlsxImportReader::Records(read);
    QCOMPARE(records.size(), 1001);
    for (qsizetype i = 1; i < records.size(); ++i)
        QCOMPARE(records.at(i).fields.size(), 1);
    QCOMPARE(records.constLast().fields.constFirst(), QStringLiteral("1001"));
}

// The file that once took gigabytes: a header of 256 columns, then a million one-cell
// rows. Read or refused as too large, without running out of memory.
void TestXlsx::millionOneCellRows()
{
    QByteArray header = "<x:row r=\"1\"><x:c t=\"s\"><x:v>0</x:v></x:c>";
    for (int column = 1; column < CCsvTable::MaxFields; ++column)
        header += "<x:c t=\"inlineStr\"><x:is><x:t>列" + QByteArray::number(column) + "</x:t></x:is></x:c>";
    header += "</x:row>";
    QByteArray rows;
    rows.reserve(40 << 20);
    for (int line = 2; line <= 1000001; ++line)
        rows += "<x:row><x:c><x:v>" + QByteArray::number(line) + "</x:v></x:c></x:row>";
    const QString path = Zip(m_dir.filePath(QStringLiteral("million.xlsx")), HandMade(header + rows));
    rows.clear();
    const SImport imported = ImportWorkbook(path);
    QVERIFY(!imported.read);
    QVERIFY2(imported.error.contains(QStringLiteral("大きすぎます（読み込むとメモリを")), qPrintable(imported.error));
    QCOMPARE(Field(QStringLiteral("SELECT COUNT(*) FROM Mast01")), QStringLiteral("0"));
}

void TestXlsx::emptyNameRefused_data()
{
    QTest::addColumn<QByteArray>("nameCell");
    QTest::newRow("an entity left unresolved")
        << QByteArray("<x:c r=\"B2\" t=\"inlineStr\"><x:is><x:t>&xxe;</x:t></x:is></x:c>");
    QTest::newRow("an empty cell") << QByteArray("<x:c r=\"B2\" t=\"inlineStr\"><x:is><x:t></x:t></x:is></x:c>");
    QTest::newRow("a formula without its value") << QByteArray("<x:c r=\"B2\" t=\"str\"><x:f>A1</x:f></x:c>");
    QTest::newRow("spaces") << QByteArray("<x:c r=\"B2\" t=\"inlineStr\"><x:is><x:t>　 </x:t></x:is></x:c>");
}

// A row whose name comes out empty is refused naming its cell, as the form refuses it.
void TestXlsx::emptyNameRefused()
{
    QFETCH(QByteArray, nameCell);
    const QByteArray doctype = "<!DOCTYPE x:worksheet [<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>";
    QMap<QString, QByteArray> parts = HandMade(RowTwo(nameCell));
    parts[QStringLiteral("xl/worksheets/sheet1.xml")].prepend(doctype);
    const QString path = Zip(m_dir.filePath(QStringLiteral("noname.xlsx")), parts);
    const SImport imported = ImportWorkbook(path);
    QVERIFY2(imported.read, qPrintable(imported.error));
    QCOMPARE(imported.summary.Refused(), 1);
    const SCsvRefusal &refusal = imported.summary.refusals.constFirst();
    QCOMPARE(refusal.line, 2);
    QCOMPARE(refusal.column, QStringLiteral("氏名"));
    QVERIFY2(refusal.reason.contains(QStringLiteral("氏名が空です")), qPrintable(refusal.reason));
    QCOMPARE(Field(QStringLiteral("SELECT COUNT(*) FROM Mast01")), QStringLiteral("0"));
}

// An export that cannot be written leaves the file of that name as it was.
void TestXlsx::failedExportKeepsFile()
{
    FillRegister();
    QString error;
    QVERIFY(!ExportWorkbook(m_dir.filePath(QStringLiteral("ない/台帳.xlsx")), EDateForm::Era, error));
    QVERIFY(!error.isEmpty());
    QTemporaryDir dir;
    const QString path = WriteFile(dir.filePath(QStringLiteral("残る.xlsx")), "old");
    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
    const bool written = ExportWorkbook(path, EDateForm::Era, error);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    if (written)
        QSKIP("the folder cannot be made read-only here (running as root)");
    QCOMPARE(ReadFile(path), QByteArray("old"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// --export-xlsx and --import-xlsx: a new register made from a workbook, the date form
// checked, and a refused workbook writing nothing.
void TestXlsx::commandLine()
{
    FillRegister();
    const QString book = m_dir.filePath(QStringLiteral("out/台帳.xlsx"));
    const auto run = [](const QStringList &arguments, QString *err = nullptr) {
        QString o, e;
        QTextStream out(&o), errors(&e);
        const int status = CCsvCommandLine::Run(QStringList{QStringLiteral("morvek")} + arguments, out, errors);
        errors.flush();
        if (err)
            *err = e;
        return status;
    };
    QString err;
    QCOMPARE(run({QStringLiteral("--export-xlsx"), book, QStringLiteral("--date-form"), QStringLiteral("heisei")}, &err),
             CCsvCommandLine::ExitUsage);
    QCOMPARE(run({QStringLiteral("--export-xlsx"), book, QStringLiteral("--database"), m_db->Path(),
                  QStringLiteral("--date-form"), QStringLiteral("iso")},
                 &err),
             0);
    const QString fresh = m_dir.filePath(QStringLiteral("new.mdb"));
    QCOMPARE(run({QStringLiteral("--import-xlsx"), book, QStringLiteral("--database"), fresh}, &err), 0);
    const QByteArray before = RegisterText();
    CDaoRecordset::SetApplicationDatabasePath(fresh);
    QCOMPARE(RegisterText(), before);

    const QString bad = WriteFile(m_dir.filePath(QStringLiteral("bad.xlsx")), "not a workbook");
    const QString other = m_dir.filePath(QStringLiteral("other.mdb"));
    QCOMPARE(run({QStringLiteral("--import-xlsx"), bad, QStringLiteral("--database"), other}, &err),
             CCsvCommandLine::ExitFailure);
    QVERIFY2(err.contains(QStringLiteral("何も書き込んでいません")), qPrintable(err));
    QVERIFY(!QFile::exists(other));
    CDaoRecordset::SetApplicationDatabasePath(m_db->Path());
}

void TestXlsx::lostZerosFromNumberCells_data()
{
    QTest::addColumn<bool>("keep");
    QTest::newRow("put back by default") << false;
    QTest::newRow("--keep-numbers") << true;
}

// A staff list a spreadsheet saved: 〒 and TEL as number cells, the department by its
// name alone, into a new register under the company named for it.
void TestXlsx::lostZerosFromNumberCells()
{
    QFETCH(bool, keep);
    const QString path = m_dir.filePath(QStringLiteral("numbers.xlsx"));
    lxw_workbook *book = workbook_new(QFile::encodeName(path).constData());
    lxw_worksheet *sheet = workbook_add_worksheet(book, "名簿");
    const char *headers[] = {"社員番号", "氏名", "性別", "郵便番号", "電話番号", "FAX", "部署"};
    for (int i = 0; i < 7; ++i)
        worksheet_write_string(sheet, 0, lxw_col_t(i), headers[i], nullptr);
    worksheet_write_number(sheet, 1, 0, 101, nullptr);
    worksheet_write_string(sheet, 1, 1, "山田 太郎", nullptr);
    worksheet_write_string(sheet, 1, 2, "男", nullptr);
    worksheet_write_number(sheet, 1, 3, 600001, nullptr);
    worksheet_write_number(sheet, 1, 4, 312345678, nullptr);
    worksheet_write_string(sheet, 1, 5, "312345679", nullptr); // digits typed as text
    worksheet_write_string(sheet, 1, 6, "営業部", nullptr);
    QCOMPARE(workbook_close(book), LXW_NO_ERROR);

    const QString fresh = m_dir.filePath(QStringLiteral("numbers.mdb"));
    QStringList arguments{
        QStringLiteral("--import-xlsx"), path, QStringLiteral("--database"), fresh, "--company", QStringLiteral("本社"),
        QStringLiteral("--create-units")};
    if (keep)
        arguments << QStringLiteral("--keep-numbers");
    QString o, e;
    QTextStream out(&o), errors(&e);
    QCOMPARE(CCsvCommandLine::Run(QStringList{QStringLiteral("morvek")} + arguments, out, errors), 0);
    out.flush();
    CDaoRecordset::SetApplicationDatabasePath(fresh);
    QCOMPARE(Field(QStringLiteral("SELECT Yuu || ' ' || TEL || ' ' || FAX FROM Mast01 WHERE Code = 101")),
             keep ? QStringLiteral("600001 312345678 312345679") : QStringLiteral("0600001 0312345678 0312345679"));
    QCOMPARE(Field(QStringLiteral("SELECT p.Name || '/' || u.Name FROM Mast01 e JOIN Mast00 u ON u.ID = e.Busyo "
                                  "JOIN Mast00 p ON p.ID = u.Parent")),
             QStringLiteral("本社/営業部"));
    CDaoRecordset::SetApplicationDatabasePath(m_db->Path());
    QCOMPARE(o.count(QStringLiteral("先頭の 0 を補いました")), keep ? 0 : 3);
    QVERIFY2(o.contains(QStringLiteral("名簿 2 行目「TEL」: 先頭の 0 を補いました（「312345678」→「0312345678」）"))
                 != keep,
             qPrintable(o));
}

// 2,000 employees exported, each sheet turned into CSV by LibreOffice as it shows the
// cells: every cell equals the register's.
void TestXlsx::libreOfficeReadsEveryCell()
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        QSKIP("LibreOffice (soffice) is not installed");
    m_db.reset();
    const QString path = m_dir.filePath(QStringLiteral("big.mdb"));
    CRegisterGenerator::SOptions options;
    options.nEmployees = 2000;
    options.nPhotoSide = 0;
    CRegisterGenerator::Generate(path, options);
    CDaoRecordset::SetApplicationDatabasePath(path);
    FillRegister();
    for (const bool iso : {false, true}) {
        const QString book = m_dir.filePath(iso ? QStringLiteral("iso.xlsx") : QStringLiteral("era.xlsx"));
        QString error;
        QVERIFY2(ExportWorkbook(book, iso ? EDateForm::Iso : EDateForm::Era, error), qPrintable(error));
        QProcess office;
        office.setWorkingDirectory(m_dir.path());
        // A profile of its own: no other LibreOffice can hold it.
        office.start(soffice,
                     {QStringLiteral("-env:UserInstallation=file://") + m_dir.filePath(QStringLiteral("profile")),
                      QStringLiteral("--headless"), QStringLiteral("--convert-to"),
                      QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true,false,false,-1"),
                      QStringLiteral("--outdir"), m_dir.path(), book});
        QVERIFY(office.waitForFinished(240000));
        QCOMPARE(office.exitCode(), 0);
        // The cells as written, without the apostrophes only CSV files get.
        QByteArray units, employees;
        {
            CDaoDatabase db;
            db.Open(path);
            CCsvExporter(db).Rows([&units](const QStringList &fields) { CCsvTable::AppendRecord(units, fields); },
                                  [&employees](const QStringList &fields) { CCsvTable::AppendRecord(employees, fields); });
        }
        const QString base = QFileInfo(book).completeBaseName();
        for (const auto &[sheet, expectedBytes] :
             {std::pair{QStringLiteral("部課"), units}, std::pair{QStringLiteral("社員"), employees}}) {
            QList<SCsvRecord> expected, shown;
            QString reason;
            QVERIFY(CCsvTable::Parse(expectedBytes, expected, reason));
            const QByteArray written = ReadFile(m_dir.filePath(base + QLatin1Char('-') + sheet + QStringLiteral(".csv")));
            QVERIFY2(CCsvTable::Parse(written, shown, reason), qPrintable(reason));
            QCOMPARE(shown.size(), expected.size());
            for (qsizetype row = 0; row < expected.size(); ++row) {
                QStringList cells = shown.at(row).fields;
                while (cells.size() < expected.at(row).fields.size())
                    cells << QString();
                for (qsizetype column = 0; column < cells.size(); ++column) {
                    QString cell = cells.at(column);
                    CDateValue date;
                    // A date as shown, era or ISO, read back as the importer reads it.
                    if (row > 0 && sheet == QStringLiteral("社員") && column >= 4 && column <= 6 && !cell.isEmpty()
                        && CCsvDate::Parse(cell, date, reason))
                        cell = CCsvDate::Format(date);
                    // A cell of LibreOffice holds lines, not carriage returns.
                    QString want = expected.at(row).fields.value(column);
                    want.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
                    QVERIFY2(cell == want, qPrintable(QStringLiteral("%1 %2 行 %3 列: 「%4」≠「%5」")
                                                          .arg(sheet)
                                                          .arg(row + 1)
                                                          .arg(column + 1)
                                                          .arg(cell, want)));
                }
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestXlsx)
#include "tst_xlsx.moc"
