// The organisation tree: levels read on first selection and in code order, the
// department commands with their messages, the pop-up menu, revealing a unit.
#include "views/unaffiliateddlg.h"
#include "employee/employeesearchdlg.h"
#include "employee/startcodedlg.h"
#include "forms/deptdlg.h"
#include "forms/eradateedit.h"
#include "formtestsupport.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "viewsfixture.h"

#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace {
void RunMenuCommand(CLeftView *tree, int index)
{
    std::unique_ptr<QMenu> menu(tree->CreateContextMenu(tree));
    menu->actions().at(index)->trigger();
}
enum { kAdd, kEdit, kDelete };
} // namespace

class TestLeftView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void levelsAreReadOnFirstSelectionInCodeOrder();
    void addAndEditDepartment();
    void deleteRules_data();
    void deleteRules();
    void failedDeleteChangesNothing_data();
    void failedDeleteChangesNothing();
    void unitDeletedElsewhereIsTold_data();
    void unitDeletedElsewhereIsTold();
    void companyDeletedElsewhereLeavesTheTree_data();
    void companyDeletedElsewhereLeavesTheTree();
    void rightClickAndMenuKey();
    void revealOpensThePathDownToTheUnit();
    void shiftF10OpensTheMenu();
    void searchSelectsTheEmployee();

private:
    std::unique_ptr<CTempDatabase> m_db;
    qint32 m_company = 0, m_sales = 0, m_first = 0, m_branch = 0;
    qint32 m_inSales = 0, m_inFirst = 0, m_inCompany = 0, m_inBranch = 0;
};

void TestLeftView::init()
{
    MORVEK_REQUIRE_BACKEND();
    m_db = std::make_unique<CTempDatabase>();
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_sales = CRegisterBuilder::AddUnit(
        {.parent = m_company, .code = 10, .name = QStringLiteral("営業部"), .yuu = QStringLiteral("100-0002")});
    m_first = CRegisterBuilder::AddUnit({m_sales, 10, QStringLiteral("第一課")});
    CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("総務部")});
    m_branch = CRegisterBuilder::AddUnit({0, 5, QStringLiteral("支社")});
    m_inSales = CRegisterBuilder::AddEmployee({1, m_sales, QStringLiteral("山田")});
    m_inFirst = CRegisterBuilder::AddEmployee({2, m_first, QStringLiteral("鈴木")});
    m_inCompany = CRegisterBuilder::AddEmployee({3, m_company, QStringLiteral("佐藤")});
    m_inBranch = CRegisterBuilder::AddEmployee({4, m_branch, QStringLiteral("高橋")});
}

void TestLeftView::levelsAreReadOnFirstSelectionInCodeOrder()
{
    CRegisterBuilder::AddUnit({0, 10, QStringLiteral("別会社")});                                // same code, later ID
    const qint32 planning = CRegisterBuilder::AddUnit({m_company, 3, QStringLiteral("企画部")}); // lower code, later ID
    SPanes panes;
    CLeftView *tree = panes.tree;
    QCOMPARE(ChildTexts(tree->invisibleRootItem()), QStringList({"支社", "本社", "別会社"}));
    QVERIFY(!tree->currentItem());
    QCOMPARE(panes.list->model()->rowCount(), 0);
    QCOMPARE(tree->topLevelItem(1)->childCount(), 0);

    tree->setCurrentItem(tree->topLevelItem(1));
    QCOMPARE(ChildTexts(tree->topLevelItem(1)), QStringList({"企画部", "営業部", "総務部"}));
    QVERIFY(!tree->topLevelItem(1)->isExpanded());
    QCOMPARE(Column(panes.list), QStringList({"企画部", "営業部", "総務部", "佐藤"}));

    // A unit without children asks again at each selection; one with children does not.
    for (const QString &name : {QStringLiteral("企画一課"), QStringLiteral("企画二課")}) {
        SelectPath(tree, {planning});
        CRegisterBuilder::AddUnit({planning, 3, name});
        SelectPath(tree, {m_company, planning});
    }
    QCOMPARE(ChildTexts(ItemOf(tree, planning)), QStringList({"企画一課"}));
    QCOMPARE(Column(panes.list), QStringList({"企画一課", "企画二課"}));
}

