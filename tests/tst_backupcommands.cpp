// The backup commands and the start-up check as the user meets them, every
// question answered through the modal seam.
#include "base/commandids.h"
#include "shell/restoredlg.h"
#include "backup/backupcopies.h"
#include "backupfixture.h"
#include "shell/startupcheck.h"
#include "store/daodatabasepool.h"
#include "store/daoexception.h"
#include "shellfixture.h"
#include "backup/dailybackup.h"
#include "store/daodatabase.h"
#include "backup/databasebackup.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "views/leftview.h"

#include <QFileDialog>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace {
const QDateTime kYesterday = QDateTime::currentDateTime().addDays(-1);

QString DbPath()
{
    return QDir::current().filePath(QStringLiteral("odata.mdb"));
}

QStringList Aside(const QString &kind)
{
    return QDir(CDatabaseBackup::FolderOf(DbPath())).entryList({QStringLiteral("odata-%1-*.mdb").arg(kind)}, QDir::Files);
}

bool UsesDbPath()
{
    return QFileInfo(theApp()->m_strDatabasePath).absoluteFilePath() == DbPath();
}

QStringList CompanyNames()
{
    QStringList names;
    for (CChildFrame *child : Frame()->GetChildFrames())
        if (CLeftView *tree = child->GetLeftPane())
            for (int i = 0; i < tree->topLevelItemCount(); ++i)
                names << tree->topLevelItem(i)->text(0);
    return names;
}

// Picks the first backup, answers questions with question, everything else with OK.
std::function<int(QDialog &)> Answer(QMessageBox::StandardButton question)
{
    return [question](QDialog &dialog) -> int {
        if (auto *box = qobject_cast<QMessageBox *>(&dialog))
            return box->standardButtons().testFlag(QMessageBox::Yes) ? question : QMessageBox::Ok;
        if (auto *restore = qobject_cast<CRestoreDlg *>(&dialog)) {
            restore->SelectRow(0);
            return QDialog::Accepted;
        }
        return QDialog::Rejected;
    };
}

// Every row of both tables, every column, as bytes: equal registers hold equal tables.
QByteArray TableBytes(const QString &path)
{
    QByteArray bytes;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("tables"));
        db.setDatabaseName(path);
        if (!db.open())
            return {};
        for (const char *table : {"Mast00", "Mast01"}) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY ID").arg(QLatin1String(table)));
            while (q.next()) {
                for (int i = 0; i < q.record().count(); ++i)
                    bytes += (q.value(i).isNull() ? QByteArray("<null>") : q.value(i).toByteArray()) + '|';
                bytes += '\n';
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("tables"));
    return bytes;
}

// A database with one company, a sound backup of it from yesterday, and then more work since.
void PrepareRegister(const QString &company, int employeesSince)
{
    if (Frame())
        CloseCompanyWindows();
    QFile::remove(DbPath());
    QDir(CDatabaseBackup::FolderOf(DbPath())).removeRecursively();
    CSchema::CreateDatabaseFile(DbPath());
    CDaoRecordset::SetApplicationDatabasePath(DbPath());
    CRegisterBuilder::AddUnit({0, 1, company});
    CDatabaseBackup::MakeBackup(DbPath(), kYesterday);
    AddEmployees(employeesSince);
}
} // namespace

class TestBackupCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void startOnDamagedFileRestoredNewestSoundBackup();
    void damagedFileAtStart_data();
    void damagedFileAtStart();
    void restoreFromTheMenu_data();
    void restoreFromTheMenu();
    void restoreAfterDecliningAtStart();
    void damagedWithoutBackupIsToldOnce();
    void restoreListsEveryCopyAndUndoes();
    void writeBeforeTheCheckAnswersWaitsAndIsRefused();
    void makeBackupToAChosenFile();
    void serverRegisterLeavesBackupsToTheServer_data();
    void serverRegisterLeavesBackupsToTheServer();

private:
    QTemporaryDir m_dir;
    QStringList m_startTexts;
};

