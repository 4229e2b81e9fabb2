// Dragging employee rows from the list onto the tree, with the mouse as a person
// moves it: where a drop lands decides who moves, and unit rows never do.
#include "views/employeedrag.h"
#include "viewsfixture.h"

class TestEmployeeDrag : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void threeEmployeesOntoADepartment();
    void dropTargets_data();
    void dropTargets();
    void highlightFollowsTheCursor();
    void unitRowsDoNotStartADrag();

private:
    // Shows 営業部: 第一課, then 山田, 鈴木, 佐藤, 高橋; selects the rows given.
    void ShowSales(SPanes &panes, const QList<int> &rows);
    QPoint RowPoint(const SPanes &panes, int row) const;
    QPoint ItemPoint(const SPanes &panes, qint32 unitId) const;
    void Press(SPanes &panes, const QPoint &at);
    void Drop(SPanes &panes, const QPoint &from, const QPoint &to);
    QList<qint32> Employees() const;

    std::unique_ptr<CTempDatabase> m_db;
    qint32 m_company = 0, m_sales = 0, m_first = 0, m_general = 0;
    QList<qint32> m_staff;
};

void TestEmployeeDrag::init()
{
    m_db = std::make_unique<CTempDatabase>();
    m_company = AddUnit(0, 10, QStringLiteral("本社"));
    m_sales = AddUnit(m_company, 10, QStringLiteral("営業部"));
    m_general = AddUnit(m_company, 10, QStringLiteral("総務部"));
    m_first = AddUnit(m_sales, 10, QStringLiteral("第一課"));
    m_staff.clear();
    for (const char16_t *name : {u"山田", u"鈴木", u"佐藤", u"高橋"})
        m_staff << AddEmployee(int(m_staff.size()), m_sales, QString::fromUtf16(name));
}

void TestEmployeeDrag::ShowSales(SPanes &panes, const QList<int> &rows)
{
    panes.tree->setCurrentItem(ItemOf(panes.tree, m_company));
    panes.tree->setCurrentItem(ItemOf(panes.tree, m_sales));
    panes.list->SetViewStyle(CMorvekView::EViewStyle::report);
    panes.list->Arrange();
    for (int row : rows)
        panes.list->selectionModel()->select(panes.list->model()->index(row, 0), QItemSelectionModel::Select);
}

QPoint TestEmployeeDrag::RowPoint(const SPanes &panes, int row) const
{
    const QRect rect = panes.list->visualRect(panes.list->model()->index(row, 0));
    return panes.InWindow(panes.list->viewport(), rect.topLeft() + QPoint(20, rect.height() / 2));
}

QPoint TestEmployeeDrag::ItemPoint(const SPanes &panes, qint32 unitId) const
{
    const QRect rect = panes.tree->visualItemRect(ItemOf(panes.tree, unitId));
    return panes.InWindow(panes.tree->viewport(), rect.center());
}

void TestEmployeeDrag::Press(SPanes &panes, const QPoint &at)
{
    QWindow *window = panes.window.windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, at);
    QTest::mouseMove(window, at + QPoint(0, 3));
    QTest::mouseMove(window, at + QPoint(30, 3));
}

void TestEmployeeDrag::Drop(SPanes &panes, const QPoint &from, const QPoint &to)
{
    Press(panes, from);
    QVERIFY(panes.list->GetDrag().IsDragging());
    QTest::mouseMove(panes.window.windowHandle(), to);
    QTest::mouseRelease(panes.window.windowHandle(), Qt::LeftButton, {}, to);
    QVERIFY(!panes.list->GetDrag().IsDragging());
}

QList<qint32> TestEmployeeDrag::Employees() const
{
    QList<qint32> units;
    for (qint32 id : m_staff)
        units << BusyoOf(id);
    return units;
}

