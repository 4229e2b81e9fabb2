// The organisation views as of a past day: the tree and the lists before, on and
// after a transfer, a rename and a delete; nothing is changed from them then; 今日
// brings the register back; 異動 with its own day; 変更履歴's rows; the printed list.
#include "employee/employeeform.h"
#include "employee/employeeviewdlg.h"
#include "employee/namesearchdlg.h"
#include "employee/historydlg.h"
#include "forms/asofdate.h"
#include "forms/eradateedit.h"
#include "formtestsupport.h"
#include "print/printrunner.h"
#include "printlayout/cardprintjob.h"
#include "printlayout/companylistjob.h"
#include "rawconnection.h"
#include "register/employeeeditor.h"
#include "register/employees.h"
#include "register/registerasof.h"
#include "register/uniteditor.h"
#include "register/units.h"
#include "shell/transfercommand.h"
#include "store/daodatabase.h"
#include "views/employeedrop.h"
#include "views/transferdlg.h"
#include "views/unaffiliateddlg.h"
#include "viewsfixture.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPrinter>
#include <array>
#include <QMessageBox>
#include <QPushButton>

namespace {
const QDate kTransfer(2024, 4, 1);

// Where pictures of the new screens go to be looked at, when asked for.
void Keep(QWidget *widget, const char *name)
{
    if (const QString dir = qEnvironmentVariable("MORVEK_SHOT_DIR"); !dir.isEmpty())
        widget->grab().save(QDir(dir).filePath(QString::fromLatin1(name)));
}

// A dialog with a parent counts as active while its parent is: wait for its own turn.
bool ShowAndWait(QDialog &dialog)
{
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; });
}

CShownRegister::AsOf AsOf(const QDate &day)
{
    return day.isValid() ? std::make_shared<const CRegisterAsOf>(day) : nullptr;
}

void SetAsOf(SPanes &panes, const QDate &day)
{
    const CShownRegister::AsOf asOf = AsOf(day);
    panes.list->SetAsOf(asOf);
    panes.tree->SetAsOf(asOf);
}
} // namespace

class TestAsOfView : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { MORVEK_REQUIRE_BACKEND(); }
    void init();
    void cleanup() { m_db.reset(); }

    void treeAndListsAsOf_data();
    void treeAndListsAsOf();
    void editsAreRefused_data();
    void editsAreRefused();
    void todayFollowsChangesAgain();
    void searchShowsWhereTheyStoodThen_data();
    void searchShowsWhereTheyStoodThen();
    void transferTakesTheTypedDay_data();
    void transferTakesTheTypedDay();
    void transferDayReachedByKeys();
    void historyRowsNewestFirst();
    void masterFormAsksForAnEmployeeFirst();
    void printedListNamesTheDay();
    void employeeAndCardsAsTheyStood_data();
    void employeeAndCardsAsTheyStood();

private:
    std::unique_ptr<CTempDatabase> m_db;
    qint32 m_company = 0, m_sales = 0, m_general = 0, m_planning = 0;
    qint32 m_yamada = 0, m_suzuki = 0, m_sato = 0, m_takahashi = 0;
};

// As the register was built, then what happened today: 山田 moved on 2024-04-01
// (entered late), 総務部 renamed 管理部, 企画部 deleted with 高橋 released.
void TestAsOfView::init()
{
    m_db = std::make_unique<CTempDatabase>();
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_sales = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("営業部")});
    m_general = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("総務部")});
    m_planning = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("企画部")});
    m_yamada = CRegisterBuilder::AddEmployee({1, m_sales, QStringLiteral("山田")});
    m_suzuki = CRegisterBuilder::AddEmployee({2, m_general, QStringLiteral("鈴木")});
    m_sato = CRegisterBuilder::AddEmployee({3, 0, QStringLiteral("佐藤")});
    m_takahashi = CRegisterBuilder::AddEmployee({4, m_planning, QStringLiteral("高橋")});

    QCOMPARE(CEmployees::Move({m_yamada}, m_general, nullptr, kTransfer), CEmployees::EMove::moved);
    CUnitEditor general(m_general);
    SUnitFields renamed = general.Fields();
    renamed.strName = QStringLiteral("管理部");
    general.Write(renamed);
    QVERIFY(CUnits::Delete(m_planning));
}