void TestBackupCommands::initTestCase()
{
    IsolateSettings(m_dir.filePath(QStringLiteral("settings")));
    QDir::setCurrent(m_dir.path());
    WriteLayout(DefaultLayoutFile());
    PrepareRegister(QStringLiteral("昨日の会社"), 300);
    Damage(DbPath());
    CDaoRecordset::SetApplicationDatabasePath(QString());

    CDialogAnswers answers(Answer(QMessageBox::Yes));
    QVERIFY(theApp()->InitInstance());
    QVERIFY(QTest::qWaitForWindowExposed(Frame()));
    // The whole file is read once the window shows; its offer comes then.
    QTRY_VERIFY(answers.Texts().join(QString()).contains(QStringLiteral("から復元しました。")));
    m_startTexts = answers.Texts();
}

void TestBackupCommands::init()
{
    // Whatever a test left, the next one starts on the register, and no box waits for a person.
    CDialogAnswers guard([](QDialog &) { return QDialog::Rejected; });
    if (theApp()->m_strDatabasePath.isEmpty())
        theApp()->OpenOrCreateDatabase();
    OneCompanyWindow();
}

void TestBackupCommands::startOnDamagedFileRestoredNewestSoundBackup()
{
    // The window reads while the check runs: what it could not read is told first.
    QVERIFY2(m_startTexts.size() <= 3, qPrintable(m_startTexts.join(QStringLiteral("\n---\n"))));
    const QString offer = m_startTexts.value(m_startTexts.size() - 2);
    QVERIFY2(offer.contains(QStringLiteral("は壊れています。")), qPrintable(offer));
    QVERIFY2(offer.contains(QStringLiteral("（部課 1 件、社員 0 人）から復元しますか？")), qPrintable(offer));
    QVERIFY(m_startTexts.constLast().contains(QStringLiteral("から復元しました。")));
    QCOMPARE(Aside(QStringLiteral("damaged")).size(), 1);
    QVERIFY(UsesDbPath());
    QVERIFY(CDatabaseBackup::QuickCheck(DbPath()).isEmpty());
    QCOMPARE(CompanyNames(), QStringList{QStringLiteral("昨日の会社")});
}

void TestBackupCommands::damagedFileAtStart_data()
{
    QTest::addColumn<bool>("backupSound");
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<bool>("emptied"); // cut to 0 bytes rather than its pages broken
    QTest::newRow("yes restores") << true << QMessageBox::Yes << true << false;
    QTest::newRow("no goes on without a database") << true << QMessageBox::No << false << false;
    QTest::newRow("no sound backup: nothing offered") << false << QMessageBox::Yes << false << false;
    QTest::newRow("0 bytes: yes restores") << true << QMessageBox::Yes << true << true;
    QTest::newRow("0 bytes: no goes on without a database") << true << QMessageBox::No << false << true;
}

void TestBackupCommands::damagedFileAtStart()
{
    QFETCH(bool, backupSound);
    QFETCH(QMessageBox::StandardButton, answer);
    QFETCH(bool, usable);
    QFETCH(bool, emptied);
    CloseCompanyWindows();
    PrepareRegister(QStringLiteral("丙社"), 300);
    // A newer backup that is itself damaged is passed over.
    const QString broken = CDatabaseBackup::MakeBackup(DbPath(), kYesterday.addSecs(60));
    Damage(broken);
    if (!backupSound)
        Damage(CDatabaseBackup::List(DbPath()).constLast());
    if (emptied)
        QVERIFY(QFile(DbPath()).resize(0));
    else
        Damage(DbPath());
    const QByteArray damaged = ReadFile(DbPath());

    CDialogAnswers answers(Answer(answer));
    theApp()->CheckDatabaseAtStart();
    QCOMPARE(answers.Texts().size(), backupSound && answer == QMessageBox::Yes ? 2 : 1);
    QVERIFY(answers.Texts()[0].contains(QStringLiteral("は壊れています。")));
    QCOMPARE(answers.Texts()[0].contains(QStringLiteral("から復元しますか？")), backupSound);
    QCOMPARE(theApp()->m_strDatabasePath.isEmpty(), !usable);
    QCOMPARE(UsesDbPath(), usable);
    QCOMPARE(CDaoRecordset::ApplicationDatabasePath().isEmpty(), !usable);
    if (usable) {
        QCOMPARE(ReadFile(QDir(CDatabaseBackup::FolderOf(DbPath())).filePath(Aside(QStringLiteral("damaged")).value(0))),
                 damaged);
        QVERIFY(CDatabaseBackup::QuickCheck(DbPath()).isEmpty());
    } else {
        QCOMPARE(ReadFile(DbPath()), damaged); // never written to
        QVERIFY(Aside(QStringLiteral("damaged")).isEmpty());
    }
    PrepareRegister(QStringLiteral("昨日の会社"), 0);
    theApp()->OpenOrCreateDatabase();
}

