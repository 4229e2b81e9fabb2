// The application shell: start-up, the company window, menus and their enabling,
// the function-key captions around the company window, and the services forms use.
#include "app/childframe.h"
#include "app/commandids.h"
#include "app/mainframe.h"
#include "app/morvekapp.h"
#include "app/morvekdoc.h"
#include "forms/busyanimation.h"
#include "forms/funckeybar.h"
#include "forms/funckeycaptions.h"
#include "store/schema.h"
#include "testsupport.h"
#include "views/leftview.h"
#include "views/morvekview.h"

#include <QAction>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSignalSpy>
#include <QSplitter>
#include <QTemporaryDir>
#include <QTest>

namespace {
CMainFrame *Frame()
{
    return theApp()->GetMainFrame();
}

QStringList Captions()
{
    QStringList captions;
    for (int i = 0; i < 12; ++i)
        captions.append(Frame()->GetFuncKeyBar()->GetCaption(i));
    return captions;
}

QStringList AsList(const CFuncKeyCaptions::Set &set)
{
    return QStringList(set.begin(), set.end());
}

// A menu bar as its captions, "\t" and the key where one is shown, "-" for separators.
QStringList MenuTexts(const QList<QAction *> &actions, const QString &indent = {})
{
    QStringList texts;
    for (QAction *action : actions) {
        if (action->isSeparator()) {
            texts.append(indent + QStringLiteral("-"));
            continue;
        }
        QString text = indent + action->text();
        if (!action->shortcut().isEmpty())
            text += QLatin1Char('\t') + action->shortcut().toString();
        texts.append(text);
        if (action->menu())
            texts += MenuTexts(action->menu()->actions(), indent + QStringLiteral("  "));
    }
    return texts;
}

bool Enabled(int id)
{
    Frame()->UpdateCommandUI();
    return Frame()->GetAction(id)->isEnabled();
}

void CloseCompanyWindows()
{
    for (CChildFrame *child : Frame()->GetChildFrames())
        child->close();
    QTRY_COMPARE(Captions(), AsList(CFuncKeyCaptions::Plain()));
}

void WriteLayout(const QByteArray &bytes)
{
    QFile file(CMorvekApp::DocumentFileName());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QByteArray DefaultLayoutFile()
{
    QFile shipped(QFINDTESTDATA("../res/tmp.mvk"));
    return shipped.open(QIODevice::ReadOnly) ? shipped.readAll() : QByteArray();
}
} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void startupOpensTheCompanyWindow();
    void captionsFollowTheCompanyWindow();
    void enablingWithAndWithoutCompanyWindow_data();
    void enablingWithAndWithoutCompanyWindow();
    void menusSwitchWithTheCompanyWindow();
    void viewStyles_data();
    void viewStyles();
    void byNameIsEnabledAndInert();
    void showCompanyDoesNotOpenASecondCopy();
    void ctrlNOpensAnotherWindowWithDefaultLayout();
    void f8AsksForTheUnaffiliatedList();
    void unusableLayoutFileOpensNoWindow_data();
    void unusableLayoutFileOpensNoWindow();
    void activationShowsReady();
    void servicesReachTheBars();
    void printerPaper();
    void aboutBoxNamesProgramAndVersion();

private:
    QTemporaryDir m_dir;
};

void TestShell::initTestCase()
{
    IsolateSettings(m_dir.filePath(QStringLiteral("settings")));
    QDir::setCurrent(m_dir.path());
    CSchema::CreateDatabaseFile(m_dir.filePath(QStringLiteral("odata.mdb")));
    WriteLayout(DefaultLayoutFile());
    CDialogAnswers none([](QDialog &) { return QDialog::Rejected; });
    QVERIFY(theApp()->InitInstance());
    QVERIFY(none.Texts().isEmpty());
    QVERIFY(QTest::qWaitForWindowExposed(Frame()));
}

// Every case starts with the one company window of a fresh start.
void TestShell::init()
{
    WriteLayout(DefaultLayoutFile());
    if (Frame()->GetChildFrames().size() != 1) {
        CloseCompanyWindows();
        theApp()->OnShowCompany();
    }
    QCOMPARE(Frame()->GetChildFrames().size(), 1);
}

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
    QCOMPARE(child->GetSplitter()->count(), 2);
    CLeftView *tree = child->GetLeftPane();
    QVERIFY(tree);
    QVERIFY(child->GetRightPane());
    QCOMPARE(tree->m_pListView, child->GetRightPane());
    QCOMPARE(tree->GetDocument(), child->GetDocument());
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