void TestLeftView::addAndEditDepartment()
{
    SPanes panes;
    SelectPath(panes.tree, {m_company, m_sales});
    QStringList shown;
    CDialogAnswers answers([&shown](QDialog &dialog) {
        auto &form = dynamic_cast<CDeptDlg &>(dialog);
        shown << form.m_strUpper + QLatin1Char('/') + form.m_strName + QLatin1Char('/') + form.m_strYuu;
        form.m_strName = QStringLiteral("第二課");
        return QDialog::Accepted;
    });
    RunMenuCommand(panes.tree, kAdd);
    QTreeWidgetItem *sales = ItemOf(panes.tree, m_sales);
    QCOMPARE(ChildTexts(sales), QStringList({"第一課", "第二課"}));
    QCOMPARE(Column(panes.list), QStringList({"第一課", "山田", "第二課"}));
    const auto added = UnitRow(CLeftView::UnitId(sales->child(1)));
    QVERIFY(added);
    QCOMPARE(QList<qint32>({added->m_Parent, added->m_Code}), QList<qint32>({m_sales, 10}));
    QCOMPARE(added->m_Yuu, QStringLiteral("100-0002"));

    // The company itself is corrected with the same form, under "会社".
    SelectPath(panes.tree, {m_company});
    RunMenuCommand(panes.tree, kEdit);
    QCOMPARE(shown, QStringList({"営業部//100-0002", "会社/本社/"}));
    QCOMPARE(UnitRow(m_company)->m_Name, QStringLiteral("第二課"));
    QCOMPARE(ItemOf(panes.tree, m_company)->text(0), QStringLiteral("第二課"));
}

void TestLeftView::deleteRules_data()
{
    QTest::addColumn<QString>("unit");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("box");          // caption, text, icon, the button Enter presses
    QTest::addColumn<QStringList>("listed");   // what the tree then selects
    QTest::addColumn<QStringList>("released"); // now in the window of employees without a unit
    const int ok = QMessageBox::Ok, cancel = QMessageBox::Cancel;
    // The unit by name, and how many it would release; Enter keeps them.
    const QString company = QStringLiteral(
                                "削除 会社「本社」全体を削除しますか？\n所属する社員 3 人の所属を解除します。 %1 %2")
                                .arg(QMessageBox::Question)
                                .arg(cancel);
    const QString department = QStringLiteral(
                                   "削除 「第一課」を削除しますか？\n所属する社員 1 人の所属を解除します。 %1 %2")
                                   .arg(QMessageBox::Question)
                                   .arg(cancel);
    QTest::newRow("company, OK") << "company" << ok << company << QStringList{"高橋"}
                                 << QStringList{"山田", "鈴木", "佐藤"};
    QTest::newRow("company, cancel") << "company" << cancel << company << QStringList{"営業部", "総務部", "佐藤"}
                                     << QStringList();
    QTest::newRow("with a lower level") << "sales" << ok
                                        << QStringLiteral("削除 下階層が存在します削除できません！ %1 %2")
                                               .arg(QMessageBox::Critical)
                                               .arg(QMessageBox::NoButton) // its one button
                                        << QStringList{"第一課", "山田"} << QStringList();
    QTest::newRow("department, OK") << "first" << ok << department << QStringList{"山田"} << QStringList{"鈴木"};
    QTest::newRow("department, cancel") << "first" << cancel << department << QStringList{"鈴木"} << QStringList();
}

void TestLeftView::deleteRules()
{
    QFETCH(QString, unit);
    const qint32 target = unit == u"company" ? m_company : unit == u"sales" ? m_sales : m_first;
    QFETCH(int, answer);
    QFETCH(QString, box);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, released);
    SPanes panes;
    SelectPath(panes.tree, {m_company, m_sales, m_first, target});
    QString shown;
    CDialogAnswers answers([&](QDialog &dialog) {
        auto &message = dynamic_cast<QMessageBox &>(dialog);
        shown = QStringLiteral("%1 %2 %3 %4")
                    .arg(message.windowTitle(), message.text())
                    .arg(message.icon())
                    .arg(message.standardButton(message.defaultButton()));
        return answer;
    });
    RunMenuCommand(panes.tree, kDelete);
    QCOMPARE(shown, box);
    QCOMPARE(Column(panes.list), listed);

    const bool deleted = !released.isEmpty();
    const bool companyGone = deleted && target == m_company;
    QCOMPARE(!UnitRow(target), deleted);
    QCOMPARE(!ItemOf(panes.tree, target), deleted);
    QCOMPARE(!UnitRow(m_sales), companyGone);
    QCOMPARE(QList<qint32>({BusyoOf(m_inSales), BusyoOf(m_inFirst), BusyoOf(m_inCompany), BusyoOf(m_inBranch)}),
             QList<qint32>({companyGone ? 0 : m_sales, deleted ? 0 : m_first, companyGone ? 0 : m_company, m_branch}));
    QCOMPARE(Column(panes.list->GetUnaffiliatedWindow()->GetModel()), released);
}

void TestLeftView::failedDeleteChangesNothing_data()
{
    QTest::addColumn<bool>("company");
    QTest::newRow("company") << true;
    QTest::newRow("department") << false;
}