void TestBackupCommands::restoreFromTheMenu_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("confirmed") << QMessageBox::Yes;
    QTest::newRow("refused") << QMessageBox::No;
}

void TestBackupCommands::restoreFromTheMenu()
{
    QFETCH(QMessageBox::StandardButton, answer);
    PrepareRegister(QStringLiteral("昨日の会社"), 0);
    CRegisterBuilder::AddUnit({0, 1, QStringLiteral("今日の会社")});
    CloseCompanyWindows();
    theApp()->OnShowCompany();
    QCOMPARE(CompanyNames().size(), 2);
    const QByteArray today = ReadFile(DbPath());

    CDialogAnswers answers(Answer(answer));
    Frame()->GetAction(ID_BACKUP_RESTORE)->trigger();
    QCOMPARE(answers.Texts().value(0), QStringLiteral("ﾊﾞｯｸｱｯﾌﾟから復元"));
    QVERIFY(answers.Texts().value(1).contains(QStringLiteral("復元しますか？")));
    QCOMPARE(Frame()->GetChildFrames().size(), 1);
    if (answer == QMessageBox::Yes) {
        QCOMPARE(CompanyNames(), QStringList{QStringLiteral("昨日の会社")});
        const QStringList aside = Aside(QStringLiteral("before-restore"));
        QCOMPARE(aside.size(), 1);
        QCOMPARE(ReadFile(QDir(CDatabaseBackup::FolderOf(DbPath())).filePath(aside[0])), today);
    } else {
        QCOMPARE(CompanyNames().size(), 2);
        QCOMPARE(ReadFile(DbPath()), today);
        QVERIFY(Aside(QStringLiteral("before-restore")).isEmpty());
    }
}

void TestBackupCommands::restoreAfterDecliningAtStart()
{
    PrepareRegister(QStringLiteral("昨日の会社"), 300);
    Damage(DbPath());
    {
        CDialogAnswers no(Answer(QMessageBox::No));
        theApp()->CheckDatabaseAtStart();
    }
    QVERIFY(theApp()->m_strDatabasePath.isEmpty());
    CDialogAnswers yes(Answer(QMessageBox::Yes));
    Frame()->GetAction(ID_BACKUP_RESTORE)->trigger();
    QVERIFY(UsesDbPath());
    QCOMPARE(Aside(QStringLiteral("damaged")).size(), 1);
    theApp()->OnShowCompany();
    QCOMPARE(CompanyNames(), QStringList{QStringLiteral("昨日の会社")});
}

// Told there is no backup to restore, the user is not told again that the file cannot be used.
void TestBackupCommands::damagedWithoutBackupIsToldOnce()
{
    PrepareRegister(QStringLiteral("丙社"), 300);
    Damage(CDatabaseBackup::List(DbPath()).constFirst());
    Damage(DbPath());
    CloseCompanyWindows();
    {
        CDialogAnswers answers(Answer(QMessageBox::Yes));
        theApp()->OpenOrCreateDatabase();
        theApp()->OnShowCompany();
        QCOMPARE(Frame()->GetChildFrames().size(), 1);
        QVERIFY2(answers.Texts().size() == 1, qPrintable(answers.Texts().join(QStringLiteral("\n---\n"))));
        QVERIFY(answers.Texts()[0].contains(QStringLiteral("復元できるバックアップがありません。")));
    }
    CDialogAnswers guard([](QDialog &) { return QDialog::Rejected; });
    PrepareRegister(QStringLiteral("昨日の会社"), 0);
    theApp()->OpenOrCreateDatabase();
}

