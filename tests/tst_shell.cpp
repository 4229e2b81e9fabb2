// The application shell: start-up, opening the company window, the function-key
// captions around it, and the services the forms use.
#include "app/commandids.h"
#include "app/morvekdoc.h"
#include "forms/busyanimation.h"
#include "shellfixture.h"
#include "views/leftview.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>


class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { StartIn(m_dir); }
    void init() { OneCompanyWindow(); }

    void startupOpensTheCompanyWindow();
    void captionsFollowTheCompanyWindow();
    void showCompanyDoesNotOpenASecondCopy();
    void ctrlNOpensAnotherWindowWithDefaultLayout();
    void unusableLayoutFileOpensNoWindow_data();
    void unusableLayoutFileOpensNoWindow();
    void activationShowsReady();
    void servicesReachTheBars();
    void printerPaper();
    void aboutBoxNamesProgramAndVersion();

private:
    QTemporaryDir m_dir;
};

void TestShell::startupOpensTheCompanyWindow()
{
    // The command line named another file and an unknown flag; neither mattered.
    QVERIFY(QCoreApplication::arguments().contains(QStringLiteral("other.mvk")));
    CChildFrame *child = Frame()->GetActiveChild();
    QVERIFY(child);
    QCOMPARE(child->windowTitle(), QStringLiteral("会社構成"));
    QVERIFY(child->isMaximized());
    QCOMPARE(child->GetDocument()->GetPathName(), m_dir.filePath(QStringLiteral("tmp.mvk")));
    // Loaded from the file, so in creation order.
    QCOMPARE(child->GetDocument()->m_fields.first().m_nField, 0);
    QVERIFY(child->GetLeftPane() && child->GetRightPane());
    QCOMPARE(child->GetLeftPane()->m_pListView, child->GetRightPane());
}

void TestShell::captionsFollowTheCompanyWindow()
{
    QCOMPARE(Captions(), AsList(CFuncKeyCaptions::Company()));
    CloseCompanyWindows();
    QCOMPARE(Captions(), AsList(CFuncKeyCaptions::Plain()));
    Frame()->ResetFuncKeyCaptions();
    QCOMPARE(Captions(), AsList(CFuncKeyCaptions::Plain()));
    Frame()->GetAction(ID_SHOW_COMPANY)->trigger();
    QCOMPARE(Captions(), AsList(CFuncKeyCaptions::Company()));
    // A form put its own set; closing it brings the company set back.
    Frame()->PutFuncKeyCaptions(CFuncKeyCaptions::EmployeeMaster());
    Frame()->ResetFuncKeyCaptions();
    QCOMPARE(Captions(), AsList(CFuncKeyCaptions::Company()));
}

void TestShell::showCompanyDoesNotOpenASecondCopy()
{
    CChildFrame *first = Frame()->GetActiveChild();
    theApp()->OnShowCompany();
    QCOMPARE(Frame()->GetChildFrames(), QList<CChildFrame *>({first}));
}

void TestShell::ctrlNOpensAnotherWindowWithDefaultLayout()
{
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    QTest::keyClick(Frame(), Qt::Key_N, Qt::ControlModifier);
    QCOMPARE(Frame()->GetChildFrames().size(), 2);
    CChildFrame *added = Frame()->GetActiveChild();
    QCOMPARE(added->windowTitle(), QStringLiteral("会社構成"));
    QVERIFY(added->GetDocument()->GetPathName().isEmpty());
    QCOMPARE(added->GetDocument()->m_fields, CMorvekDoc().m_fields);

    QPointer<CChildFrame> closing(added);
    added->close();
    QTRY_VERIFY(closing.isNull());
    QCOMPARE(Captions(), AsList(CFuncKeyCaptions::Company()));
    QVERIFY(!Enabled(ID_SHOW_COMPANY));
}

