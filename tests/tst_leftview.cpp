// The organisation tree: levels read on first selection and in code order, the
// department commands with their messages, the pop-up menu, revealing a unit.
#include "employee/unaffiliateddlg.h"
#include "forms/deptdlg.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "viewsfixture.h"

#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

namespace {
QAction *MenuAction(QMenu *menu, const QString &text)
{
    for (QAction *action : menu->actions())
        if (action->text() == text)
            return action;
    return nullptr;
}

void RunMenuCommand(CLeftView *tree, const QString &text)
{
    std::unique_ptr<QMenu> menu(tree->CreateContextMenu(tree));
    QAction *action = MenuAction(menu.get(), text);
    QVERIFY2(action, qPrintable(text));
    action->trigger();
}
} // namespace

class TestLeftView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emptyDatabaseGivesEmptyTree();
    void levelsAreReadOnFirstSelectionInCodeOrder();
    void addDepartmentUnderTheSelectedUnit();
    void editShowsTheUpperLevel_data();
    void editShowsTheUpperLevel();
    void deleteRules_data();
    void deleteRules();
    void failedCompanyDeleteChangesNothing();
    void rightClickSelectsOnlyOnAnItem();
    void keyboardMenuWithoutSelectionDoesNothing();
    void revealOpensThePathDownToTheUnit();

private:
    std::unique_ptr<CTempDatabase> m_db;
    qint32 m_company = 0, m_sales = 0, m_first = 0, m_general = 0, m_branch = 0;
    qint32 m_inSales = 0, m_inFirst = 0, m_inCompany = 0, m_inBranch = 0;
};

void TestLeftView::init()
{
    m_db = std::make_unique<CTempDatabase>();
    m_company = AddUnit(0, 10, QStringLiteral("本社"), QStringLiteral("100-0001"));
    m_sales = AddUnit(m_company, 10, QStringLiteral("営業部"), QStringLiteral("100-0002"));
    m_first = AddUnit(m_sales, 10, QStringLiteral("第一課"));
    m_general = AddUnit(m_company, 10, QStringLiteral("総務部"));
    m_branch = AddUnit(0, 5, QStringLiteral("支社"));
    m_inSales = AddEmployee(1, m_sales, QStringLiteral("山田"));
    m_inFirst = AddEmployee(2, m_first, QStringLiteral("鈴木"));
    m_inCompany = AddEmployee(3, m_company, QStringLiteral("佐藤"));
    m_inBranch = AddEmployee(4, m_branch, QStringLiteral("高橋"));
}

void TestLeftView::cleanup()
{
    m_db.reset();
}

void TestLeftView::emptyDatabaseGivesEmptyTree()
{
    m_db.reset();
    m_db = std::make_unique<CTempDatabase>();
    SPanes panes;
    QCOMPARE(panes.tree->topLevelItemCount(), 0);
    QCOMPARE(panes.list->model()->rowCount(), 0);
    QCOMPARE(panes.list->GetCurrentUnit(), 0);
}

void TestLeftView::levelsAreReadOnFirstSelectionInCodeOrder()
{
    AddUnit(0, 10, QStringLiteral("別会社"));           // same code as 本社, later ID
    const qint32 zeta = AddUnit(m_company, 3, QStringLiteral("企画部")); // lower code, later ID
    CBusyRecorder busy;
    SPanes panes;
    CLeftView *tree = panes.tree;
    QCOMPARE(Texts(Roots(tree)), QStringList({"支社", "本社", "別会社"}));
    QCOMPARE(busy.m_switches, QList<bool>({true, false}));
    QVERIFY(busy.m_bWaitCursorSeen);
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!tree->currentItem());
    QCOMPARE(tree->topLevelItem(1)->childCount(), 0);

    tree->setCurrentItem(tree->topLevelItem(1));
    QCOMPARE(Texts(Children(tree->topLevelItem(1))), QStringList({"企画部", "営業部", "総務部"}));
    QVERIFY(!tree->topLevelItem(1)->isExpanded());
    QCOMPARE(Column(panes.list), QStringList({"企画部", "営業部", "総務部", "佐藤"}));

    // A unit without children asks again each time; one with children does not.
    QTreeWidgetItem *planning = ItemOf(tree, zeta);
    tree->setCurrentItem(planning);
    AddUnit(zeta, 3, QStringLiteral("企画一課"));
    tree->setCurrentItem(tree->topLevelItem(1));
    tree->setCurrentItem(planning);
    QCOMPARE(Texts(Children(planning)), QStringList({"企画一課"}));
    AddUnit(zeta, 3, QStringLiteral("企画二課"));
    tree->setCurrentItem(tree->topLevelItem(1));
    tree->setCurrentItem(planning);
    QCOMPARE(Texts(Children(planning)), QStringList({"企画一課"}));
    QCOMPARE(Column(panes.list), QStringList({"企画一課", "企画二課"}));
}