void TestShell::enablingWithAndWithoutCompanyWindow_data()
{
    QTest::addColumn<bool>("withWindow");
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("enabled");
    for (bool with : {true, false}) {
        const char *state = with ? "with window" : "without window";
        QTest::addRow("%s: show company", state) << with << int(ID_SHOW_COMPANY) << !with;
        QTest::addRow("%s: open", state) << with << int(ID_FILE_OPEN) << false;
        QTest::addRow("%s: save", state) << with << int(ID_FILE_SAVE) << false;
        QTest::addRow("%s: save as", state) << with << int(ID_FILE_SAVE_AS) << false;
        QTest::addRow("%s: close", state) << with << int(ID_FILE_CLOSE) << with;
        QTest::addRow("%s: unaffiliated list", state) << with << int(ID_UNAFFILIATED_LIST) << with;
        QTest::addRow("%s: details", state) << with << int(ID_VIEW_DETAILS) << with;
        QTest::addRow("%s: line up", state) << with << int(ID_VIEW_LINEUP) << with;
        QTest::addRow("%s: auto arrange", state) << with << int(ID_VIEW_AUTOARRANGE) << false;
        QTest::addRow("%s: new document", state) << with << int(ID_FILE_NEW) << true;
    }
}

void TestShell::enablingWithAndWithoutCompanyWindow()
{
    QFETCH(bool, withWindow);
    QFETCH(int, id);
    QFETCH(bool, enabled);
    if (!withWindow)
        CloseCompanyWindows();
    QCOMPARE(Enabled(id), enabled);
    // A disabled command stays inert even when asked for directly.
    if (id == ID_FILE_OPEN || id == ID_FILE_SAVE) {
        Frame()->GetAction(id)->trigger();
        QCOMPARE(Frame()->GetChildFrames().size(), withWindow ? 1 : 0);
    }
}

void TestShell::menusSwitchWithTheCompanyWindow()
{
    QCOMPARE(Frame()->GetMenuId(), int(IDR_MORVEKTYPE));
    const QStringList company = MenuTexts(Frame()->menuBar()->actions());
    QCOMPARE(company.mid(0, 11),
             QStringList({"ﾌｧｲﾙ(&F)", "  新規会社作成", "  会社構成閉じる(&C)", "  上書き保存(&S)\tCtrl+S",
                          "  名前を付けて保存(&A)...", "  -", "  印刷(&P)...\tCtrl+P", "  印刷ﾌﾟﾚﾋﾞｭｰ(&V)",
                          "  ﾌﾟﾘﾝﾀの設定(&R)...", "  -", "  ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"}));
    const QStringList view = {"表示(&V)",        "  ﾂｰﾙ ﾊﾞｰ(&T)",     "  ｽﾃｰﾀｽ ﾊﾞｰ(&S)", "  分割(&P)",
                              "  -",              "  大きいｱｲｺﾝ(&G)",  "  小さいｱｲｺﾝ(&M)", "  一覧(&L)",
                              "  詳細(&D)",       "  -",               "  ｱｲｺﾝの整列(&I)",  "    名前順(&N)",
                              "    -",            "    ｱｲｺﾝの自動整列(&A)", "  等間隔に整列(&E)"};
    const QStringList help = {"ﾍﾙﾌﾟ(&H)", "  ﾄﾋﾟｯｸの検索(&H)", "  -", "  Morvek のﾊﾞｰｼﾞｮﾝ情報(&A)..."};
    QCOMPARE(company.mid(11), view + QStringList({"  -", "  未登録社員一覧"}) + help);

    CloseCompanyWindows();
    QCOMPARE(Frame()->GetMenuId(), int(IDR_MAINFRAME));
    const QStringList plain = MenuTexts(Frame()->menuBar()->actions());
    QCOMPARE(plain.mid(0, 8), QStringList({"ﾌｧｲﾙ(&F)", "  社員登録処理", "  会社構成表示",
                                           "  ﾃﾝﾌﾟﾚｰﾄ開く(&O)...\tCtrl+O", "  -", "  ﾌﾟﾘﾝﾀの設定(&R)...", "  -",
                                           "  ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"}));
    QCOMPARE(plain.mid(8), view + help);
    QCOMPARE(Frame()->GetAction(ID_SHOW_COMPANY)->statusTip(), QStringLiteral("会社構成を表示します。"));
    QCOMPARE(Frame()->GetAction(ID_SHOW_COMPANY)->toolTip(), QStringLiteral("会社構成"));
}