void TestAsOfView::treeAndListsAsOf_data()
{
    QTest::addColumn<QDate>("day"); // invalid: today
    QTest::addColumn<QStringList>("company");
    QTest::addColumn<QStringList>("sales");
    QTest::addColumn<QStringList>("general");
    QTest::addColumn<QStringList>("without");

    const QStringList before{"営業部", "総務部", "企画部", "高橋"};
    QTest::newRow("before the transfer") << kTransfer.addDays(-1) << QStringList{"営業部", "総務部", "企画部"}
                                         << QStringList{"山田"} << QStringList{"鈴木"} << QStringList{"佐藤"};
    QTest::newRow("on the transfer") << kTransfer << QStringList{"営業部", "総務部", "企画部"} << QStringList{}
                                     << QStringList{"山田", "鈴木"} << QStringList{"佐藤"};
    QTest::newRow("before the rename and delete")
        << QDate::currentDate().addDays(-1) << QStringList{"営業部", "総務部", "企画部"} << QStringList{}
        << QStringList{"山田", "鈴木"} << QStringList{"佐藤"};
    QTest::newRow("today") << QDate() << QStringList{"営業部", "管理部"} << QStringList{} << QStringList{"山田", "鈴木"}
                           << QStringList{"佐藤", "高橋"};
}

void TestAsOfView::treeAndListsAsOf()
{
    QFETCH(QDate, day);
    QFETCH(QStringList, company);
    QFETCH(QStringList, sales);
    QFETCH(QStringList, general);
    QFETCH(QStringList, without);
    SPanes panes;
    SelectPath(panes.tree, {m_company, m_general});
    SetAsOf(panes, day);
    // The unit selected stays selected, shown as it stood.
    QCOMPARE(CLeftView::UnitId(panes.tree->currentItem()), m_general);
    QCOMPARE(Column(panes.list), general);
    QCOMPARE(ChildTexts(ItemOf(panes.tree, m_company)), company);
    SelectPath(panes.tree, {m_sales});
    QCOMPARE(Column(panes.list), sales);
    SelectPath(panes.tree, {m_company});
    QCOMPARE(Column(panes.list), company);

    CUnaffiliatedDlg *window = panes.list->GetUnaffiliatedWindow();
    window->Fill();
    QCOMPARE(Column(window->GetModel()), without);
    QCOMPARE(window->windowTitle().contains(QStringLiteral("基準日")), day.isValid());
}

void TestAsOfView::editsAreRefused_data()
{
    QTest::addColumn<QString>("edit");
    for (const char *edit : {"部課追加", "部課訂正", "部課削除", "Delete", "drop on the tree", "drop on the list", "異動"})
        QTest::newRow(edit) << QString::fromUtf8(edit);
}

void TestAsOfView::editsAreRefused()
{
    QFETCH(QString, edit);
    SPanes panes;
    SelectPath(panes.tree, {m_company, m_general});
    SetAsOf(panes, kTransfer);
    QStringList shown;
    CDialogAnswers answers([&shown](QDialog &dialog) {
        auto *box = qobject_cast<QMessageBox *>(&dialog);
        shown << (box ? box->text() : dialog.windowTitle());
        return int(QMessageBox::Ok);
    });
    panes.list->selectionModel()->select(panes.list->model()->index(0, 0), QItemSelectionModel::ClearAndSelect);
    const QPoint onGeneral = panes.tree->viewport()->mapToGlobal(
        panes.tree->visualItemRect(ItemOf(panes.tree, m_general)).center());
    const QPoint onList = panes.list->viewport()->mapToGlobal(panes.list->viewport()->rect().center());
    CEmployeeDrop drop({CUnitContentsModel::EmployeeRow(m_sato, false, QStringLiteral("佐藤"))},
                       edit.contains(QStringLiteral("tree")) ? onGeneral : onList);

    std::unique_ptr<QMenu> menu(panes.tree->CreateContextMenu(panes.tree));
    const int menuIndex = QStringList{"部課追加", "部課訂正", "部課削除"}.indexOf(edit);
    if (menuIndex >= 0) {
        QVERIFY(!menu->actions().at(menuIndex)->isEnabled());
        (panes.tree->*(std::array{&CLeftView::OnAddDept, &CLeftView::OnEditDept, &CLeftView::OnDeleteDept}[menuIndex]))();
    } else if (edit == QLatin1String("Delete")) {
        QTest::keyClick(panes.list, Qt::Key_Delete);
    } else if (edit == QLatin1String("異動")) {
        QVERIFY(!CTransferCommand::Run({m_sato}, panes.tree, panes.list));
    } else {
        (edit.contains(QStringLiteral("tree")) ? panes.tree->TakeDrop(&drop) : panes.list->TakeDrop(&drop));
        QVERIFY(!drop.IsAccepted());
    }
    QCOMPARE(shown, QStringList{CAsOfDate::ReadOnlyText()});
    QCOMPARE(UnitRow(m_general)->m_Name, QStringLiteral("管理部"));
    QCOMPARE(CUnits::Children(m_company).size(), 2);
    QCOMPARE(QList<qint32>({BusyoOf(m_yamada), BusyoOf(m_sato)}), QList<qint32>({m_general, 0}));
}

