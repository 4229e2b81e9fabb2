// The commands of the main and company windows: menus, their enabling and marks,
// the list styles, and the keys of the company window.
#include "shell/childframe.h"
#include "base/commandids.h"
#include "csv/csvcolumns.h"
#include "csv/xlsxexporter.h"
#include "shell/csvchoicedlg.h"
#include "shell/csvpreviewdlg.h"
#include "charts/orgchartcanvas.h"
#include "charts/orgchartwnd.h"
#include "charts/stafffigureswnd.h"
#include "views/unaffiliateddlg.h"
#include "shellfixture.h"
#include "employee/employeeform.h"
#include "formtestsupport.h"
#include "viewsfixture.h"
#include "views/draglistctrl.h"
#include "views/transferdlg.h"
#include "views/leftview.h"
#include "views/morvekview.h"
#include "views/unitcontentsmodel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTreeWidgetItem>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSplitter>

class TestShellCommands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { StartIn(m_dir); }
    void init() { OneCompanyWindow(); }

    void enablingWithAndWithoutCompanyWindow_data();
    void enablingWithAndWithoutCompanyWindow();
    void menusSwitchWithTheCompanyWindow();
    void viewStyles_data();
    void viewStyles();
    void byNameIsEnabledAndInert();
    void f8AsksForTheUnaffiliatedList();
    void ctrlFSearchesByNameInTheCompanyWindow();
    void employeeEntryRunsTheMasterForm();
    void csvImportRefreshesTheCompanyWindow();
    void excelExportAndImportThroughTheMenu();
    void f6MovesBetweenPanes();
    void keysActOnTheWindowInFront_data();
    void keysActOnTheWindowInFront();
    void splitMovesTheDividerByKeys_data();
    void splitMovesTheDividerByKeys();
    void chartsOfTheSelectedUnit();

private:
    QTemporaryDir m_dir;
};

void TestShellCommands::enablingWithAndWithoutCompanyWindow_data()
{
    QTest::addColumn<bool>("withWindow");
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("enabled");
    for (bool with : {true, false}) {
        const std::pair<int, bool> rules[] = {
            {ID_SHOW_COMPANY, !with}, {ID_FILE_OPEN, false},       {ID_FILE_SAVE, false},
            {ID_FILE_SAVE_AS, false}, {ID_FILE_CLOSE, with},       {ID_UNAFFILIATED_LIST, with},
            {ID_VIEW_DETAILS, with},  {ID_VIEW_LINEUP, with},      {ID_VIEW_AUTOARRANGE, false},
            {ID_FILE_NEW, true},      {ID_FILE_PRINT_SETUP, true}, {ID_NAME_SEARCH, with},
            {ID_ORG_CHART, with},     {ID_STAFF_FIGURES, with},
        };
        for (auto [id, enabled] : rules)
            QTest::addRow("%s window, %d", with ? "with" : "without", id) << with << id << enabled;
    }
}

void TestShellCommands::enablingWithAndWithoutCompanyWindow()
{
    QFETCH(bool, withWindow);
    QFETCH(int, id);
    QFETCH(bool, enabled);
    if (!withWindow)
        CloseCompanyWindows();
    QCOMPARE(Enabled(id), enabled);
}

