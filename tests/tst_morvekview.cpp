// The list of one unit: its rows and their kinds, the four styles with the
// report columns, double-clicks, the Delete key, the current unit.
#include "employee/unaffiliateddlg.h"
#include "viewsfixture.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>

class TestMorvekView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void unitsInCodeOrderThenEmployeesInCodeOrder();
    void modelHoldsUpUnderChanges();
    void styles_data();
    void styles();
    void reportColumns();
    void doubleClick_data();
    void doubleClick();
    void deleteKeyReleasesSelectedEmployeesOnly();
    void assignGoesToTheUnitShown();

private:
    std::unique_ptr<CTempDatabase> m_db;
    qint32 m_company = 0, m_dept = 0, m_sub1 = 0, m_sub2 = 0;
};

void TestMorvekView::init()
{
    m_db = std::make_unique<CTempDatabase>();
    m_company = AddUnit(0, 10, QStringLiteral("本社"));
    m_dept = AddUnit(m_company, 10, QStringLiteral("営業部"));
    m_sub2 = AddUnit(m_dept, 20, QStringLiteral("第二課"));
    m_sub1 = AddUnit(m_dept, 10, QStringLiteral("第一課"));
    AddEmployee(30, m_dept, QStringLiteral("佐藤"));
    AddEmployee(10, m_dept, QStringLiteral("山田"));
    AddEmployee(20, m_dept, QStringLiteral("鈴木"), true);
    AddEmployee(40, m_sub1, QStringLiteral("高橋"));
    AddEmployee(50, 0, QStringLiteral("田中"));
}

void TestMorvekView::unitsInCodeOrderThenEmployeesInCodeOrder()
{
    SPanes panes;
    QCOMPARE(panes.list->GetCurrentUnit(), 0);
    CMast00 units;
    panes.list->ShowUnitContents(units, m_dept);
    QVERIFY(!units.IsOpen());
    QCOMPARE(Column(panes.list), QStringList({"第一課", "第二課", "山田", "鈴木", "佐藤"}));
    QCOMPARE(Column(panes.list, CUnitContentsModel::kindColumn), QStringList({"部課", "部課", "社員", "社員", "社員"}));
    QCOMPARE(Images(panes.list), QList<int>({1, 1, 2, 3, 2}));
    QCOMPARE(panes.list->model()->index(0, 0).data(CUnitContentsModel::IdRole).toInt(), m_sub1);
    QCOMPARE(panes.list->GetCurrentUnit(), m_dept);
}

void TestMorvekView::modelHoldsUpUnderChanges()
{
    SPanes panes;
    QAbstractItemModelTester tester(panes.list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    CMast00 units;
    panes.list->ShowUnitContents(units, m_dept);
    panes.list->selectionModel()->select(panes.list->model()->index(2, 0), QItemSelectionModel::Select);
    QTest::keyClick(panes.list, Qt::Key_Delete);
    units.Open();
    units.MoveFirst();
    panes.list->AddUnitRow(units);
    panes.list->GetModel()->Insert(1, CUnitContentsModel::EmployeeRow(99, false, QStringLiteral("copied")));
    panes.list->ClearContents();
    QCOMPARE(panes.list->model()->rowCount(), 0);
}

void TestMorvekView::styles_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("iconSize");
    QTest::addColumn<bool>("iconMode");
    QTest::addColumn<bool>("header");
    using S = CMorvekView::EViewStyle;
    QTest::newRow("icon") << int(S::icon) << 32 << true << false;
    QTest::newRow("small icon") << int(S::smallIcon) << 16 << false << false;
    QTest::newRow("list") << int(S::list) << 16 << false << false;
    QTest::newRow("report") << int(S::report) << 16 << false << true;
}

void TestMorvekView::styles()
{
    QFETCH(int, style);
    QFETCH(int, iconSize);
    QFETCH(bool, iconMode);
    QFETCH(bool, header);
    SPanes panes;
    CMorvekView *list = panes.list;
    CMast00 units;
    list->ShowUnitContents(units, m_dept);
    list->SetViewStyle(CMorvekView::EViewStyle(style));
    list->Arrange();
    QCOMPARE(list->iconSize(), QSize(iconSize, iconSize));
    QCOMPARE(list->viewMode() == QListView::IconMode, iconMode);
    QCOMPARE(list->GetHeader()->isVisible(), header);
    // Every row has a place of its own, and the rows keep their order.
    const QRect first = list->visualRect(list->model()->index(0, 0));
    const QRect second = list->visualRect(list->model()->index(1, 0));
    QVERIFY(!first.isEmpty() && !first.intersects(second));
    QCOMPARE(list->indexAt(second.center()).row(), 1);
    // Styles change how rows look, never which rows there are.
    QCOMPARE(Column(list), QStringList({"第一課", "第二課", "山田", "鈴木", "佐藤"}));
}

