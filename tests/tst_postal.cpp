// Japan Post's postal code file read into the program's own file, and looked up by code
// and by address: its quirks, its encodings and zip files, refusals that keep the data.
#include "postal/postalcode.h"
#include "postal/postaldirectory.h"
#include "postal/postalfill.h"
#include "postal/postaltownname.h"
#include "support/postalfilebuilder.h"
#include "testsupport.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QStringList Addresses(const QList<SPostalEntry> &entries)
{
    QStringList addresses;
    for (const SPostalEntry &entry : entries)
        addresses << entry.Address();
    return addresses;
}
} // namespace

class TestPostal : public QObject
{
    Q_OBJECT

private:
    QString Write(const QString &name, const QByteArray &bytes) { return WriteFile(m_dir->filePath(name), bytes); }
    // The sample, as the row of a _data() table names it.
    QString SampleFile(const QString &form);

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CPostalDirectory> m_postal;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_postal = std::make_unique<CPostalDirectory>(m_dir->filePath(QStringLiteral("kept/MorvekPostal.dat")));
    }

    void normalize_data();
    void normalize();
    void townName_data();
    void townName();
    void readsEveryForm_data();
    void readsEveryForm();
    void unclosedNoteEndsAtTheNextCode();
    void keepsDataDate();
    void loadingAgainReplaces();
    void refusedFileKeepsData_data();
    void refusedFileKeepsData();
    void damagedKeptFileIsNoData();
    void sharedFollowsSettings();
    void findByAddress_data();
    void findByAddress();
    void formFill_data();
    void formFill();
    void nationalSize();
};

void TestPostal::normalize_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("code");
    QTest::newRow("digits") << "1000001"
                            << "1000001";
    QTest::newRow("hyphen") << "100-0001"
                            << "1000001";
    QTest::newRow("full width") << QStringLiteral("１００－０００１") << "1000001";
    QTest::newRow("mark and space") << QStringLiteral("〒 100-0001") << "1000001";
    QTest::newRow("IME hyphen") << QStringLiteral("100ー0001") << "1000001";
    QTest::newRow("six digits") << "100-001"
                                << "";
    QTest::newRow("eight digits") << "10000011"
                                  << "";
    QTest::newRow("letter") << "100-000a"
                            << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestPostal::normalize()
{
    QFETCH(QString, typed);
    QFETCH(QString, code);
    QCOMPARE(CPostalCode::Normalize(typed), code);
}

void TestPostal::townName_data()
{
    QTest::addColumn<QString>("town");
    QTest::addColumn<QString>("cleaned");
    QTest::addColumn<bool>("open");
    QTest::newRow("plain") << QStringLiteral("千代田") << QStringLiteral("千代田") << false;
    QTest::newRow("no town") << QStringLiteral("以下に掲載がない場合") << QString() << false;
    QTest::newRow("number next") << QStringLiteral("猪苗代町の次に番地がくる場合") << QString() << false;
    QTest::newRow("whole village") << QStringLiteral("利島村一円") << QString() << false;
    QTest::newRow("town named 一円") << QStringLiteral("一円") << QStringLiteral("一円") << false;
    QTest::newRow("blocks") << QStringLiteral("大通西（１～１９丁目）") << QStringLiteral("大通西") << false;
    QTest::newRow("but buildings") << QStringLiteral("西新宿（次のビルを除く）") << QStringLiteral("西新宿") << false;
    QTest::newRow("floor") << QStringLiteral("丸の内ＪＰタワー（３階）") << QStringLiteral("丸の内ＪＰタワー") << false;
    QTest::newRow("ascii parenthesis") << QStringLiteral("藤野(400番地)") << QStringLiteral("藤野") << false;
    QTest::newRow("open") << QStringLiteral("大江（１丁目、２丁目「６５１") << QStringLiteral("大江") << true;
    QTest::newRow("nested closed") << QStringLiteral("大江（２丁目「６５１（１）」）") << QStringLiteral("大江") << false;
}

void TestPostal::townName()
{
    QFETCH(QString, town);
    QFETCH(QString, cleaned);
    QFETCH(bool, open);
    QCOMPARE(CPostalTownName::Clean(town), cleaned);
    QCOMPARE(CPostalTownName::IsOpen(town), open);
}

