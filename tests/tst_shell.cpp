// The application shell: start-up, opening the company window, the function-key
// captions around it, and the services the forms use.
#include "base/commandids.h"
#include "document/morvekdoc.h"
#include "forms/busyanimation.h"
#include "register/register.h"
#include "shellfixture.h"
#include "views/leftview.h"
#include "views/morvekview.h"

#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QSignalSpy>
#include <QStatusBar>
#include <limits>

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
    void unusableLayoutFileOpensDefaultLayout_data();
    void unusableLayoutFileOpensDefaultLayout();
    void missingLayoutFileIsWritten();
    void activationShowsReady();
    void servicesReachTheBars();
    void lostServerIsShownUntilItAnswers();
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
    // The window wires the tree's selection to the list.
    QSignalSpy refilled(child->GetRightPane()->model(), &QAbstractItemModel::modelReset);
    emit child->GetLeftPane()->UnitSelected(0);
    QCOMPARE(refilled.size(), 1);
    emit child->GetLeftPane()->SelectionCleared();
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

void TestShell::unusableLayoutFileOpensDefaultLayout_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("cause");
    const QByteArray file = DefaultLayoutFile();
    const auto patched = [&file](int offset, qint32 value) {
        QByteArray bytes = file;
        for (int i = 0; i < 4; ++i)
            bytes[offset + i] = char((quint32(value) >> (8 * i)) & 0xff);
        return bytes;
    };
    const QString damaged = QStringLiteral("は壊れているため読み込めません。");
    // The first record's rectangle starts at byte 22 of the file.
    QTest::newRow("short") << file.left(300) << damaged;
    QTest::newRow("negative count") << patched(4, -1) << damaged;
    QTest::newRow("huge count") << patched(4, 0x7f000009) << damaged;
    QTest::newRow("newer version") << patched(0, 2) << damaged;
    QTest::newRow("hostile rectangle") << patched(22, std::numeric_limits<qint32>::min()) << damaged;
    QTest::newRow("cell of no size") << patched(8, 0) << damaged;
    QTest::newRow("a folder in its place") << QByteArray() << QStringLiteral("を読み取れません。");
}

void TestShell::unusableLayoutFileOpensDefaultLayout()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, cause);
    CloseCompanyWindows();
    const QString path = m_dir.filePath(CMorvekApp::DocumentFileName());
    QFile::remove(path);
    if (bytes.isEmpty())
        QVERIFY(QDir(m_dir.path()).mkdir(CMorvekApp::DocumentFileName()));
    else
        WriteLayout(bytes);
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Ok; });
    Frame()->GetAction(ID_SHOW_COMPANY)->trigger();
    const bool folder = bytes.isEmpty();
    if (folder)
        QDir(m_dir.path()).rmdir(CMorvekApp::DocumentFileName());

    QCOMPARE(answers.Texts().size(), 1);
    const QString told = answers.Texts().first();
    QVERIFY2(told.startsWith(QStringLiteral("名刺レイアウトファイル「%1」").arg(QDir::toNativeSeparators(path))),
             qPrintable(told));
    QVERIFY2(told.contains(cause), qPrintable(told));
    QCOMPARE(Frame()->GetChildFrames().size(), 1);
    CChildFrame *child = Frame()->GetActiveChild();
    QCOMPARE(child->GetDocument()->m_fields, CMorvekDoc().m_fields);
    QCOMPARE(child->GetDocument()->m_nCellWidth, 900);
    QCOMPARE(Captions(), AsList(CFuncKeyCaptions::Company()));
    if (!folder) {
        QFile kept(path);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), bytes);
    }
    // Asked again, the window comes forward without a second message.
    theApp()->OnShowCompany();
    QCOMPARE(Frame()->GetChildFrames().size(), 1);
    QCOMPARE(answers.Texts().size(), 1);
}

void TestShell::missingLayoutFileIsWritten()
{
    CloseCompanyWindows();
    const QString path = m_dir.filePath(CMorvekApp::DocumentFileName());
    QVERIFY(QFile::remove(path));
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Ok; });
    Frame()->GetAction(ID_SHOW_COMPANY)->trigger();
    QVERIFY(answers.Texts().isEmpty());
    QFile written(path);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), DefaultLayoutFile());
    CChildFrame *child = Frame()->GetActiveChild();
    QVERIFY(child);
    QCOMPARE(child->GetDocument()->GetPathName(), path);
    // Read back from the new file, so in creation order like any loaded layout.
    QCOMPARE(child->GetDocument()->m_fields.first().m_nField, 0);
    const QString note = Frame()->statusBar()->currentMessage();
    QVERIFY2(note.contains(QDir::toNativeSeparators(path)) && note.contains(QStringLiteral("標準の配置で作成しました")),
             qPrintable(note));
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

void TestShell::lostServerIsShownUntilItAnswers()
{
    CRegister::Instance().SetConnected(false);
    QCOMPARE(Frame()->statusBar()->currentMessage(), CRegister::LostText());
    CRegister::Instance().SetConnected(true);
    QVERIFY(Frame()->statusBar()->currentMessage().isEmpty());
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