void TestShellCommands::menusSwitchWithTheCompanyWindow()
{
    QCOMPARE(Frame()->GetMenuId(), int(IDR_MORVEKTYPE));
    const QStringList company = MenuTexts(Frame()->menuBar()->actions());
    const QStringList view = {"表示(&V)",
                              "  ﾂｰﾙ ﾊﾞｰ(&T)",
                              "  ｽﾃｰﾀｽ ﾊﾞｰ(&S)",
                              "  分割(&P)",
                              "  -",
                              "  大きいｱｲｺﾝ(&G)",
                              "  小さいｱｲｺﾝ(&M)",
                              "  一覧(&L)",
                              "  詳細(&D)",
                              "  -",
                              "  ｱｲｺﾝの整列(&I)",
                              "    名前順(&N)",
                              "    -",
                              "    ｱｲｺﾝの自動整列(&A)",
                              "  等間隔に整列(&E)"};
    const QStringList help = {"ﾍﾙﾌﾟ(&H)", "  ﾄﾋﾟｯｸの検索(&H)", "  -", "  Morvek のﾊﾞｰｼﾞｮﾝ情報(&A)..."};
    QCOMPARE(company, QStringList({"ﾌｧｲﾙ(&F)",
                                   "  新規会社作成",
                                   "  社員の異動...\tF7",
                                   "  社員登録処理",
                                   "  社員の訂正...\tCtrl+E",
                                   "  会社構成閉じる(&C)",
                                   "  上書き保存(&S)\tCtrl+S",
                                   "  名前を付けて保存(&A)...",
                                   "  -",
                                   "  印刷(&P)...\tCtrl+P",
                                   "  部課の社員一覧を印刷...",
                                   "  印刷ﾌﾟﾚﾋﾞｭｰ(&V)",
                                   "  ﾌﾟﾘﾝﾀの設定(&R)...",
                                   "  名刺用紙の位置調整...",
                                   "  -",
                                   "  CSV書き出し...",
                                   "  CSV読み込み...",
                                   "  Excel書き出し...",
                                   "  Excel読み込み...",
                                   "  写真の一括取り込み...",
                                   "  郵便番号データの読み込み...",
                                   "  -",
                                   "  ﾊﾞｯｸｱｯﾌﾟ作成",
                                   "  ﾊﾞｯｸｱｯﾌﾟから復元...",
                                   "  サーバーのデータベースを開く...",
                                   "  -",
                                   "  ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"})
                          + view
                          + QStringList({"  -", "  未登録社員一覧", "  名前で検索\tCtrl+F", "  -", "  組織図", "  人員構成",
                                         "  -", "  基準日...\tF4", "  今日\tF5"})
                          + help);

    CloseCompanyWindows();
    QCOMPARE(Frame()->GetMenuId(), int(IDR_MAINFRAME));
    QCOMPARE(
        MenuTexts(Frame()->menuBar()->actions()),
        QStringList({"ﾌｧｲﾙ(&F)", "  社員登録処理", "  会社構成表示", "  ﾃﾝﾌﾟﾚｰﾄ開く(&O)...\tCtrl+O", "  -",
                     "  ﾌﾟﾘﾝﾀの設定(&R)...", "  名刺用紙の位置調整...", "  -", "  CSV書き出し...", "  CSV読み込み...",
                     "  Excel書き出し...", "  Excel読み込み...", "  郵便番号データの読み込み...", "  -", "  ﾊﾞｯｸｱｯﾌﾟ作成",
                     "  ﾊﾞｯｸｱｯﾌﾟから復元...", "  サーバーのデータベースを開く...", "  -", "  ｱﾌﾟﾘｹｰｼｮﾝの終了(&X)"})
            + view + help);
    QCOMPARE(Frame()->GetAction(ID_SHOW_COMPANY)->statusTip(), QStringLiteral("会社構成を表示します。"));
    QCOMPARE(Frame()->GetAction(ID_SHOW_COMPANY)->toolTip(), QStringLiteral("会社構成"));
}

void TestShellCommands::viewStyles_data()
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

void TestShellCommands::viewStyles()
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

void TestShellCommands::byNameIsEnabledAndInert()
{
    CMorvekView *view = Frame()->GetActiveChild()->GetRightPane();
    view->SetViewStyle(CMorvekView::EViewStyle::list);
    QVERIFY(Enabled(ID_VIEW_BYNAME));
    Frame()->GetAction(ID_VIEW_BYNAME)->trigger();
    QCOMPARE(view->GetViewStyle(), CMorvekView::EViewStyle::list);
    QVERIFY(!Frame()->GetAction(ID_VIEW_BYNAME)->isChecked());
    QVERIFY(Frame()->GetAction(ID_VIEW_LIST)->isChecked());
}

void TestShellCommands::f8AsksForTheUnaffiliatedList()
{
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    QSignalSpy asked(Frame()->GetAction(ID_UNAFFILIATED_LIST), &QAction::triggered);
    QTest::keyClick(Frame()->GetActiveChild()->GetLeftPane(), Qt::Key_F8);
    QCOMPARE(asked.size(), 1);
    CloseCompanyWindows();
    QTest::keyClick(Frame(), Qt::Key_F8);
    QCOMPARE(asked.size(), 1);
}