void TestAsOfView::todayFollowsChangesAgain()
{
    SPanes panes;
    SelectPath(panes.tree, {m_company});
    SetAsOf(panes, kTransfer);
    // Kept, not shown: a past day is not changed by what happens now.
    CUnitEditor sales(m_sales);
    SUnitFields renamed = sales.Fields();
    renamed.strName = QStringLiteral("販売部");
    sales.Write(renamed);
    QCOMPARE(ChildTexts(ItemOf(panes.tree, m_company)), QStringList({"営業部", "総務部", "企画部"}));

    SetAsOf(panes, QDate());
    QCOMPARE(Column(panes.list), QStringList({"販売部", "管理部"}));
    renamed.strName = QStringLiteral("営業本部");
    CUnitEditor(m_sales).Write(renamed);
    QCOMPARE(ChildTexts(ItemOf(panes.tree, m_company)), QStringList({"営業本部", "管理部"}));
}

void TestAsOfView::searchShowsWhereTheyStoodThen_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<bool>("yamada"); // 山田, else 高橋
    QTest::addColumn<QString>("unit");
    QTest::newRow("山田 before the transfer") << kTransfer.addDays(-1) << true << "営業部";
    QTest::newRow("山田 on the transfer") << kTransfer << true << "総務部";
    QTest::newRow("山田 today") << QDate() << true << "管理部";
    QTest::newRow("高橋 before 企画部 went") << QDate::currentDate().addDays(-1) << false << "企画部";
}

void TestAsOfView::searchShowsWhereTheyStoodThen()
{
    QFETCH(QDate, day);
    QFETCH(bool, yamada);
    QFETCH(QString, unit);
    const qint32 id = yamada ? m_yamada : m_takahashi;
    SPanes panes;
    SetAsOf(panes, day);
    CDialogAnswers answers([id](QDialog &dialog) {
        dynamic_cast<CNameSearchDlg &>(dialog).m_nSelectedID = id;
        return int(QDialog::Accepted);
    });
    panes.tree->SearchEmployeeByName();
    QCOMPARE(panes.tree->currentItem()->text(0), unit);
    QCOMPARE(panes.list->currentIndex().data().toString(), yamada ? QStringLiteral("山田") : QStringLiteral("高橋"));
}

void TestAsOfView::transferTakesTheTypedDay_data()
{
    QTest::addColumn<bool>("held");
    QTest::newRow("written at once") << false;
    QTest::newRow("refused first: the form comes back as it was") << true;
}