void TestLeftView::addDepartmentUnderTheSelectedUnit()
{
    SPanes panes;
    panes.tree->setCurrentItem(ItemOf(panes.tree, m_company));
    panes.tree->setCurrentItem(ItemOf(panes.tree, m_sales));
    QStringList shown;
    CDialogAnswers answers([&shown](QDialog &dialog) {
        auto &form = dynamic_cast<CDeptDlg &>(dialog);
        shown << form.m_strUpper << form.m_strName << form.m_strYuu << form.m_strTel;
        form.m_strName = QStringLiteral("第二課");
        return QDialog::Accepted;
    });
    RunMenuCommand(panes.tree, QStringLiteral("部課追加"));
    QCOMPARE(shown, QStringList({"営業部", "", "100-0002", "03-0000-0000"}));

    QTreeWidgetItem *sales = ItemOf(panes.tree, m_sales);
    QCOMPARE(Texts(Children(sales)), QStringList({"第一課", "第二課"}));
    QCOMPARE(Column(panes.list), QStringList({"第一課", "山田", "第二課"}));
    CMast00 set;
    set.Open();
    QVERIFY(set.FindFirst(QStringLiteral("ID = %1").arg(CLeftView::UnitId(sales->child(1)))));
    QCOMPARE(set.m_Parent, m_sales);
    QCOMPARE(set.m_Code, 10);
    QCOMPARE(set.m_Yuu, QStringLiteral("100-0002"));
    QCOMPARE(panes.tree->currentItem(), sales);
}

void TestLeftView::editShowsTheUpperLevel_data()
{
    QTest::addColumn<bool>("company");
    QTest::addColumn<QString>("upper");
    QTest::newRow("company") << true << "会社";
    QTest::newRow("department") << false << "本社";
}

void TestLeftView::editShowsTheUpperLevel()
{
    QFETCH(bool, company);
    QFETCH(QString, upper);
    SPanes panes;
    const qint32 unit = company ? m_company : m_sales;
    panes.tree->setCurrentItem(ItemOf(panes.tree, m_company));
    panes.tree->setCurrentItem(ItemOf(panes.tree, unit));
    QString shownUpper;
    CDialogAnswers answers([&](QDialog &dialog) {
        auto &form = dynamic_cast<CDeptDlg &>(dialog);
        shownUpper = form.m_strUpper;
        form.m_strName += QStringLiteral("２");
        return QDialog::Accepted;
    });
    RunMenuCommand(panes.tree, QStringLiteral("部課訂正"));
    QCOMPARE(shownUpper, upper);
    CMast00 set;
    set.Open();
    QVERIFY(set.FindFirst(QStringLiteral("ID = %1").arg(unit)));
    QVERIFY(set.m_Name.endsWith(QStringLiteral("２")));
    QCOMPARE(ItemOf(panes.tree, unit)->text(0), set.m_Name);
}

void TestLeftView::deleteRules_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<QStringList>("listed");   // what the tree selects afterwards
    const int ok = QMessageBox::Ok, cancel = QMessageBox::Cancel;
    const QString company = QStringLiteral("会社全体を削除しますか？");
    const QString department = QStringLiteral("削除しますか？");
    QTest::newRow("company, OK") << "company" << ok << company << true << QStringList{"高橋"};
    QTest::newRow("company, cancel") << "company" << cancel << company << false
                                     << QStringList{"営業部", "総務部", "佐藤"};
    QTest::newRow("with a loaded lower level") << "sales" << ok << "下階層が存在します削除できません！" << false
                                               << QStringList{"第一課", "山田"};
    QTest::newRow("empty department, OK") << "first" << ok << department << true << QStringList{"山田"};
    QTest::newRow("empty department, cancel") << "first" << cancel << department << false << QStringList{"鈴木"};
}