QString TestPostal::SampleFile(const QString &form)
{
    const CPostalFileBuilder file = CPostalFileBuilder::Sample();
    const QByteArray sjis = file.ShiftJis();
    if (form == QStringLiteral("sjis"))
        return Write(QStringLiteral("KEN_ALL.CSV"), sjis);
    if (form == QStringLiteral("utf8"))
        return Write(QStringLiteral("utf_ken_all.csv"), file.Utf8());
    if (form == QStringLiteral("utf8 bom"))
        return Write(QStringLiteral("utf_ken_all.csv"), "\xEF\xBB\xBF" + file.Utf8());
    if (form == QStringLiteral("sjis zip"))
        return CPostalFileBuilder::WriteZip(m_dir->filePath(QStringLiteral("ken_all.zip")), QStringLiteral("KEN_ALL.CSV"),
                                            sjis);
    return CPostalFileBuilder::WriteZip(m_dir->filePath(QStringLiteral("utf_ken_all.zip")),
                                        QStringLiteral("utf_ken_all.csv"), file.Utf8());
}

void TestPostal::readsEveryForm_data()
{
    QTest::addColumn<QString>("form");
    for (const char *form : {"sjis", "utf8", "utf8 bom", "sjis zip", "utf8 zip"})
        QTest::newRow(form) << QString::fromLatin1(form);
}

void TestPostal::readsEveryForm()
{
    QFETCH(QString, form);
    QVERIFY(!m_postal->IsLoaded());
    QString error;
    QVERIFY2(m_postal->Load(SampleFile(form), error), qPrintable(error));
    QVERIFY(m_postal->IsLoaded());
    const QList<std::pair<QString, QStringList>> expected = {
        {"0600042", {QStringLiteral("北海道札幌市中央区大通西")}},
        {"0482402", {QStringLiteral("北海道余市郡仁木町大江")}},
        {"1000000", {QStringLiteral("東京都千代田区")}},
        {"1000001", {QStringLiteral("東京都千代田区千代田")}},
        {"1006090", {QStringLiteral("東京都千代田区丸の内ＪＰタワー")}},
        {"1006091", {QStringLiteral("東京都千代田区丸の内ＪＰタワー")}},
        {"1000301", {QStringLiteral("東京都利島村")}},
        {"6020000", {QStringLiteral("京都府京都市上京区一条殿町"), QStringLiteral("京都府京都市上京区二条殿町")}},
        {"9691100", {QStringLiteral("福島県耶麻郡猪苗代町")}},
        {"5220317", {QStringLiteral("滋賀県犬上郡多賀町一円")}},
        {"0000000", {}},
        {"9999999", {}},
        {"1000002", {}},
    };
    for (const auto &[code, addresses] : expected)
        QCOMPARE(Addresses(m_postal->Find(code)), addresses);
    QCOMPARE(m_postal->Header().count, 11);
}

// A parenthesis left open joins only lines of its own code.
void TestPostal::unclosedNoteEndsAtTheNextCode()
{
    CPostalFileBuilder file;
    file.Add(QStringLiteral("0010001"), QStringLiteral("北海道"), QStringLiteral("札幌市北区"),
             QStringLiteral("北十条（１"))
        .Add(QStringLiteral("0010002"), QStringLiteral("北海道"), QStringLiteral("札幌市北区"), QStringLiteral("北十一条"));
    QString error;
    QVERIFY2(m_postal->Load(Write(QStringLiteral("open.csv"), file.Utf8()), error), qPrintable(error));
    QCOMPARE(Addresses(m_postal->Find(QStringLiteral("0010001"))), QStringList{QStringLiteral("北海道札幌市北区北十条")});
    QCOMPARE(Addresses(m_postal->Find(QStringLiteral("0010002"))), QStringList{QStringLiteral("北海道札幌市北区北十一条")});
}

void TestPostal::keepsDataDate()
{
    const QString path = SampleFile(QStringLiteral("sjis"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime(QDate(2024, 5, 31), QTime(12, 0)), QFileDevice::FileModificationTime));
    file.close();
    QString error;
    QVERIFY2(m_postal->Load(path, error), qPrintable(error));
    QCOMPARE(m_postal->Header().dataDate, QDate(2024, 5, 31));
    QCOMPARE(m_postal->Header().source, QStringLiteral("KEN_ALL.CSV"));
    QVERIFY(m_postal->Description().contains(QStringLiteral("2024年5月31日")));
    // Reopened from the file, as a program started later finds it.
    CPostalDirectory again(m_postal->Path());
    QCOMPARE(again.Header().dataDate, QDate(2024, 5, 31));
    QCOMPARE(Addresses(again.Find(QStringLiteral("1000001"))), QStringList{QStringLiteral("東京都千代田区千代田")});
}