void TestLeftView::failedDeleteChangesNothing()
{
    QFETCH(bool, company);
    CDaoDatabase db;
    db.Open(m_db->Path());
    // The employees are released first; the removal of the unit then fails.
    if (m_db->OnServer()) {
        db.Execute(QStringLiteral("CREATE FUNCTION refuse() RETURNS trigger AS $$ BEGIN RAISE EXCEPTION 'x'; END $$ "
                                  "LANGUAGE plpgsql"));
        db.Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON Mast00 FOR EACH ROW EXECUTE FUNCTION refuse()"));
    } else {
        db.Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE DELETE ON Mast00 BEGIN SELECT RAISE(ABORT, 'x'); END"));
    }
    db.Close();
    SPanes panes;
    const qint32 target = company ? m_company : m_first;
    SelectPath(panes.tree, {m_company, m_sales, m_first, target});
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Ok; });
    try {
        RunMenuCommand(panes.tree, kDelete);
        QFAIL("the delete should have failed");
    } catch (const CDaoException &error) {
        QVERIFY2(error.GetErrorMessage().contains(QStringLiteral("何も変更されていません")),
                 qPrintable(error.GetErrorMessage()));
    }
    QVERIFY(UnitRow(target) && ItemOf(panes.tree, target));
    QCOMPARE(QList<qint32>({BusyoOf(m_inSales), BusyoOf(m_inFirst), BusyoOf(m_inCompany)}),
             QList<qint32>({m_sales, m_first, m_company}));
    QCOMPARE(Column(panes.list->GetUnaffiliatedWindow()->GetModel()), QStringList());
}

void TestLeftView::unitDeletedElsewhereIsTold_data()
{
    QTest::addColumn<QString>("action");
    for (const char *action : {"select", "add", "edit", "delete", "drop", "print"})
        QTest::newRow(action) << QString::fromLatin1(action);
}

// Another user deletes the unit shown here: the next action on it says so and writes nothing.
void TestLeftView::unitDeletedElsewhereIsTold()
{
    QFETCH(QString, action);
    SPanes panes;
    CLeftView *tree = panes.tree;
    SelectPath(tree, {m_company, m_sales, m_first});
    ExecuteElsewhere(m_db->Path(), {QStringLiteral("DELETE FROM Mast00 WHERE ID = %1").arg(m_first)});
    CDialogAnswers answers([](QDialog &dialog) {
        if (auto *form = qobject_cast<CDeptDlg *>(&dialog))
            form->m_strName = QStringLiteral("幽霊課");
        return int(QMessageBox::Ok);
    });
    if (action == QLatin1String("select")) {
        tree->setCurrentItem(ItemOf(tree, m_sales));
        tree->setCurrentItem(ItemOf(tree, m_first));
        QCOMPARE(panes.list->model()->rowCount(), 0);
    } else if (action == QLatin1String("add")) {
        RunMenuCommand(tree, kAdd);
    } else if (action == QLatin1String("edit")) {
        RunMenuCommand(tree, kEdit);
    } else if (action == QLatin1String("delete")) {
        RunMenuCommand(tree, kDelete);
    } else if (action == QLatin1String("drop")) {
        tree->AssignEmployeeToUnit(m_inSales, ItemOf(tree, m_first));
    } else {
        QVERIFY(!tree->PrepareCompanyPrintJob());
    }
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("この部課は他のユーザーが削除しました。")});
    QVERIFY(!UnitRow(m_first));
    CMast00 units;
    units.Open();
    QVERIFY(!units.FindFirst(QStringLiteral("Parent = %1 OR Name = '幽霊課'").arg(m_first)));
    units.Close();
    QCOMPARE(BusyoOf(m_inSales), m_sales);
    // Not offered again: its item goes, and the unit above is shown in its place.
    QTRY_VERIFY(!ItemOf(tree, m_first));
    QCOMPARE(CLeftView::UnitId(tree->currentItem()), m_sales);
    QCOMPARE(Column(panes.list), QStringList({"山田"}));
    QCOMPARE(answers.Texts().size(), 1);
}

void TestLeftView::companyDeletedElsewhereLeavesTheTree_data()
{
    QTest::addColumn<QString>("action");
    for (const char *action : {"select", "edit", "drop"})
        QTest::newRow(action) << QString::fromLatin1(action);
}