// 佐藤 joins 営業部 on 令和5年10月1日, typed in the move's own form; when another
// program holds the file at the first OK, the form opens again with what was chosen.
void TestAsOfView::transferTakesTheTypedDay()
{
    QFETCH(bool, held);
    if (held && m_db->OnServer())
        QSKIP("a server waits for the other writer instead of refusing");
    CDaoDatabase::SetBusyTimeout(100);
    std::unique_ptr<CRawConnection> other;
    if (held) {
        other = std::make_unique<CRawConnection>(m_db->Path(), QStringLiteral("other"));
        other->Exec(QStringLiteral("BEGIN IMMEDIATE"));
    }
    SPanes panes;
    int forms = 0;
    QStringList told;
    CDialogAnswers answers([&](QDialog &dialog) {
        auto *form = qobject_cast<CTransferDlg *>(&dialog);
        if (!form) {
            told << static_cast<QMessageBox &>(dialog).text();
            other.reset(); // its transaction ends with it
            return int(QMessageBox::Ok);
        }
        if (!ShowAndWait(*form))
            return int(QDialog::Rejected);
        if (++forms == 1) {
            for (Qt::Key key : {Qt::Key_Right, Qt::Key_Down})
                PressKey(key);
            PressKey(Qt::Key_Tab);
            TypeText(QStringLiteral("051001"));
            Keep(form, "transfer.png");
            PressKey(Qt::Key_Return);
        }
        PressKey(Qt::Key_Return);
        return form->result();
    });
    QVERIFY(CTransferCommand::Run({m_sato}, panes.tree, panes.list));
    QCOMPARE(forms, held ? 2 : 1);
    QCOMPARE(told.size(), held ? 1 : 0);
    QCOMPARE(BusyoOf(m_sato), m_sales);
    QCOMPARE(CLeftView::UnitId(panes.tree->currentItem()), m_sales);
    QCOMPARE(Column(panes.list), QStringList{"佐藤"});
    QCOMPARE(CRegisterAsOf(QDate(2023, 9, 30)).OfUnit(m_sales).size(), 1); // 山田, not yet 佐藤
    QCOMPARE(CRegisterAsOf(QDate(2023, 10, 1)).OfUnit(m_sales).size(), 2);
}

// From the units, Tab and Down below the last one reach 異動日; Up goes back.
void TestAsOfView::transferDayReachedByKeys()
{
    CTransferDlg form(1, nullptr);
    QVERIFY(ShowAndWait(form));
    auto *units = form.findChild<QTreeWidget *>();
    QCOMPARE(QApplication::focusWidget(), units);
    QWidget *day = form.Field(CTransferDlg::FieldDate);
    PressKey(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), day);
    PressKey(Qt::Key_Up);
    QCOMPARE(QApplication::focusWidget(), units);
    PressKey(Qt::Key_Right); // 本社 opened: its three units below it
    PressKey(Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), units);
    PressKey(Qt::Key_End);
    PressKey(Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), day);
}

void TestAsOfView::historyRowsNewestFirst()
{
    CEmployeeEditor editor;
    editor.Open();
    QVERIFY(editor.ShowById(m_yamada));
    QVERIFY(editor.Update([](CMast01 &record) { record.m_Name = QStringLiteral("山田 太郎"); }, std::nullopt));

    // From the view form, by F4, as a person asks for it.
    CFakeFrame frame;
    QList<QStringList> rows;
    CDialogAnswers answers([&rows](QDialog &dialog) {
        auto &history = dynamic_cast<CHistoryDlg &>(dialog);
        history.show();
        Keep(&history, "history.png");
        for (int i = 0; i < history.GetList()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *item = history.GetList()->topLevelItem(i);
            QStringList texts;
            for (int column = CHistoryDlg::colEffective; column < CHistoryDlg::colCount; ++column)
                texts << item->text(column);
            rows << texts;
        }
        return int(QDialog::Rejected);
    });
    CEmployeeViewDlg view;
    view.m_nEmployeeID = m_yamada;
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTest::keyClick(&view, Qt::Key_F4);
    const QString today = CAsOfDate::EraText(QDate::currentDate());
    const QString who = rows.value(0).value(1);
    QCOMPARE(rows, QList<QStringList>({{today, who, "変更", "氏名", "山田", "山田 太郎"},
                                       {"令和6年4月1日", who, "異動", "", "本社/営業部", "本社/総務部"}}));
    QCOMPARE(frame.m_captions.at(3), QStringLiteral("変更履歴"));
}

void TestAsOfView::masterFormAsksForAnEmployeeFirst()
{
    CFakeFrame frame;
    QStringList opened;
    CDialogAnswers answers([&opened](QDialog &dialog) {
        opened << QString::number(dynamic_cast<CHistoryDlg &>(dialog).GetList()->topLevelItemCount());
        return int(QDialog::Rejected);
    });
    CEmployeeForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    Keep(&form, "master.png");
    PressKey(Qt::Key_F4);
    QVERIFY(opened.isEmpty());
    QCOMPARE(frame.m_status, QStringLiteral("変更履歴を見る社員を社員コードで呼び出してください。"));

    TypeText(QStringLiteral("4")); // 高橋: added by hand, released with 企画部
    PressKey(Qt::Key_Return);
    PressKey(Qt::Key_F4);
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("変更履歴 - 4 高橋")});
    QCOMPARE(opened.size(), 1);
    QCOMPARE(frame.m_captions.at(3), QStringLiteral("変更履歴"));
    QCOMPARE(frame.m_captions.at(4), QStringLiteral("ﾓｰﾄﾞ"));
}