void TestPostal::loadingAgainReplaces()
{
    QString error;
    const QString first = SampleFile(QStringLiteral("utf8"));
    QVERIFY2(m_postal->Load(first, error), qPrintable(error));
    QVERIFY2(m_postal->Load(first, error), qPrintable(error));
    QCOMPARE(m_postal->Find(QStringLiteral("6020000")).size(), 2);
    QCOMPARE(m_postal->Header().count, 11);
    // A later file in place of the first: its codes only, however many the first had.
    CPostalDirectory other(m_postal->Path());
    QCOMPARE(other.Find(QStringLiteral("1000001")).size(), 1);
    CPostalFileBuilder later;
    later.Add(QStringLiteral("1500000"), QStringLiteral("東京都"), QStringLiteral("渋谷区"),
              QStringLiteral("以下に掲載がない場合"));
    QVERIFY2(m_postal->Load(Write(QStringLiteral("later.csv"), later.ShiftJis()), error), qPrintable(error));
    QVERIFY(m_postal->Find(QStringLiteral("1000001")).isEmpty());
    QCOMPARE(Addresses(m_postal->Find(QStringLiteral("1500000"))), QStringList{QStringLiteral("東京都渋谷区")});
    // Another directory on the same file sees the new data too.
    QVERIFY(other.Find(QStringLiteral("1000001")).isEmpty());
    QCOMPARE(other.Header().count, 1);
}

void TestPostal::refusedFileKeepsData_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("words");
    QTest::newRow("missing") << "missing" << QStringLiteral("見つかりません");
    QTest::newRow("empty") << "empty" << QStringLiteral("郵便番号がありません");
    QTest::newRow("staff list") << "staff" << QStringLiteral("1 行目が読めません");
    QTest::newRow("picture") << "png" << QStringLiteral("ではありません");
    QTest::newRow("line cut short") << "short" << QStringLiteral("3 行目が読めません");
    QTest::newRow("seven digits missing") << "badcode" << QStringLiteral("2 行目が読めません");
    QTest::newRow("quote left open") << "quote" << QStringLiteral("2 行目が読めません");
    QTest::newRow("neither encoding") << "eucjp" << QStringLiteral("Shift_JIS でも UTF-8 でもありません");
    QTest::newRow("zip without it") << "zipnocsv" << QStringLiteral("KEN_ALL.CSV）がありません");
    QTest::newRow("damaged zip") << "zipdamaged" << QStringLiteral("zip ファイルとして読めません");
    QTest::newRow("too large") << "huge" << QStringLiteral("64 MB まで");
}

