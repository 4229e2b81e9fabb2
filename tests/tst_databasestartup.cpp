// The start-up's decisions, asked through a scripted asker instead of dialogs.
#include "store/daoexception.h"
#include "store/databasecheck.h"
#include "store/databasestartup.h"
#include "store/schema.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {
class CScriptedAsker final : public CDatabaseStartup::CAsker
{
public:
    bool damageKept = false;
    bool confirm = true;
    QString fileName;  // answered in the file dialog; empty cancels
    QStringList asked; // what was asked or told, in order

    bool CheckDamage(const QString &) override
    {
        asked << QStringLiteral("damage");
        return !damageKept;
    }
    bool ConfirmCreate() override
    {
        asked << QStringLiteral("create");
        return confirm;
    }
    QString ChooseNewFile(const QString &folder, const QString &) override
    {
        asked << QStringLiteral("file");
        return fileName.isEmpty() ? QString() : folder + QLatin1Char('/') + fileName;
    }
    void Tell(const QString &text) override { asked << text; }
    void Report(const std::exception &error) override { asked << QString::fromUtf8(error.what()); }
};
} // namespace

class TestDatabaseStartup final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void missingFile_data();
    void missingFile();
    void foreignFileChosenIsLeftAlone();
    void damagedFileKeptIsNotOpened();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestDatabaseStartup::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    CSchema::CreateDatabaseFile(m_dir->filePath(QStringLiteral("register.mdb")));
}

void TestDatabaseStartup::missingFile_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("outcome");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QString>("usedFile");
    const QStringList both{QStringLiteral("create"), QStringLiteral("file")};
    QTest::newRow("declined") << false << "" << int(CDatabaseStartup::EOutcome::notUsable)
                              << QStringList{QStringLiteral("create")} << "";
    QTest::newRow("cancelled") << true << "" << int(CDatabaseStartup::EOutcome::notUsable) << both << "";
    QTest::newRow("made") << true << "staff.mdb" << int(CDatabaseStartup::EOutcome::usable) << both << "staff.mdb";
    QTest::newRow("ours chosen") << true << "register.mdb" << int(CDatabaseStartup::EOutcome::usable)
                                 << both + QStringList{QStringLiteral("既にある")} << "register.mdb";
}

void TestDatabaseStartup::missingFile()
{
    QFETCH(bool, confirm);
    QFETCH(QString, fileName);
    QFETCH(int, outcome);
    QFETCH(QStringList, asked);
    QFETCH(QString, usedFile);
    CScriptedAsker asker;
    asker.confirm = confirm;
    asker.fileName = fileName;
    const QString missing = m_dir->filePath(QStringLiteral("odata.mdb"));
    const CDatabaseStartup::SResult found = CDatabaseStartup::Find(missing, asker);
    QCOMPARE(int(found.outcome), outcome);
    QCOMPARE(asker.asked.size(), asked.size());
    for (qsizetype i = 0; i < asked.size(); ++i)
        QVERIFY2(asker.asked[i].contains(asked[i]), qPrintable(asker.asked[i]));
    QVERIFY(!QFile::exists(missing));
    const QString used = usedFile.isEmpty() ? missing : QFileInfo(m_dir->filePath(usedFile)).absoluteFilePath();
    QCOMPARE(found.path, used);
    QCOMPARE(found.chosen, !usedFile.isEmpty());
    if (found.chosen)
        QVERIFY(CDatabaseCheck::InspectFile(used).Ok());
}

void TestDatabaseStartup::foreignFileChosenIsLeftAlone()
{
    const QString foreign = m_dir->filePath(QStringLiteral("notes.txt"));
    {
        QFile file(foreign);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("not a register");
    }
    CScriptedAsker asker;
    asker.fileName = QStringLiteral("notes.txt");
    try {
        CDatabaseStartup::Find(m_dir->filePath(QStringLiteral("odata.mdb")), asker);
        QFAIL("a file that is not ours was taken");
    } catch (const CDaoException &error) {
        QCOMPARE(error.Problem(), CDatabaseCheck::EProblem::exists);
    }
    QFile file(foreign);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("not a register"));
}

void TestDatabaseStartup::damagedFileKeptIsNotOpened()
{
    CScriptedAsker asker;
    asker.damageKept = true;
    const QString path = m_dir->filePath(QStringLiteral("register.mdb"));
    const CDatabaseStartup::SResult found = CDatabaseStartup::Find(path, asker);
    QCOMPARE(found.outcome, CDatabaseStartup::EOutcome::damaged);
    QCOMPARE(asker.asked, QStringList{QStringLiteral("damage")});
    QVERIFY(!found.chosen);
}

QTEST_GUILESS_MAIN(TestDatabaseStartup)
#include "tst_databasestartup.moc"
