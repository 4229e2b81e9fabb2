// Photos from picture files: names matched to codes, scaling, refusals, and the
// folder written all or nothing, from the command line too.
#include "csv/csvcommandline.h"
#include "csv/photoimport.h"
#include "shell/photocommands.h"
#include "photo/dibblock.h"
#include "photo/photofile.h"
#include "photo/photofilename.h"
#include "register/employeephotos.h"
#include "register/register.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/daorecordset.h"
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QImage>
#include <QSignalSpy>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {
const QSize kBox(105, 130);

// "name:kind" where kind is WxH (a PNG, JPEG or BMP by the name), damaged or huge (over 16 MB).
void MakeFile(const QString &folder, const QString &entry)
{
    const QString name = entry.section(QLatin1Char(':'), 0, 0);
    const QString kind = entry.section(QLatin1Char(':'), 1);
    const QString path = folder + QLatin1Char('/') + name;
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    if (kind == QStringLiteral("damaged")) {
        file.write("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10\0\0\0\x10garbage", 31);
    } else if (kind == QStringLiteral("huge")) {
        file.write("BM");
        QVERIFY(file.resize(CPhotoFile::kMaxFileBytes + 1));
    } else {
        file.close();
        QImage image(kind.section(QLatin1Char('x'), 0, 0).toInt(), kind.section(QLatin1Char('x'), 1).toInt(),
                     QImage::Format_RGB32);
        image.fill(Qt::darkCyan);
        QVERIFY(image.save(path));
    }
}

QByteArray Pic(qint32 id)
{
    CDaoDatabase db;
    db.Open(CDaoRecordset::ApplicationDatabasePath());
    QSqlQuery q(db.Connection());
    q.prepare(QStringLiteral("SELECT Pic FROM Mast01 WHERE ID = ?"));
    q.addBindValue(id);
    if (!q.exec() || !q.next())
        return "<none>";
    return q.value(0).toByteArray();
}

int RunCommand(const QStringList &arguments, QString *out, QString *err)
{
    QTextStream outStream(out), errStream(err);
    const int status = CCsvCommandLine::Run(QStringList{QStringLiteral("morvek")} + arguments, outStream, errStream);
    outStream.flush();
    errStream.flush();
    return status;
}
} // namespace

class TestPhotoImport : public QObject
{
    Q_OBJECT

private slots:
    void codeFromName_data();
    void codeFromName();
    void fitted_data();
    void fitted();
    void folder_data();
    void folder();
    void storedAllOrNothing();
    void commandLine_data();
    void commandLine();
    void windowAsksFirst_data();
    void windowAsksFirst();
    void windowNamesDamagedBesideDoubles();

private:
    QTemporaryDir m_settings;
};

void TestPhotoImport::codeFromName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::newRow("jpg") << "1234.jpg" << 1234;
    QTest::newRow("leading zeros") << "001234.png" << 1234;
    QTest::newRow("upper case jpeg") << "77.JPEG" << 77;
    QTest::newRow("bmp") << "5.bmp" << 5;
    QTest::newRow("not digits") << "12a4.jpg" << 0;
    QTest::newRow("gif") << "1234.gif" << 0;
    QTest::newRow("zero") << "000.png" << 0;
    QTest::newRow("past the largest code") << "1000000000.png" << 0;
    QTest::newRow("no name") << ".jpg" << 0;
    QTest::newRow("two dots") << "12.34.jpg" << 0;
    QTest::newRow("sign") << "-5.png" << 0;
}

void TestPhotoImport::codeFromName()
{
    QFETCH(QString, name);
    QFETCH(int, code);
    QCOMPARE(CPhotoFileName::Code(name), code);
}