// Every copy is offered, the damaged one shown but not choosable; the question
// names both registers and defaults to いいえ; the register kept before a restore
// gives back exactly what it held.
void TestBackupCommands::restoreListsEveryCopyAndUndoes()
{
    using EKind = SBackupInfo::EKind;
    PrepareRegister(QStringLiteral("昨日の会社"), 0);
    CRegisterBuilder::AddUnit({0, 1, QStringLiteral("今日の会社")});
    AddEmployees(5);
    const QString manual = m_dir.filePath(QStringLiteral("manual-copy.mdb"));
    QFile::remove(manual);
    CDatabaseBackup::Copy(DbPath(), manual);
    CBackupCopies::NoteManual(DbPath(), manual);
    const QString damaged = QDir(CDatabaseBackup::FolderOf(DbPath()))
                                .filePath(CDatabaseBackup::AsideNameFor(DbPath(), CDatabaseBackup::EAside::damaged,
                                                                        kYesterday.addSecs(-60)));
    QVERIFY(QFile::copy(manual, damaged));
    Damage(damaged);
    const QString junk = WriteFile(m_dir.filePath(QStringLiteral("junk.mdb")), QByteArray(5000, 'x'));
    const QByteArray before = TableBytes(DbPath());
    CloseCompanyWindows();
    theApp()->OnShowCompany();

    // kind: the copy to choose
    auto restore = [](EKind kind, QList<EKind> *listed, QStringList *questions) {
        return [=](QDialog &dialog) -> int {
            if (auto *box = qobject_cast<QMessageBox *>(&dialog)) {
                if (!box->standardButtons().testFlag(QMessageBox::Yes))
                    return QMessageBox::Ok;
                *questions << box->text();
                if (box->defaultButton() != box->button(QMessageBox::No))
                    return QMessageBox::No;
                return QMessageBox::Yes;
            }
            auto *list = qobject_cast<CRestoreDlg *>(&dialog);
            if (!list)
                return QDialog::Rejected;
            for (int row = 0; row < list->Copies().size(); ++row) {
                *listed << list->Copies()[row].kind;
                list->SelectRow(row);
                const bool damagedChosen = list->Chosen().kind == EKind::damaged;
                if (damagedChosen)
                    return QDialog::Rejected;
            }
            if (kind == EKind::chosen)
                return list->ChooseFile(QDir::current().filePath(QStringLiteral("junk.mdb"))) ? QDialog::Accepted
                                                                                              : QDialog::Rejected;
            for (int row = 0; row < list->Copies().size(); ++row) {
                if (list->Copies()[row].kind == kind)
                    list->SelectRow(row);
            }
            return list->Chosen().kind == kind ? QDialog::Accepted : QDialog::Rejected;
        };
    };
    QList<EKind> listed;
    QStringList questions;
    {
        CDialogAnswers answers(restore(EKind::daily, &listed, &questions));
        Frame()->GetAction(ID_BACKUP_RESTORE)->trigger();
    }
    QCOMPARE(listed, (QList<EKind>{EKind::manual, EKind::daily, EKind::damaged}));
    QCOMPARE(questions.size(), 1);
    QVERIFY2(questions[0].contains(QStringLiteral("部課 1 件、社員 0 人"))
                 && questions[0].contains(QStringLiteral("部課 2 件、社員 5 人")),
             qPrintable(questions[0]));
    QVERIFY(questions[0].contains(
        CRestoreDlg::DateText(CDatabaseBackup::TakenAt(CDatabaseBackup::List(DbPath()).constFirst()))));
    QCOMPARE(CompanyNames(), QStringList{QStringLiteral("昨日の会社")});

    listed.clear();
    QTest::qWait(1100); // the register now put aside takes its name from the second
    {
        CDialogAnswers answers(restore(EKind::beforeRestore, &listed, &questions));
        Frame()->GetAction(ID_BACKUP_RESTORE)->trigger();
    }
    QVERIFY(listed.contains(EKind::beforeRestore));
    QCOMPARE(questions.size(), 2);
    QCOMPARE(TableBytes(DbPath()), before);
    QCOMPARE(CompanyNames().size(), 2);

    // A file that is no register is refused and changes nothing.
    const QByteArray now = ReadFile(DbPath());
    {
        CDialogAnswers answers(restore(EKind::chosen, &listed, &questions));
        Frame()->GetAction(ID_BACKUP_RESTORE)->trigger();
        QVERIFY(answers.Texts().join(QString()).contains(QStringLiteral("復元できません")));
    }
    QCOMPARE(ReadFile(DbPath()), now);
    QFile::remove(junk);
}