void TestShellCommands::ctrlFSearchesByNameInTheCompanyWindow()
{
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    CDialogAnswers answers([](QDialog &) { return int(QDialog::Rejected); });
    QTest::keyClick(Frame()->GetActiveChild()->GetLeftPane(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("名前で検索")});
    CloseCompanyWindows();
    QTest::keyClick(Frame(), Qt::Key_F, Qt::ControlModifier);
    QCOMPARE(answers.Texts().size(), 1);
}

// Opened from the menu without a company window; the form's captions stand on the
// bar while it runs and the plain set comes back when it closes.
void TestShellCommands::employeeEntryRunsTheMasterForm()
{
    CloseCompanyWindows();
    Frame()->SetStatusText(QStringLiteral("Morvek ver 1.0 ﾚﾃﾞｨ"));
    QStringList whileOpen;
    QString status;
    QWidget *owner = nullptr;
    CDialogAnswers answers([&](QDialog &dialog) {
        owner = dialog.parentWidget();
        dialog.show();
        if (QTest::qWaitForWindowActive(&dialog)) {
            whileOpen = Captions();
            status = Frame()->findChild<QLabel *>(QStringLiteral("messagePane"))->text();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        }
        return dialog.result();
    });
    Frame()->GetAction(ID_EMPLOYEE_ENTRY)->trigger();
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("社員マスタ登録")});
    // Owned by the main window, as every other form is: centred on it and kept above it.
    QCOMPARE(owner, static_cast<QWidget *>(Frame()));
    QCOMPARE(whileOpen, AsList(CFuncKeyCaptions::EmployeeMaster()));
    QCOMPARE(status, QStringLiteral("社員コードを入力してください。（F8キーで検索できます。）"));
    QCOMPARE(Captions(), AsList(CFuncKeyCaptions::Plain()));
    // The prompt of a field that is gone no longer stands in the status bar, even
    // where nothing activates the main window again.
    QCOMPARE(Frame()->GetStatusText(), QStringLiteral("Morvek ver 1.0 ﾚﾃﾞｨ"));
    // Offscreen nothing hands the activation back when the form goes.
    Frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
}

// The import runs from the company window's menu; what it adds shows there at once.
void TestShellCommands::csvImportRefreshesTheCompanyWindow()
{
    QTemporaryDir folder;
    QFile units(QDir(folder.path()).filePath(CCsvColumns::UnitsFileName()));
    QVERIFY(units.open(QIODevice::WriteOnly));
    units.write("会社コード,部課パス,名前\r\n5,取込商事,取込商事\r\n");
    units.close();
    QFile employees(QDir(folder.path()).filePath(CCsvColumns::EmployeesFileName()));
    QVERIFY(employees.open(QIODevice::WriteOnly));
    employees.write("社員コード,氏名,所属\r\n901,所属なし一郎,\r\n902,取込花子,取込商事\r\n");
    employees.close();
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
            files->setDirectory(folder.path());
            return int(QDialog::Accepted);
        }
        return qobject_cast<QMessageBox *>(&dialog) ? int(QMessageBox::Yes) : int(QDialog::Accepted);
    });
    Frame()->GetAction(ID_CSV_IMPORT)->trigger();
    CChildFrame *child = Frame()->GetActiveChild();
    QStringList tree;
    for (int i = 0; i < child->GetLeftPane()->topLevelItemCount(); ++i)
        tree << child->GetLeftPane()->topLevelItem(i)->text(0);
    QVERIFY2(tree.contains(QStringLiteral("取込商事")), qPrintable(tree.join(',')));
    CUnitContentsModel *unaffiliated = child->GetRightPane()->GetUnaffiliatedWindow()->GetModel();
    QStringList names;
    for (int row = 0; row < unaffiliated->rowCount(); ++row)
        names << unaffiliated->index(row, 0).data().toString();
    QVERIFY2(names.contains(QStringLiteral("所属なし一郎")), qPrintable(names.join(',')));
    QVERIFY(!names.contains(QStringLiteral("取込花子")));
}