void TestPhotoImport::fitted_data()
{
    QTest::addColumn<QSize>("picture");
    QTest::addColumn<QSize>("fitted");
    QTest::newRow("taller") << QSize(300, 400) << QSize(97, 130);
    QTest::newRow("wider") << QSize(1000, 100) << QSize(105, 10);
    QTest::newRow("smaller stays") << QSize(50, 60) << QSize(50, 60);
    QTest::newRow("exact") << kBox << kBox;
    QTest::newRow("a line keeps a pixel") << QSize(8000, 1) << QSize(105, 1);
}

void TestPhotoImport::fitted()
{
    QFETCH(QSize, picture);
    QFETCH(QSize, fitted);
    QCOMPARE(CPhotoFile::Fitted(picture, kBox), fitted);
}

void TestPhotoImport::folder_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("matched");
    QTest::addColumn<int>("unmatched");
    QTest::addColumn<int>("refused");
    QTest::addColumn<QSize>("stored"); // of the first matched
    QTest::newRow("png scaled") << QStringList{"1234.png:300x400"} << 1 << 0 << 0 << QSize(97, 130);
    QTest::newRow("jpeg with zeros kept small") << QStringList{"001234.jpg:50x60"} << 1 << 0 << 0 << QSize(50, 60);
    QTest::newRow("bmp") << QStringList{"7.bmp:210x260"} << 1 << 0 << 0 << QSize(105, 130);
    QTest::newRow("nobody's code") << QStringList{"9999.png:10x10", "face.png:10x10"} << 0 << 2 << 0 << QSize();
    QTest::newRow("other files ignored") << QStringList{"notes.txt:damaged", "7.png:10x10"} << 1 << 0 << 0 << QSize(10, 10);
    QTest::newRow("damaged named") << QStringList{"1234.png:damaged", "7.png:10x10"} << 1 << 0 << 1 << QSize(10, 10);
    QTest::newRow("too wide") << QStringList{"1234.png:8001x2"} << 0 << 0 << 1 << QSize();
    QTest::newRow("too large a file") << QStringList{"1234.bmp:huge"} << 0 << 0 << 1 << QSize();
    QTest::newRow("code twice") << QStringList{"1234.png:10x10", "01234.jpg:10x10"} << 0 << 0 << 2 << QSize();
}

void TestPhotoImport::folder()
{
    QFETCH(QStringList, files);
    QFETCH(int, matched);
    QFETCH(int, unmatched);
    QFETCH(int, refused);
    QFETCH(QSize, stored);
    QTemporaryDir dir;
    for (const QString &entry : files)
        MakeFile(dir.path(), entry);
    CPhotoImport import;
    QString error;
    QVERIFY(import.ReadFolder(dir.path(), kBox, {{1234, 1}, {7, 2}}, error));
    QCOMPARE(import.Matched().size(), matched);
    QCOMPARE(import.Unmatched().size(), unmatched);
    QCOMPARE(import.Refused().size(), refused);
    for (const CPhotoImport::SFile &file : import.Refused())
        QVERIFY2(import.Text().contains(file.name), qPrintable(import.Text()));
    if (matched)
        QCOMPARE(GetDibSize(import.Matched().constFirst().picture), stored);
}