// The check runs after the window showed; a write that comes first waits for it,
// and the damaged file it finds is left exactly as it was.
void TestBackupCommands::writeBeforeTheCheckAnswersWaitsAndIsRefused()
{
    PrepareRegister(QStringLiteral("丙社"), 300);
    CloseCompanyWindows();
    CDaoDatabasePool::Release(DbPath());
    DamageTail(DbPath());
    const QByteArray damaged = ReadFile(DbPath());
    const QStringList backups = CDatabaseBackup::List(DbPath());
    QVERIFY(UsesDbPath());
    {
        CDialogAnswers answers(Answer(QMessageBox::No));
        theApp()->GetStartupCheck()->Start(DbPath());
        QVERIFY(theApp()->GetStartupCheck()->IsRunning());
        bool refused = false;
        try {
            CRegisterBuilder::AddUnit({0, 9, QStringLiteral("書けない会社")});
        } catch (const CDaoException &error) {
            refused = error.Problem() == EDatabaseProblem::damaged;
        }
        QVERIFY(refused);
        QCOMPARE(ReadFile(DbPath()), damaged);
        QCOMPARE(CDatabaseBackup::List(DbPath()), backups); // no backup of it either
        QTRY_VERIFY(theApp()->m_strDatabasePath.isEmpty()); // the offer, declined
        QVERIFY(answers.Texts().value(0).contains(QStringLiteral("から復元しますか？")));
    }
    QCOMPARE(ReadFile(DbPath()), damaged);
    CDialogAnswers guard([](QDialog &) { return QDialog::Rejected; });
    theApp()->GetStartupCheck()->Forget(); // the file is made anew below, not restored
    PrepareRegister(QStringLiteral("昨日の会社"), 0);
    theApp()->OpenOrCreateDatabase();
}

void TestBackupCommands::makeBackupToAChosenFile()
{
    PrepareRegister(QStringLiteral("昨日の会社"), 4);
    const QString target = m_dir.filePath(QStringLiteral("chosen.mdb"));
    auto typeName = [target](QDialog &dialog) -> int {
        if (qobject_cast<QMessageBox *>(&dialog))
            return QMessageBox::Ok;
        auto *edit = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (!edit)
            return QDialog::Rejected;
        dialog.show();
        edit->setText(target);
        QTest::keyClick(edit, Qt::Key_Return);
        return dialog.result();
    };
    {
        CDialogAnswers answers(typeName);
        Frame()->GetAction(ID_BACKUP_CREATE)->trigger();
        QVERIFY(answers.Texts().value(1).startsWith(QStringLiteral("バックアップを作成しました。")));
    }
    const SBackupInfo info = CDatabaseBackup::Inspect(target);
    QVERIFY2(info.Ok(), qPrintable(info.problem));
    QCOMPARE(info.employees, 4);
    // Chosen again, the file is not overwritten.
    const QByteArray first = ReadFile(target);
    AddEmployees(1);
    CDialogAnswers again(typeName);
    Frame()->GetAction(ID_BACKUP_CREATE)->trigger();
    QVERIFY(again.Texts().value(1).contains(QStringLiteral("上書きはしません。")));
    QCOMPARE(ReadFile(target), first);
}

void TestBackupCommands::serverRegisterLeavesBackupsToTheServer_data()
{
    QTest::addColumn<int>("command");
    QTest::newRow("make") << int(ID_BACKUP_CREATE);
    QTest::newRow("restore") << int(ID_BACKUP_RESTORE);
}

void TestBackupCommands::serverRegisterLeavesBackupsToTheServer()
{
    QFETCH(int, command);
    const QString uri = QStringLiteral("postgresql://morvek@localhost/register");
    const QString file = theApp()->m_strDatabasePath;
    theApp()->m_strDatabasePath = uri;
    const int windows = Frame()->GetChildFrames().size();
    QStringList texts;
    {
        CDialogAnswers answers(Answer(QMessageBox::Yes));
        Frame()->GetAction(command)->trigger();
        texts = answers.Texts();
    }
    theApp()->m_strDatabasePath = file;
    // One message and no file dialog or list of backups.
    QCOMPARE(texts.size(), 1);
    QVERIFY2(texts[0].contains(QStringLiteral("サーバーの管理者")), qPrintable(texts[0]));
    QCOMPARE(Frame()->GetChildFrames().size(), windows);
    // Nor does a write to the server make a backup of its own.
    CDailyBackup daily;
    QVERIFY(daily.BeforeWrite(uri).isEmpty());
    QVERIFY(!QFileInfo::exists(CDatabaseBackup::FolderOf(uri)));
}

int main(int argc, char *argv[])
{
    CMorvekApp app(argc, argv);
    TestBackupCommands test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_backupcommands.moc"