// The whole company went: one message, and none of its items stays behind.
void TestLeftView::companyDeletedElsewhereLeavesTheTree()
{
    QFETCH(QString, action);
    SPanes panes;
    CLeftView *tree = panes.tree;
    SelectPath(tree, {m_company, m_sales, m_first});
    ExecuteElsewhere(m_db->Path(), {QStringLiteral("DELETE FROM Mast00 WHERE Code = 10")});
    CDialogAnswers answers([](QDialog &) { return int(QMessageBox::Ok); });
    if (action == QLatin1String("select"))
        tree->SelectUnit(tree->currentItem());
    else if (action == QLatin1String("edit"))
        RunMenuCommand(tree, kEdit);
    else
        QVERIFY(!tree->AssignEmployeesToUnit({m_inSales, m_inCompany}, ItemOf(tree, m_first)));
    QTRY_VERIFY(!ItemOf(tree, m_company));
    QCOMPARE(ChildTexts(tree->invisibleRootItem()), QStringList({"支社"}));
    QVERIFY(!tree->currentItem());
    QCOMPARE(panes.list->model()->rowCount(), 0);
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("この部課は他のユーザーが削除しました。")});
    QCOMPARE(QList<qint32>({BusyoOf(m_inSales), BusyoOf(m_inCompany)}), QList<qint32>({m_sales, m_company}));
}

void TestLeftView::rightClickAndMenuKey()
{
    SPanes panes;
    CLeftView *tree = panes.tree;
    const QPoint empty = tree->visualItemRect(tree->topLevelItem(1)).bottomLeft() + QPoint(5, 40);
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, empty);
    QVERIFY(!tree->currentItem());
    QTest::mouseClick(tree->viewport(), Qt::RightButton, {}, tree->visualItemRect(tree->topLevelItem(1)).center());
    QCOMPARE(panes.list->GetCurrentUnit(), m_company);

    // The menu key opens the menu with nothing selected too; its commands then do nothing.
    std::unique_ptr<QMenu> menu(tree->CreateContextMenu(tree));
    QStringList items;
    for (QAction *action : menu->actions())
        items << (action->isSeparator() ? QStringLiteral("-") : action->text());
    QCOMPARE(items, QStringList({"部課追加", "部課訂正", "部課削除", "-", "名前で検索", "検索"}));
    tree->setCurrentItem(nullptr);
    CDialogAnswers answers([](QDialog &) { return QDialog::Accepted; });
    for (int command : {kAdd, kEdit, kDelete})
        RunMenuCommand(tree, command);
    QVERIFY(answers.Texts().isEmpty());
}

void TestLeftView::revealOpensThePathDownToTheUnit()
{
    SPanes panes;
    panes.tree->RevealUnit(0);
    QVERIFY(!panes.tree->currentItem());
    panes.tree->RevealUnit(m_first);
    QTreeWidgetItem *first = panes.tree->currentItem();
    QCOMPARE(CLeftView::UnitId(first), m_first);
    QVERIFY(first->isExpanded() && first->parent()->isExpanded() && first->parent()->parent()->isExpanded());
    QCOMPARE(Column(panes.list), QStringList({"鈴木"}));
}

// Shift+F10 opens the pop-up menu as the menu key does.
void TestLeftView::shiftF10OpensTheMenu()
{
    SPanes panes;
    QStringList shown;
    QTimer::singleShot(0, [&shown] {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            for (QAction *action : menu->actions())
                shown << action->text();
            menu->close();
        }
    });
    panes.tree->setFocus();
    QTest::keyClick(panes.tree, Qt::Key_F10, Qt::ShiftModifier);
    QCOMPARE(shown.value(0), QStringLiteral("部課追加"));
}

// After 検索 the employee found is selected in the list and its unit in the tree.
void TestLeftView::searchSelectsTheEmployee()
{
    // Enough employees in the unit that the one found lies below the list's first screen.
    QList<CRegisterBuilder::SEmployeeRow> crowd;
    for (qint32 code = 100; code < 400; ++code)
        crowd << CRegisterBuilder::Numbered(code, m_first);
    CRegisterBuilder::AddEmployees(crowd);
    SPanes panes;
    CDialogAnswers answers([](QDialog &dialog) {
        if (auto *start = qobject_cast<CStartCodeDlg *>(&dialog)) {
            start->show();
            TypeText(QStringLiteral("390"), start->Field(CStartCodeDlg::FieldCode));
            return int(QDialog::Accepted);
        }
        if (auto *search = qobject_cast<CEmployeeSearchDlg *>(&dialog)) {
            search->show();
            search->accept();
            return int(QDialog::Accepted);
        }
        return int(QMessageBox::Ok);
    });
    panes.tree->SearchEmployee();
    QCOMPARE(CLeftView::UnitId(panes.tree->currentItem()), m_first);
    const QModelIndex current = panes.list->currentIndex();
    QCOMPARE(current.data().toString(), CRegisterBuilder::NumberedName(390));
    QVERIFY(panes.list->selectionModel()->isSelected(current));
    QVERIFY(panes.list->viewport()->rect().intersects(panes.list->visualRect(current)));
    QVERIFY(panes.tree->viewport()->rect().intersects(panes.tree->visualItemRect(panes.tree->currentItem())));
}

QTEST_MAIN(TestLeftView)
#include "tst_leftview.moc"