void TestPostal::refusedFileKeepsData()
{
    QFETCH(QString, kind);
    QFETCH(QString, words);
    QString error;
    QVERIFY2(m_postal->Load(SampleFile(QStringLiteral("sjis")), error), qPrintable(error));
    const QByteArray kept = ReadFile(m_postal->Path());
    const QByteArray good = CPostalFileBuilder::Sample().Utf8();
    const QList<QByteArray> lines = good.split('\n');
    QString path = m_dir->filePath(QStringLiteral("bad.csv"));
    if (kind == QStringLiteral("empty"))
        Write(QStringLiteral("bad.csv"), "\r\n");
    else if (kind == QStringLiteral("staff"))
        Write(QStringLiteral("bad.csv"), QStringLiteral("社員コード,氏名,〒\r\n1,山田,1000001\r\n").toUtf8());
    else if (kind == QStringLiteral("png"))
        Write(QStringLiteral("bad.csv"), QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
    else if (kind == QStringLiteral("short"))
        Write(QStringLiteral("bad.csv"), lines[0] + '\n' + lines[1] + '\n' + lines[2].left(40));
    else if (kind == QStringLiteral("badcode"))
        Write(QStringLiteral("bad.csv"), lines[0] + '\n' + QByteArray(lines[1]).replace("\"0600042\"", "\"60042\""));
    else if (kind == QStringLiteral("quote"))
        Write(QStringLiteral("bad.csv"), lines[0] + '\n' + QByteArray(lines[1]).replace("\"0600042\"", "\"0600042"));
    else if (kind == QStringLiteral("eucjp"))
        Write(QStringLiteral("bad.csv"), lines[0] + '\n' + QByteArray("\x8f\xa2\xaf\xff\xfe,", 6));
    else if (kind == QStringLiteral("zipnocsv"))
        path = CPostalFileBuilder::WriteZip(m_dir->filePath(QStringLiteral("bad.zip")), QStringLiteral("readme.txt"), good);
    else if (kind == QStringLiteral("zipdamaged"))
        path = Write(QStringLiteral("bad.zip"), QByteArray("PK\x03\x04", 4) + QByteArray(200, '\x5a'));
    else if (kind == QStringLiteral("huge")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.resize(CPostalFileReader::MaxBytes + 1));
    } else
        path = m_dir->filePath(QStringLiteral("gone.csv"));
    QVERIFY(!m_postal->Load(path, error));
    QVERIFY2(error.contains(words), qPrintable(error));
    QVERIFY2(error.contains(QFileInfo(path).fileName()), qPrintable(error));
    QCOMPARE(ReadFile(m_postal->Path()), kept);
    QCOMPARE(Addresses(m_postal->Find(QStringLiteral("1000001"))), QStringList{QStringLiteral("東京都千代田区千代田")});
}

void TestPostal::damagedKeptFileIsNoData()
{
    QString error;
    QVERIFY2(m_postal->Load(SampleFile(QStringLiteral("utf8")), error), qPrintable(error));
    QVERIFY(m_postal->IsLoaded());
    for (const QByteArray &bytes : {QByteArray(), QByteArray("garbage\n"), QByteArray("MORVEK-POSTAL\t1\tx")}) {
        WriteFile(m_postal->Path(), bytes);
        CPostalDirectory fresh(m_postal->Path());
        QVERIFY(!fresh.IsLoaded());
        QVERIFY(fresh.Find(QStringLiteral("1000001")).isEmpty());
        QVERIFY(fresh.FindByAddress(QStringLiteral("東京都")).entries.isEmpty());
    }
}

void TestPostal::sharedFollowsSettings()
{
    IsolateSettings(m_dir->filePath(QStringLiteral("settings")));
    QVERIFY(CPostalDirectory::DefaultPath().startsWith(m_dir->filePath(QStringLiteral("settings"))));
    QVERIFY(!CPostalDirectory::Shared().IsLoaded());
    QString error;
    QVERIFY2(CPostalDirectory::Shared().Load(SampleFile(QStringLiteral("sjis zip")), error), qPrintable(error));
    QVERIFY(QFile::exists(CPostalDirectory::DefaultPath()));
    QCOMPARE(CPostalDirectory::Shared().Find(QStringLiteral("1000001")).size(), 1);
    // Nothing else left beside it: the temporary file was renamed.
    QCOMPARE(QDir(QFileInfo(CPostalDirectory::DefaultPath()).absolutePath())
                 .entryList({QStringLiteral("MorvekPostal*")}, QDir::Files),
             QStringList{QStringLiteral("MorvekPostal.dat")});
}

void TestPostal::findByAddress_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("codes");
    QTest::addColumn<bool>("prefix");
    QTest::newRow("town and number") << QStringLiteral("東京都千代田区千代田1-1") << QStringList{"1000001"} << true;
    QTest::newRow("city alone") << QStringLiteral("東京都千代田区")
                                << QStringList{"1000000", "1000001", "1006090", "1006091"} << false;
    QTest::newRow("city and number") << QStringLiteral("東京都千代田区9-9") << QStringList{"1000000"} << true;
    QTest::newRow("start of a building") << QStringLiteral("東京都千代田区丸の内") << QStringList{"1006090", "1006091"}
                                         << false;
    QTest::newRow("start of towns") << QStringLiteral("京都府京都市上京区") << QStringList{"6020000", "6020000"} << false;
    QTest::newRow("whole village") << QStringLiteral("東京都利島村2") << QStringList{"1000301"} << true;
    QTest::newRow("unknown") << QStringLiteral("大阪府") << QStringList{} << false;
    QTest::newRow("empty") << QStringLiteral("  ") << QStringList{} << false;
}