void TestLeftView::deleteRules()
{
    QFETCH(QString, unit);
    QFETCH(int, answer);
    QFETCH(QString, message);
    QFETCH(bool, deleted);
    QFETCH(QStringList, listed);
    SPanes panes;
    CLeftView *tree = panes.tree;
    for (qint32 id : {m_company, m_sales, m_first})
        tree->setCurrentItem(ItemOf(tree, id));
    const qint32 target = unit == u"company" ? m_company : unit == u"sales" ? m_sales : m_first;
    tree->setCurrentItem(ItemOf(tree, target));

    QString box;
    CDialogAnswers answers([&](QDialog &dialog) {
        auto &shown = dynamic_cast<QMessageBox &>(dialog);
        box = QStringLiteral("%1 %2 %3").arg(shown.windowTitle()).arg(shown.icon()).arg(int(shown.standardButtons()));
        return answer;
    });
    RunMenuCommand(tree, QStringLiteral("部課削除"));
    QCOMPARE(answers.Texts(), QStringList{message});
    const bool refusal = unit == u"sales";
    const auto buttons = refusal ? QMessageBox::Ok : QMessageBox::Ok | QMessageBox::Cancel;
    QCOMPARE(box, QStringLiteral("削除 %1 %2").arg(refusal ? QMessageBox::Critical : QMessageBox::Question).arg(int(buttons)));

    QCOMPARE(UnitExists(target), !deleted);
    QCOMPARE(ItemOf(tree, target) == nullptr, deleted);
    const bool companyGone = deleted && unit == u"company";
    for (qint32 id : {m_sales, m_first, m_general})
        QCOMPARE(UnitExists(id), !companyGone && !(deleted && id == m_first));
    // Employees of removed units come free; nobody else moves.
    QCOMPARE(BusyoOf(m_inFirst), deleted ? 0 : m_first);
    QCOMPARE(BusyoOf(m_inSales), companyGone ? 0 : m_sales);
    QCOMPARE(BusyoOf(m_inCompany), companyGone ? 0 : m_company);
    QCOMPARE(BusyoOf(m_inBranch), m_branch);
    QStringList unaffiliated;
    if (deleted)
        unaffiliated = companyGone ? QStringList({"山田", "鈴木", "佐藤"}) : QStringList({"鈴木"});
    QCOMPARE(Column(panes.list), listed);
    QCOMPARE(panes.list->GetCurrentUnit(), CLeftView::UnitId(tree->currentItem()));
    const CUnitContentsModel *window = panes.list->GetUnaffiliatedWindow()->GetModel();
    QStringList inWindow;
    for (int row = 0; row < window->rowCount(); ++row)
        inWindow << window->Row(row).strName;
    QCOMPARE(inWindow, unaffiliated);
}

void TestLeftView::failedCompanyDeleteChangesNothing()
{
    {
        CDaoDatabase db;
        db.Open(m_db->Path());
        db.Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON Mast00 BEGIN SELECT RAISE(ABORT, 'x'); END"));
    }
    SPanes panes;
    panes.tree->setCurrentItem(ItemOf(panes.tree, m_company));
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Ok; });
    std::unique_ptr<QMenu> menu(panes.tree->CreateContextMenu(panes.tree));
    QVERIFY_THROWS_EXCEPTION(CDaoException, MenuAction(menu.get(), QStringLiteral("部課削除"))->trigger());
    QVERIFY(UnitExists(m_company));
    QCOMPARE(BusyoOf(m_inSales), m_sales);
    QCOMPARE(BusyoOf(m_inCompany), m_company);
    QVERIFY(ItemOf(panes.tree, m_company));
}

void TestLeftView::rightClickSelectsOnlyOnAnItem()
{
    SPanes panes;
    CLeftView *tree = panes.tree;
    QTreeWidgetItem *branch = tree->topLevelItem(0);
    tree->setCurrentItem(branch);
    const QPoint below = tree->visualItemRect(tree->topLevelItem(1)).bottomLeft() + QPoint(5, 40);
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, below);
    QCOMPARE(tree->currentItem(), branch);
    QTreeWidgetItem *company = tree->topLevelItem(1);
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, tree->visualItemRect(company).center());
    QCOMPARE(tree->currentItem(), company);
    QCOMPARE(panes.list->GetCurrentUnit(), m_company);
}

void TestLeftView::keyboardMenuWithoutSelectionDoesNothing()
{
    SPanes panes;
    CLeftView *tree = panes.tree;
    QStringList items;
    QPoint shownAt;
    QTimer::singleShot(0, this, [&] {
        auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
        QVERIFY(menu);
        shownAt = menu->pos();
        for (QAction *action : menu->actions())
            items << (action->isSeparator() ? QStringLiteral("-") : action->text());
        // Add, with nothing selected.
        menu->setActiveAction(menu->actions().first());
        QTest::keyClick(menu, Qt::Key_Return);
    });
    CDialogAnswers answers([](QDialog &) { return QDialog::Accepted; });
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(), QCursor::pos());
    QApplication::sendEvent(tree, &key);
    QCOMPARE(items, QStringList({"部課追加", "部課訂正", "部課削除", "-", "検索"}));
    QCOMPARE(shownAt, tree->viewport()->mapToGlobal(QPoint(5, 5)));
    QVERIFY(answers.Texts().isEmpty());
    QCOMPARE(panes.tree->topLevelItem(1)->childCount(), 0);
}

void TestLeftView::revealOpensThePathDownToTheUnit()
{
    SPanes panes;
    CLeftView *tree = panes.tree;
    tree->RevealUnit(0);
    QVERIFY(!tree->currentItem());
    tree->RevealUnit(m_first);
    QTreeWidgetItem *first = tree->currentItem();
    QVERIFY(first);
    QCOMPARE(CLeftView::UnitId(first), m_first);
    QVERIFY(first->isExpanded() && first->parent()->isExpanded() && first->parent()->parent()->isExpanded());
    QCOMPARE(Column(panes.list), QStringList({"鈴木"}));
}

QTEST_MAIN(TestLeftView)
#include "tst_leftview.moc"