void TestPhotoImport::storedAllOrNothing()
{
    IsolateSettings(m_settings.path());
    CTempDatabase db;
    const QList<qint32> ids = CRegisterBuilder::AddEmployees(
        {CRegisterBuilder::Numbered(1), CRegisterBuilder::Numbered(2)});
    const QByteArray picture = MakePackedDib(QImage(4, 4, QImage::Format_RGB32));
    {
        CDaoDatabase raw;
        raw.Open(db.Path());
        QSqlQuery q(raw.Connection());
        // The second write fails, after the first was made.
        const QString refuse = db.OnServer() ? QStringLiteral(
                                   "CREATE FUNCTION refuse() RETURNS trigger AS $$ BEGIN RAISE EXCEPTION 'refused'; END $$ "
                                   "LANGUAGE plpgsql; CREATE TRIGGER refuse BEFORE UPDATE ON Mast01 FOR EACH ROW "
                                   "WHEN (NEW.ID = %1) EXECUTE FUNCTION refuse()")
                                             : QStringLiteral(
                                                 "CREATE TRIGGER refuse BEFORE UPDATE ON Mast01 WHEN NEW.ID = %1 "
                                                 "BEGIN SELECT RAISE(ABORT, 'refused'); END");
        QVERIFY2(q.exec(refuse.arg(ids.at(1))), qPrintable(q.lastError().text()));
        QSignalSpy changes(&CRegister::Instance(), &CRegister::Changed);
        QVERIFY_THROWS_EXCEPTION(CDaoException, CEmployeePhotos::Store({{ids.at(0), picture}, {ids.at(1), picture}}));
        QVERIFY(Pic(ids.at(0)).isEmpty());
        QCOMPARE(changes.count(), 0);
        QVERIFY(q.exec(db.OnServer() ? QStringLiteral("DROP TRIGGER refuse ON Mast01")
                                     : QStringLiteral("DROP TRIGGER refuse")));
    }
    QSignalSpy changes(&CRegister::Instance(), &CRegister::Changed);
    QCOMPARE(CEmployeePhotos::Store({{ids.at(0), picture}, {ids.at(1), picture}}), ids);
    QCOMPARE(Pic(ids.at(1)), picture);
    QCOMPARE(changes.count(), 1);
    const auto change = changes.at(0).at(0).value<SRegisterChange>();
    QCOMPARE(change.kind, SRegisterChange::EKind::employeeChanged);
    QCOMPARE(change.ids, ids);
}

void TestPhotoImport::commandLine_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("status");
    QTest::addColumn<int>("written"); // employees given a photo: none, the first, both
    QTest::addColumn<QString>("err");
    QTest::newRow("all taken") << QStringList{"1.png:300x400", "000002.jpg:20x20", "99.png:5x5"} << 0 << 2 << "";
    QTest::newRow("one damaged: left out, named")
        << QStringList{"1.png:300x400", "2.jpg:damaged"} << 0 << 1 << "読み飛ばしました: 2.jpg: 画像を読み込めません";
    QTest::newRow("code twice: both left out") << QStringList{"1.png:300x400", "2.jpg:20x20", "02.png:20x20"} << 0 << 1
                                               << "読み飛ばしました: 02.png: 社員コード 2 の写真が他にもあります。";
    QTest::newRow("nothing but damaged") << QStringList{"2.jpg:damaged", "99.png:5x5"} << 1 << 0
                                         << "取り込める写真がないため、何も書き込んでいません。";
}

// As the window does, a script leaves a refused file out and names it; with nothing left
// to write it fails.
void TestPhotoImport::commandLine()
{
    QFETCH(QStringList, files);
    QFETCH(int, status);
    QFETCH(int, written);
    QFETCH(QString, err);
    IsolateSettings(m_settings.path());
    CTempDatabase db;
    const QList<qint32> ids = CRegisterBuilder::AddEmployees(
        {CRegisterBuilder::Numbered(1), CRegisterBuilder::Numbered(2)});
    QTemporaryDir dir;
    for (const QString &entry : files)
        MakeFile(dir.path(), entry);
    QString out, complaint;
    QCOMPARE(RunCommand({QStringLiteral("--import-photos"), dir.path(), QStringLiteral("--database"), db.Path()}, &out,
                        &complaint),
             status);
    QCOMPARE(GetDibSize(Pic(ids.at(0))), written > 0 ? QSize(97, 130) : QSize());
    QCOMPARE(!Pic(ids.at(1)).isEmpty(), written > 1);
    QVERIFY2(complaint.contains(err), qPrintable(complaint));
    QVERIFY2(status != 0 || out.contains(QStringLiteral("社員 %1 人の写真を読み込みました。").arg(written)),
             qPrintable(out));
}