// The workbook written from the menu in the chosen date form, the form remembered, and
// read back through the import's preview: every row there and unchanged.
void TestShellCommands::excelExportAndImportThroughTheMenu()
{
    QTemporaryDir folder;
    const QString book = QDir(folder.path()).filePath(QStringLiteral("台帳.xlsx"));
    QStringList choices;
    QString preview;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *files = qobject_cast<QFileDialog *>(&dialog)) {
            files->setDirectory(folder.path());
            files->selectFile(book);
            return int(QDialog::Accepted);
        }
        if (auto *shown = qobject_cast<CCsvPreviewDlg *>(&dialog)) {
            preview = shown->SummaryView()->toPlainText();
            return int(QDialog::Rejected);
        }
        if (auto *choice = qobject_cast<CCsvChoiceDlg *>(&dialog)) {
            choices << choice->windowTitle();
            if (choice->windowTitle() == QStringLiteral("Excel書き出し"))
                choice->Choice(1)->setChecked(true);
        }
        return qobject_cast<QMessageBox *>(&dialog) ? int(QMessageBox::Yes) : int(QDialog::Accepted);
    });
    Frame()->GetAction(ID_XLSX_EXPORT)->trigger();
    QVERIFY(QFile::exists(book));
    QCOMPARE(CXlsxExporter::RememberedDateForm(), CXlsxExporter::EDateForm::Iso);
    Frame()->GetAction(ID_XLSX_IMPORT)->trigger();
    QCOMPARE(choices, QStringList({QStringLiteral("Excel書き出し"), QStringLiteral("Excel読み込み")}));
    QVERIFY2(preview.contains(QStringLiteral("取り込めない行: 0 行")), qPrintable(preview));
    QVERIFY2(preview.contains(QStringLiteral("追加 0 人")), qPrintable(preview));
}

void TestShellCommands::f6MovesBetweenPanes()
{
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    CChildFrame *child = Frame()->GetActiveChild();
    child->GetLeftPane()->setFocus();
    QTest::keyClick(child->GetLeftPane(), Qt::Key_F6);
    QVERIFY(child->GetRightPane()->hasFocus());
    QTest::keyClick(child->GetRightPane(), Qt::Key_F6, Qt::ShiftModifier);
    QVERIFY(child->GetLeftPane()->hasFocus());
}

void TestShellCommands::keysActOnTheWindowInFront_data()
{
    QTest::addColumn<bool>("unaffiliated"); // the window of employees without a unit, or the list
    QTest::addColumn<QKeyCombination>("key");
    QTest::newRow("F7 without a unit") << true << QKeyCombination(Qt::Key_F7);
    QTest::newRow("Ctrl+E without a unit") << true << QKeyCombination(Qt::ControlModifier, Qt::Key_E);
    QTest::newRow("F7 in the list") << false << QKeyCombination(Qt::Key_F7);
    QTest::newRow("Ctrl+E in the list") << false << QKeyCombination(Qt::ControlModifier, Qt::Key_E);
}

// The company window's keys act on the employee selected where the user looks:
// F7 places them in the unit chosen, Ctrl+E opens them in the master form.
void TestShellCommands::keysActOnTheWindowInFront()
{
    QFETCH(bool, unaffiliated);
    QFETCH(QKeyCombination, key);
    CloseCompanyWindows();
    static int round = 0;
    ++round;
    const qint32 company = CRegisterBuilder::AddUnit({0, 100 + round, QStringLiteral("配属商事%1").arg(round)});
    const qint32 sales = CRegisterBuilder::AddUnit({company, 10, QStringLiteral("営業部")});
    const qint32 newcomer = CRegisterBuilder::AddEmployee({700 + round, unaffiliated ? 0 : sales, QStringLiteral("新人")});
    theApp()->OnShowCompany();
    Frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    CChildFrame *child = Frame()->GetActiveChild();
    CMorvekView *view = child->GetRightPane();
    QAbstractItemView *list = view;
    if (unaffiliated) {
        QTest::keyClick(child->GetLeftPane(), Qt::Key_F8);
        list = view->GetUnaffiliatedWindow()->GetListCtrl();
        list->window()->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), list->window());
    } else {
        view->ShowUnitContents(sales);
    }
    const QModelIndexList rows = list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, QStringLiteral("新人"));
    QCOMPARE(rows.size(), 1);
    list->setCurrentIndex(rows.first());

    qint32 opened = 0;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (auto *form = qobject_cast<CEmployeeForm *>(&dialog)) {
            dialog.show();
            opened = form->ShownID();
            return int(QDialog::Rejected);
        }
        auto *transfer = qobject_cast<CTransferDlg *>(&dialog);
        if (!transfer)
            return int(QDialog::Rejected);
        transfer->show();
        transfer->activateWindow();
        if (!QTest::qWaitForWindowActive(transfer))
            return int(QDialog::Rejected);
        auto *units = transfer->findChild<QTreeWidget *>();
        QTreeWidgetItem *placed = units->findItems(QStringLiteral("配属商事%1").arg(round), Qt::MatchExactly).value(0);
        placed->setExpanded(true);
        units->setCurrentItem(placed->child(0));
        transfer->accept();
        return transfer->result();
    });
    QTest::keyClick(list, key.key(), key.keyboardModifiers());
    if (key.key() == Qt::Key_F7) {
        QCOMPARE(answers.Texts(), QStringList{QStringLiteral("社員の異動")});
        QCOMPARE(BusyoOf(newcomer), sales);
    } else {
        QCOMPARE(answers.Texts(), QStringList{QStringLiteral("社員マスタ登録")});
        QCOMPARE(opened, newcomer);
    }
    view->GetUnaffiliatedWindow()->hide();
}