void TestMorvekView::reportColumns()
{
    SPanes panes;
    CMorvekView *list = panes.list;
    list->SetViewStyle(CMorvekView::EViewStyle::report);
    QHeaderView *header = list->GetHeader();
    const int width = list->viewport()->width();
    QCOMPARE(list->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("名前"));
    QCOMPARE(list->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("区分"));
    QCOMPARE(header->sectionSize(0), width / 6 * 4);
    QCOMPARE(header->sectionSize(1), width / 6 * 2);
    QVERIFY(header->geometry().bottom() < list->viewport()->geometry().top());
    // A row spans both columns, and follows them when they are widened.
    CMast00 units;
    list->ShowUnitContents(units, m_dept);
    list->Arrange();
    QVERIFY(list->visualRect(list->model()->index(0, 0)).width() >= header->length());
    header->resizeSection(1, header->sectionSize(1) + 50);
    list->Arrange();
    QVERIFY(header->length() > list->viewport()->width());
    QCOMPARE(list->visualRect(list->model()->index(0, 0)).width(), header->length());
}

void TestMorvekView::doubleClick_data()
{
    QTest::addColumn<int>("row");        // -1: the empty area
    QTest::addColumn<QStringList>("listed");
    QTest::newRow("unit row") << 0 << QStringList({"高橋"});
    QTest::newRow("employee row") << 2 << QStringList({"第一課", "第二課", "山田", "鈴木", "佐藤"});
    QTest::newRow("empty area") << -1 << QStringList({"本社", "田中"});
}

void TestMorvekView::doubleClick()
{
    QFETCH(int, row);
    QFETCH(QStringList, listed);
    SPanes panes;
    CLeftView *tree = panes.tree;
    tree->setCurrentItem(tree->topLevelItem(0));
    tree->setCurrentItem(ItemOf(tree, m_dept));
    CMorvekView *list = panes.list;
    list->SetViewStyle(CMorvekView::EViewStyle::report);
    list->Arrange();
    const QPoint point = row >= 0 ? list->visualRect(list->model()->index(row, 0)).center()
                                  : list->viewport()->rect().bottomRight() - QPoint(5, 5);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(Column(list), listed);
    if (row == -1)
        QCOMPARE(Images(list), QList<int>({0, 2}));
    QCOMPARE(list->GetCurrentUnit(), row == 0 ? m_sub1 : row == -1 ? 0 : m_dept);
    QCOMPARE(CLeftView::UnitId(tree->currentItem()), m_dept);
}

void TestMorvekView::deleteKeyReleasesSelectedEmployeesOnly()
{
    SPanes panes;
    CMorvekView *list = panes.list;
    CMast00 units;
    list->ShowUnitContents(units, m_dept);
    for (int row : {1, 2, 4})
        list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select);
    const qint32 yamada = list->model()->index(2, 0).data(CUnitContentsModel::IdRole).toInt();
    const qint32 sato = list->model()->index(4, 0).data(CUnitContentsModel::IdRole).toInt();
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(Column(list), QStringList({"第一課", "第二課", "鈴木"}));
    QCOMPARE(BusyoOf(yamada), 0);
    QCOMPARE(BusyoOf(sato), 0);
    QVERIFY(UnitExists(m_sub2));
    const CUnitContentsModel *window = list->GetUnaffiliatedWindow()->GetModel();
    QCOMPARE(window->rowCount(), 3);
    QCOMPARE(window->Row(1).strName, QStringLiteral("山田"));
    QCOMPARE(window->Row(2).strName, QStringLiteral("佐藤"));
    // Any other key is the list's own.
    list->selectAll();
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(list->model()->rowCount(), 3);
}

void TestMorvekView::assignGoesToTheUnitShown()
{
    SPanes panes;
    CMorvekView *list = panes.list;
    const qint32 tanaka = AddEmployee(60, m_sub2, QStringLiteral("伊藤"));
    // Nothing shown yet: the employee ends up without a unit, not in a stray one.
    list->AssignEmployeeToCurrentUnit(tanaka);
    QCOMPARE(BusyoOf(tanaka), 0);
    CMast00 units;
    list->ShowUnitContents(units, m_sub1);
    list->AssignEmployeeToCurrentUnit(tanaka);
    QCOMPARE(BusyoOf(tanaka), m_sub1);
    QCOMPARE(Column(list), QStringList({"高橋"}));
}

QTEST_MAIN(TestMorvekView)
#include "tst_morvekview.moc"