void TestPostal::findByAddress()
{
    QFETCH(QString, typed);
    QFETCH(QStringList, codes);
    QFETCH(bool, prefix);
    QString error;
    QVERIFY2(m_postal->Load(SampleFile(QStringLiteral("sjis")), error), qPrintable(error));
    const CPostalStoreFile::SMatches matches = m_postal->FindByAddress(typed);
    QStringList found;
    for (const SPostalEntry &entry : matches.entries)
        found << entry.code;
    QCOMPARE(found, codes);
    QCOMPARE(matches.prefix, prefix);
    // A limit counts what is left out.
    const CPostalStoreFile::SMatches one = m_postal->FindByAddress(typed, 1);
    QCOMPARE(one.entries.size(), qMin(qsizetype(1), codes.size()));
    QCOMPARE(one.more, qMax(qsizetype(0), codes.size() - 1));
}

void TestPostal::formFill_data()
{
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("postal");
    QTest::addColumn<QString>("address1");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QString>("message");
    using E = CPostalFill::EOutcome;
    QTest::newRow("one town") << true << "100-0001"
                              << "" << int(E::Found) << QStringList{QStringLiteral("東京都千代田区千代田")} << "";
    QTest::newRow("full width") << true << QStringLiteral("１０００００１") << " " << int(E::Found)
                                << QStringList{QStringLiteral("東京都千代田区千代田")} << "";
    QTest::newRow("two towns") << true << "6020000"
                               << "" << int(E::Found)
                               << QStringList{QStringLiteral("京都府京都市上京区一条殿町"),
                                              QStringLiteral("京都府京都市上京区二条殿町")}
                               << "";
    QTest::newRow("one address of two lines")
        << true << "0600042"
        << "" << int(E::Found) << QStringList{QStringLiteral("北海道札幌市中央区大通西")} << "";
    QTest::newRow("address typed") << true << "1000001" << QStringLiteral("大阪") << int(E::Nothing) << QStringList{} << "";
    QTest::newRow("not a code") << true << "100-001"
                                << "" << int(E::Nothing) << QStringList{} << "";
    QTest::newRow("unknown") << true << "999-9999"
                             << "" << int(E::Unknown) << QStringList{}
                             << QStringLiteral("〒 999-9999 は郵便番号データにありません。");
    QTest::newRow("no data") << false << "1000001"
                             << "" << int(E::NoData) << QStringList{} << QStringLiteral("郵便番号データの読み込み");
}

void TestPostal::formFill()
{
    QFETCH(bool, loaded);
    QFETCH(QString, postal);
    QFETCH(QString, address1);
    QFETCH(int, outcome);
    QFETCH(QStringList, addresses);
    QFETCH(QString, message);
    QString error;
    if (loaded)
        QVERIFY2(m_postal->Load(SampleFile(QStringLiteral("utf8")), error), qPrintable(error));
    const CPostalFill::SResult result = CPostalFill::ForForm(*m_postal, postal, address1);
    QCOMPARE(int(result.outcome), outcome);
    QCOMPARE(result.addresses, addresses);
    if (message.isEmpty())
        QVERIFY(result.message.isEmpty());
    else
        QVERIFY2(result.message.contains(message), qPrintable(result.message));
}

void TestPostal::nationalSize()
{
    const CPostalFileBuilder national = CPostalFileBuilder::Synthetic(124000);
    const QString path = Write(QStringLiteral("KEN_ALL.CSV"), national.ShiftJis());
    QString error;
    qsizetype lastDone = 0;
    int reports = 0;
    QVERIFY2(m_postal->Load(path, error,
                            [&](qsizetype done, qsizetype total) {
                                QVERIFY(done > lastDone && done <= total);
                                lastDone = done;
                                ++reports;
                            }),
             qPrintable(error));
    QVERIFY(reports > 10);
    QVERIFY(m_postal->Header().count > 120000);
    // The split towns and second towns of a code, wherever they fall.
    QCOMPARE(Addresses(m_postal->Find(QStringLiteral("0010000"))),
             (QStringList{QStringLiteral("北海道第0市大通0"), QStringLiteral("北海道第0市本町1")}));
}

QTEST_GUILESS_MAIN(TestPostal)
#include "tst_postal.moc"