void TestEmployeeDrag::threeEmployeesOntoADepartment()
{
    SPanes panes;
    ShowSales(panes, {0, 1, 2, 4});
    Drop(panes, RowPoint(panes, 2), ItemPoint(panes, m_general));
    QCOMPARE(Employees(), QList<qint32>({m_general, m_general, m_sales, m_general}));
    QCOMPARE(CLeftView::UnitId(panes.tree->currentItem()), m_general);
    QCOMPARE(Column(panes.list), QStringList({"山田", "鈴木", "高橋"}));
    QVERIFY(!panes.tree->GetDropHighlight());
    // The unit row went along in the selection and stayed put.
    panes.tree->setCurrentItem(ItemOf(panes.tree, m_sales));
    QCOMPARE(Column(panes.list), QStringList({"第一課", "佐藤"}));
}

void TestEmployeeDrag::dropTargets_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("moved");     // which unit the two employees end up in
    QTest::addColumn<QStringList>("listed");
    const QStringList unchanged = {"第一課", "山田", "鈴木", "佐藤", "高橋"};
    QTest::newRow("the company") << "company" << "company" << QStringList({"営業部", "総務部", "鈴木", "佐藤"});
    QTest::newRow("the unit shown") << "sales" << "sales" << unchanged;
    QTest::newRow("the tree, below its items") << "tree" << "sales" << unchanged;
    QTest::newRow("the list itself") << "list" << "sales" << unchanged;
}

void TestEmployeeDrag::dropTargets()
{
    QFETCH(QString, target);
    QFETCH(QString, moved);
    QFETCH(QStringList, listed);
    SPanes panes;
    ShowSales(panes, {2, 3});
    QPoint to;
    if (target == u"company" || target == u"sales")
        to = ItemPoint(panes, target == u"company" ? m_company : m_sales);
    else if (target == u"tree")
        to = panes.InWindow(panes.tree->viewport(), panes.tree->viewport()->rect().bottomLeft() + QPoint(10, -10));
    else
        to = panes.InWindow(panes.list->viewport(), panes.list->viewport()->rect().center());
    Drop(panes, RowPoint(panes, 3), to);
    const qint32 unit = moved == u"company" ? m_company : m_sales;
    QCOMPARE(Employees(), QList<qint32>({m_sales, unit, unit, m_sales}));
    QCOMPARE(Column(panes.list), listed);
    QCOMPARE(CLeftView::UnitId(panes.tree->currentItem()), moved == u"company" ? m_company : m_sales);
    QVERIFY(!panes.tree->GetDropHighlight());
}

void TestEmployeeDrag::highlightFollowsTheCursor()
{
    SPanes panes;
    ShowSales(panes, {1});
    Press(panes, RowPoint(panes, 1));
    QWindow *window = panes.window.windowHandle();
    QTest::mouseMove(window, ItemPoint(panes, m_general));
    QCOMPARE(CLeftView::UnitId(panes.tree->GetDropHighlight()), m_general);
    QTest::mouseMove(window, ItemPoint(panes, m_company));
    QCOMPARE(CLeftView::UnitId(panes.tree->GetDropHighlight()), m_company);
    QTest::mouseMove(window, RowPoint(panes, 3));
    QVERIFY(!panes.tree->GetDropHighlight());
    QTest::mouseRelease(window, Qt::LeftButton, {}, RowPoint(panes, 3));
    QCOMPARE(Employees(), QList<qint32>(4, m_sales));
}

void TestEmployeeDrag::unitRowsDoNotStartADrag()
{
    SPanes panes;
    ShowSales(panes, {0, 1});
    Press(panes, RowPoint(panes, 0));
    QVERIFY(!panes.list->GetDrag().IsDragging());
    QVERIFY(!panes.list->GetDrag().HasImage());
    QVERIFY(!QWidget::mouseGrabber());
    QTest::mouseRelease(panes.window.windowHandle(), Qt::LeftButton, {}, ItemPoint(panes, m_general));
    QCOMPARE(Employees(), QList<qint32>(4, m_sales));
}

QTEST_MAIN(TestEmployeeDrag)
#include "tst_employeedrag.moc"