void TestShell::viewStyles_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("style");
    QTest::addColumn<bool>("lineUp");
    using S = CMorvekView::EViewStyle;
    QTest::newRow("details") << int(ID_VIEW_DETAILS) << int(S::report) << false;
    QTest::newRow("list") << int(ID_VIEW_LIST) << int(S::list) << false;
    QTest::newRow("small icons") << int(ID_VIEW_SMALLICON) << int(S::smallIcon) << true;
    QTest::newRow("large icons") << int(ID_VIEW_LARGEICON) << int(S::icon) << true;
}

void TestShell::viewStyles()
{
    QFETCH(int, command);
    QFETCH(int, style);
    QFETCH(bool, lineUp);
    CMorvekView *view = Frame()->GetActiveChild()->GetRightPane();
    // Start from the other end, so that every row changes something.
    view->SetViewStyle(lineUp ? CMorvekView::EViewStyle::report : CMorvekView::EViewStyle::icon);
    Frame()->GetAction(command)->trigger();
    QCOMPARE(int(view->GetViewStyle()), style);
    QCOMPARE(Enabled(ID_VIEW_LINEUP), lineUp);
    for (int id : {ID_VIEW_SMALLICON, ID_VIEW_LARGEICON, ID_VIEW_LIST, ID_VIEW_DETAILS}) {
        QVERIFY(Frame()->GetAction(id)->isEnabled());
        QCOMPARE(Frame()->GetAction(id)->isChecked(), id == command);
    }
    if (lineUp)
        Frame()->GetAction(ID_VIEW_LINEUP)->trigger();
    QCOMPARE(int(view->GetViewStyle()), style);
}

void TestShell::byNameIsEnabledAndInert()
{
    CMorvekView *view = Frame()->GetActiveChild()->GetRightPane();
    view->SetViewStyle(CMorvekView::EViewStyle::list);
    QVERIFY(Enabled(ID_VIEW_BYNAME));
    Frame()->GetAction(ID_VIEW_BYNAME)->trigger();
    QCOMPARE(view->GetViewStyle(), CMorvekView::EViewStyle::list);
    QVERIFY(!Frame()->GetAction(ID_VIEW_BYNAME)->isChecked());
    QVERIFY(Frame()->GetAction(ID_VIEW_LIST)->isChecked());
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

    added->close();
    QTRY_COMPARE(Frame()->GetChildFrames().size(), 1);
    QTest::qWait(0);
    QCOMPARE(Captions(), AsList(CFuncKeyCaptions::Company()));
    QVERIFY(!Enabled(ID_SHOW_COMPANY));
}

void TestShell::f8AsksForTheUnaffiliatedList()
{
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    QSignalSpy asked(Frame()->GetAction(ID_UNAFFILIATED_LIST), &QAction::triggered);
    QTest::keyClick(Frame()->GetActiveChild()->GetLeftPane(), Qt::Key_F8);
    QCOMPARE(asked.size(), 1);
    CloseCompanyWindows();
    QTest::keyClick(Frame(), Qt::Key_F8);
    QCOMPARE(asked.size(), 1);
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

    CBusyAnimation *clip = Frame()->GetFuncKeyBar()->GetAnimation();
    services->SetBusyAnimation(true);
    QTRY_VERIFY(clip->GetFrame() != 0);
    services->SetBusyAnimation(false);
    QVERIFY(!clip->IsPlaying());
    QCOMPARE(clip->GetFrame(), 0);
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
    QString shown;
    CDialogAnswers answers([&shown](QDialog &dialog) {
        if (auto *name = dialog.findChild<QLabel *>(QStringLiteral("name")))
            shown = name->text();
        return QDialog::Accepted;
    });
    Frame()->GetAction(ID_APP_ABOUT)->trigger();
    QCOMPARE(answers.Texts().size(), 1);
    QCOMPARE(shown, QStringLiteral("Morvek Version 1.0"));
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