void TestShell::unusableLayoutFileOpensNoWindow_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    const QByteArray file = DefaultLayoutFile();
    QByteArray negative = file;
    negative[4] = char(0xff), negative[5] = char(0xff), negative[6] = char(0xff), negative[7] = char(0xff);
    QByteArray huge = file;
    huge[7] = char(0x7f);
    const QString unexpected = QStringLiteral("予期しないファイル形式です。");
    QTest::newRow("short") << file.left(300) << unexpected;
    QTest::newRow("negative count") << negative << unexpected;
    QTest::newRow("huge count") << huge << unexpected;
    QTest::newRow("missing") << QByteArray() << QStringLiteral("tmp.mvk が見つかりません。");
}

void TestShell::unusableLayoutFileOpensNoWindow()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    CloseCompanyWindows();
    if (bytes.isEmpty())
        QFile::remove(CMorvekApp::DocumentFileName());
    else
        WriteLayout(bytes);
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Ok; });
    Frame()->GetAction(ID_SHOW_COMPANY)->trigger();
    QCOMPARE(answers.Texts().size(), 1);
    QVERIFY2(answers.Texts().first().endsWith(message), qPrintable(answers.Texts().first()));
    QVERIFY(Frame()->GetChildFrames().isEmpty());
    QCOMPARE(Captions(), AsList(CFuncKeyCaptions::Plain()));
    QVERIFY(Enabled(ID_SHOW_COMPANY));
}

void TestShell::activationShowsReady()
{
    Frame()->SetStatusText(QStringLiteral("社員コードを入力してください"));
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    QCOMPARE(Frame()->GetStatusText(), QStringLiteral("社員コードを入力してください"));
    Frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    QCOMPARE(Frame()->GetStatusText(), QStringLiteral("Morvek ver 1.0 ﾚﾃﾞｨ"));
}

void TestShell::servicesReachTheBars()
{
    CFrameServices *services = CFrameServices::Instance();
    QCOMPARE(services, static_cast<CFrameServices *>(Frame()));
    services->SetFuncKeyCaption(4, QStringLiteral("ﾓｰﾄﾞ"));
    QCOMPARE(Frame()->GetFuncKeyBar()->GetCaption(4), QStringLiteral("ﾓｰﾄﾞ"));
    services->ResetFuncKeyCaptions();
    QCOMPARE(Frame()->GetFuncKeyBar()->GetCaption(4), QStringLiteral("F5"));

    services->SetBusyAnimation(true);
    QVERIFY(Frame()->GetFuncKeyBar()->GetAnimation()->IsPlaying());
    services->SetBusyAnimation(false);
    QVERIFY(!Frame()->GetFuncKeyBar()->GetAnimation()->IsPlaying());
}

void TestShell::printerPaper()
{
    QVERIFY(theApp()->SetPrinterPaper(8, 2));
    QCOMPARE(theApp()->GetPageLayout().pageSize().id(), QPageSize::A3);
    QCOMPARE(theApp()->GetPageLayout().orientation(), QPageLayout::Landscape);
    QVERIFY(theApp()->SetPrinterPaper(9, 1));
    QCOMPARE(theApp()->GetPageLayout().pageSize().id(), QPageSize::A4);
    QCOMPARE(theApp()->GetPageLayout().orientation(), QPageLayout::Portrait);
    QVERIFY(!theApp()->SetPrinterPaper(9999, 1));
    QCOMPARE(theApp()->GetPageLayout().pageSize().id(), QPageSize::A4);
}

void TestShell::aboutBoxNamesProgramAndVersion()
{
    QStringList shown;
    CDialogAnswers answers([&shown](QDialog &dialog) {
        for (const QLabel *label : dialog.findChildren<QLabel *>())
            if (!label->text().isEmpty())
                shown << label->text();
        return QDialog::Accepted;
    });
    Frame()->GetAction(ID_APP_ABOUT)->trigger();
    QCOMPARE(answers.Texts().size(), 1);
    QCOMPARE(shown, QStringList({"Morvek ﾊﾞｰｼﾞｮﾝ 1.0", "Copyright (C) Kelbrotane soft"}));
}

int main(int argc, char *argv[])
{
    // A file name and a flag the program does not know, as a user might start it.
    QList<char *> args(argv, argv + argc);
    char file[] = "other.mvk";
    char flag[] = "/unknown";
    args << file << flag;
    int count = int(args.size());
    CMorvekApp app(count, args.data());
    TestShell test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shell.moc"
