// Start-up: finding or creating the database file, the settings, and the
// top-level handler that reports errors and lets the program go on.
#include "app/morvekapp.h"
#include "store/daoexception.h"
#include "store/daorecordset.h"
#include "testsupport.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>

namespace {
QString StoredPath()
{
    return CMorvekApp::Settings()->value(QStringLiteral("Database/Path")).toString();
}

// Answers the creation question with Yes, then types a name into the file dialog
// (empty: takes what is proposed) and presses Enter.
std::function<int(QDialog &)> YesThenFileName(const QString &typed)
{
    return [typed](QDialog &dialog) -> int {
        if (qobject_cast<QMessageBox *>(&dialog))
            return QMessageBox::Yes;
        auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!edit)
            return QDialog::Rejected;
        dialog.show();
        if (!typed.isEmpty())
            edit->setText(typed);
        QTest::keyClick(edit, Qt::Key_Return);
        return dialog.result();
    };
}

int TableCount(const QString &path)
{
    int count = -1;
    {
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("count"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN ('Mast00','Mast01')"), db);
            count = q.next() ? q.value(0).toInt() : -1;
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    return count;
}
} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void existingStoredPathAsksNothing();
    void declining_data();
    void declining();
    void createsWithTypedName_data();
    void createsWithTypedName();
    void unwritableFolderIsReported();
    void errorInACommandIsShownAndProgramGoesOn();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_oldCwd;
};

void TestStartup::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    IsolateSettings(m_dir->filePath(QStringLiteral("settings")));
    m_oldCwd = QDir::currentPath();
    QDir::setCurrent(m_dir->path());
}

void TestStartup::cleanup()
{
    QDir::setCurrent(m_oldCwd);
    CMorvekApp::Settings()->clear();
    m_dir.reset();
}

void TestStartup::existingStoredPathAsksNothing()
{
    const QString path = m_dir->filePath(QStringLiteral("elsewhere/staff.mdb"));
    QDir().mkpath(QFileInfo(path).path());
    {
        CDialogAnswers answers(YesThenFileName(path));
        CMorvekApp::Settings()->setValue(QStringLiteral("Database/Path"), path);
        theApp()->OpenOrCreateDatabase();  // creates it
    }
    QVERIFY(QFile::exists(path));
    CDialogAnswers answers([](QDialog &) { return QDialog::Rejected; });
    theApp()->OpenOrCreateDatabase();
    QVERIFY(answers.Texts().isEmpty());
    QCOMPARE(theApp()->m_strDatabasePath, path);
    QCOMPARE(CDaoRecordset::ApplicationDatabasePath(), path);
}

void TestStartup::declining_data()
{
    QTest::addColumn<bool>("answerYes");
    QTest::newRow("No to the question") << false;
    QTest::newRow("cancel in the file dialog") << true;
}

void TestStartup::declining()
{
    QFETCH(bool, answerYes);
    CDialogAnswers answers([answerYes](QDialog &dialog) -> int {
        if (qobject_cast<QMessageBox *>(&dialog))
            return answerYes ? QMessageBox::Yes : QMessageBox::No;
        return QDialog::Rejected;
    });
    theApp()->OpenOrCreateDatabase();
    QCOMPARE(answers.Texts().value(0), QStringLiteral("データベースを作成します。"));
    QCOMPARE(answers.Texts().size(), answerYes ? 2 : 1);
    QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("odata.mdb"))));
    QVERIFY(StoredPath().isEmpty());
    QCOMPARE(theApp()->m_strDatabasePath, QStringLiteral("odata.mdb"));
}

void TestStartup::createsWithTypedName_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("created");
    QTest::newRow("proposed name taken with Enter") << "" << "odata.mdb";
    QTest::newRow("extension added") << "staff" << "staff.mdb";
    QTest::newRow("extension kept") << "meibo.mdb" << "meibo.mdb";
}

void TestStartup::createsWithTypedName()
{
    QFETCH(QString, typed);
    QFETCH(QString, created);
    CDialogAnswers answers(YesThenFileName(typed));
    theApp()->OpenOrCreateDatabase();
    const QString expected = QFileInfo(m_dir->filePath(created)).absoluteFilePath();
    QCOMPARE(theApp()->m_strDatabasePath, expected);
    QCOMPARE(StoredPath(), expected);
    QCOMPARE(TableCount(expected), 2);
    // From another directory the stored full path still finds it.
    QDir::setCurrent(QDir::tempPath());
    CDialogAnswers none([](QDialog &) { return QDialog::Rejected; });
    theApp()->OpenOrCreateDatabase();
    QVERIFY(none.Texts().isEmpty());
}

void TestStartup::unwritableFolderIsReported()
{
    const QString folder = m_dir->filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    CDialogAnswers answers(YesThenFileName(folder + QStringLiteral("/odata.mdb")));
    theApp()->OpenOrCreateDatabase();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QCOMPARE(answers.Texts().size(), 3);
    QVERIFY2(answers.Texts().last().contains(QStringLiteral("書き込めない")), qPrintable(answers.Texts().last()));
    QVERIFY(!QFile::exists(folder + QStringLiteral("/odata.mdb")));
}

void TestStartup::errorInACommandIsShownAndProgramGoesOn()
{
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Ok; });
    CDaoRecordset::SetApplicationDatabasePath(m_dir->filePath(QStringLiteral("missing.mdb")));
    bool after = false;
    QTimer::singleShot(0, this, [] {
        CDaoRecordset set;
        set.Open(2, QStringLiteral("[Mast00]"));
    });
    QTimer::singleShot(10, this, [&after] { after = true; });
    QTRY_VERIFY(after);
    QCOMPARE(answers.Texts().size(), 1);
    QVERIFY(answers.Texts().first().contains(QStringLiteral("データベースファイルが見つかりません。")));
}

int main(int argc, char *argv[])
{
    CMorvekApp app(argc, argv);
    TestStartup test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_startup.moc"