void TestPhotoImport::windowAsksFirst_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::newRow("declined") << false;
    QTest::newRow("accepted, the damaged one left out") << true;
}

void TestPhotoImport::windowAsksFirst()
{
    QFETCH(bool, confirm);
    IsolateSettings(m_settings.path());
    CTempDatabase db;
    const QList<qint32> ids = CRegisterBuilder::AddEmployees(
        {CRegisterBuilder::Numbered(1), CRegisterBuilder::Numbered(2)});
    QTemporaryDir dir;
    for (const char *entry : {"1.png:300x400", "2.jpg:damaged", "99.png:5x5"})
        MakeFile(dir.path(), QString::fromUtf8(entry));
    QString preview;
    int enterPresses = QMessageBox::NoButton;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
            files->setDirectory(dir.path());
            return int(QDialog::Accepted);
        }
        auto *box = qobject_cast<QMessageBox *>(&dialog);
        if (box && box->text().endsWith(QStringLiteral("取り込みますか？"))) {
            preview = box->text();
            enterPresses = box->standardButton(box->defaultButton());
            if (const QString folder = qEnvironmentVariable("MORVEK_SHOT_DIR"); !folder.isEmpty())
                box->grab().save(folder + QStringLiteral("/photo-import-preview.png"));
            return int(confirm ? QMessageBox::Yes : QMessageBox::No);
        }
        return int(QMessageBox::Ok);
    });
    QCOMPARE(CPhotoCommands::OnImportPhotos(nullptr), confirm);
    // Photos kept are replaced: Enter keeps them.
    QCOMPARE(enterPresses, int(QMessageBox::No));
    QVERIFY2(preview.contains(QStringLiteral("2.jpg: 画像を読み込めません")), qPrintable(preview));
    QVERIFY2(preview.contains(QStringLiteral("99.png")), qPrintable(preview));
    QCOMPARE(Pic(ids.at(0)).isEmpty(), !confirm);
    QVERIFY(Pic(ids.at(1)).isEmpty());
}

// A damaged file is named as such while another file has its code, and before the files
// refused for a code given twice, so that a preview showing only the first few names it.
void TestPhotoImport::windowNamesDamagedBesideDoubles()
{
    IsolateSettings(m_settings.path());
    CTempDatabase db;
    const QList<qint32> ids = CRegisterBuilder::AddEmployees(
        {CRegisterBuilder::Numbered(1), CRegisterBuilder::Numbered(2), CRegisterBuilder::Numbered(3)});
    QTemporaryDir dir;
    for (const char *entry : {"1.png:300x400", "2.jpg:damaged", "002.png:10x10"})
        MakeFile(dir.path(), QString::fromUtf8(entry));
    // Twelve files for code 3, all named before 2.jpg.
    for (int zeros = 1; zeros <= 12; ++zeros)
        MakeFile(dir.path(), QString(zeros, u'0') + QStringLiteral("3.png:10x10"));
    QString preview;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
            files->setDirectory(dir.path());
            return int(QDialog::Accepted);
        }
        auto *box = qobject_cast<QMessageBox *>(&dialog);
        if (box && box->text().endsWith(QStringLiteral("取り込みますか？"))) {
            preview = box->text();
            return int(QMessageBox::Yes);
        }
        return int(QMessageBox::Ok);
    });
    QVERIFY(CPhotoCommands::OnImportPhotos(nullptr));
    QVERIFY2(preview.contains(QStringLiteral("取り込めないファイル: 14 件")), qPrintable(preview));
    QVERIFY2(preview.contains(QStringLiteral("2.jpg: 画像を読み込めません")), qPrintable(preview));
    QVERIFY(!Pic(ids.at(0)).isEmpty());
    QVERIFY(Pic(ids.at(1)).isEmpty());
    QVERIFY(Pic(ids.at(2)).isEmpty());
}

QTEST_MAIN(TestPhotoImport)
#include "tst_photoimport.moc"