void TestShellCommands::splitMovesTheDividerByKeys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<int>("moved");
    QTest::newRow("right twice, kept") << QList<int>{Qt::Key_Right, Qt::Key_Right, Qt::Key_Return} << 16;
    QTest::newRow("left, kept") << QList<int>{Qt::Key_Left, Qt::Key_Enter} << -8;
    QTest::newRow("right, put back") << QList<int>{Qt::Key_Right, Qt::Key_Escape} << 0;
}

void TestShellCommands::splitMovesTheDividerByKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(int, moved);
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    QSplitter *splitter = Frame()->GetActiveChild()->GetSplitter();
    const int before = splitter->sizes().first();
    Frame()->GetAction(ID_WINDOW_SPLIT)->trigger();
    for (int key : keys)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key));
    QCOMPARE(splitter->sizes().first(), before + moved);
    // Tracking has ended: the keys go to the panes again.
    QVERIFY(Frame()->GetActiveChild()->GetLeftPane()->hasFocus());
}

// 組織図 and 人員構成 open for the unit selected in the tree; a box chosen in the
// chart is shown in the tree.
void TestShellCommands::chartsOfTheSelectedUnit()
{
    CloseCompanyWindows();
    const qint32 company = CRegisterBuilder::AddUnit({0, 300, QStringLiteral("図解商事")});
    const qint32 sales = CRegisterBuilder::AddUnit({company, 300, QStringLiteral("営業部")});
    const qint32 east = CRegisterBuilder::AddUnit({sales, 300, QStringLiteral("東課")});
    CRegisterBuilder::AddEmployee({901, east, QStringLiteral("図示")});
    theApp()->OnShowCompany();
    Frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    CChildFrame *child = Frame()->GetActiveChild();
    CLeftView *tree = child->GetLeftPane();
    QVERIFY(tree->RevealUnit(sales));

    Frame()->GetAction(ID_ORG_CHART)->trigger();
    auto *chart = child->findChild<COrgChartWnd *>();
    QVERIFY(chart);
    QVERIFY(chart->isVisible());
    QCOMPARE(chart->windowTitle(), QStringLiteral("組織図　図解商事/営業部"));
    QCOMPARE(chart->Chart().Boxes().size(), 2);
    QCOMPARE(chart->Chart().Boxes().at(chart->Chart().IndexOf(sales)).nTotal, 1);
    // Down to 東課 and Enter: the tree shows it.
    QTest::keyClick(chart->Canvas(), Qt::Key_Down);
    QTest::keyClick(chart->Canvas(), Qt::Key_Return);
    QCOMPARE(CLeftView::UnitId(tree->currentItem()), east);
    chart->close();
    QTRY_VERIFY(!child->findChild<COrgChartWnd *>());

    Frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    Frame()->GetAction(ID_STAFF_FIGURES)->trigger();
    auto *figures = child->findChild<CStaffFiguresWnd *>();
    QVERIFY(figures);
    QVERIFY(figures->isVisible());
    figures->close();
}

int main(int argc, char *argv[])
{
    CMorvekApp app(argc, argv);
    TestShellCommands test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_shellcommands.moc"