void TestAsOfView::printedListNamesTheDay()
{
    SPanes panes;
    SelectPath(panes.tree, {m_company});
    SetAsOf(panes, kTransfer.addDays(-1));
    QVERIFY(panes.tree->PrepareCompanyPrintJob());
    const CCompanyListJob &job = panes.tree->GetPrintJob();
    QCOMPARE(job.GetTable().m_strAsOf.simplified(), QStringLiteral("基準日 令和 6年 03月 31日 現在　").simplified());
    QStringList names;
    for (const CPrintRecord &record : job.GetRecords())
        names << record.m_Name;
    QCOMPARE(names, QStringList({"山田", "鈴木", "高橋"}));
    if (const QString dir = qEnvironmentVariable("MORVEK_SHOT_DIR"); !dir.isEmpty()) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(QDir(dir).filePath(QStringLiteral("asoflist.pdf")));
        CPrintRunner::PrintPages(panes.tree->GetPrintJob(), printer);
    }

    SetAsOf(panes, QDate());
    QVERIFY(panes.tree->PrepareCompanyPrintJob());
    QVERIFY(job.GetTable().m_strAsOf.isEmpty());
}

void TestAsOfView::employeeAndCardsAsTheyStood_data()
{
    QTest::addColumn<QDate>("day");
    QTest::addColumn<bool>("yamada"); // 山田 in 営業部, else 鈴木 in 総務部, deleted today
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("path"); // the card's unit
    const QString yesterday = CAsOfDate::EraText(QDate::currentDate().addDays(-1));
    QTest::newRow("山田 before his transfer") << kTransfer.addDays(-1) << true << "営業部（基準日 令和6年3月31日）"
                                              << "営業部";
    QTest::newRow("鈴木, deleted since, before 管理部 was named")
        << QDate::currentDate().addDays(-1) << false << QStringLiteral("総務部（基準日 %1）").arg(yesterday) << "総務部";
}

// Opened from a past day's list, the view form and the cards show the employee
// as the list does, also one deleted since.
void TestAsOfView::employeeAndCardsAsTheyStood()
{
    QFETCH(QDate, day);
    QFETCH(bool, yamada);
    QFETCH(QString, title);
    QFETCH(QString, path);
    const QString name = yamada ? QStringLiteral("山田") : QStringLiteral("鈴木");
    CEmployeeEditor editor;
    editor.Open();
    QVERIFY(editor.ShowById(m_suzuki));
    QVERIFY(editor.Delete());
    SPanes panes;
    SelectPath(panes.tree, {m_company, yamada ? m_sales : m_general});
    SetAsOf(panes, day);
    CMorvekView *list = panes.list;
    list->SetViewStyle(CMorvekView::EViewStyle::report);
    const int row = int(Column(list).indexOf(name));
    QVERIFY(row >= 0);

    QStringList seen;
    CDialogAnswers answers([&seen](QDialog &dialog) {
        auto &view = dynamic_cast<CEmployeeViewDlg &>(dialog);
        view.show();
        Keep(&view, "asofview.png");
        seen << view.windowTitle() << view.Control(CEmployeeViewDlg::IDC_NAME)->text();
        return int(QDialog::Rejected);
    });
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(row, 0)).center());
    QCOMPARE(seen, QStringList({title, name}));

    list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::ClearAndSelect);
    QVERIFY(list->PreparePrintJob());
    const std::vector<CPrintRecord> &cards = list->GetPrintJob().GetRecords();
    QCOMPARE(cards.size(), size_t(1));
    QCOMPARE(cards.front().m_Name, name);
    QCOMPARE(cards.front().m_strPath.simplified(), path);
    QCOMPARE(cards.front().m_strCompany, QStringLiteral("本社"));
}

QTEST_MAIN(TestAsOfView)
#include "tst_asofview.moc"
