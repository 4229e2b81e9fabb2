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
    void pictureIsOpaque();

private:
    // The list shows 営業部: 第一課, then 山田, 鈴木, 佐藤, 高橋; rows selected as given.
    void ShowSales(const QList<int> &rows);
    QPoint RowPoint(int row) const;
    QPoint ItemPoint(qint32 unitId) const;
    void Press(int row);
    void Release(const QPoint &to);
    QList<qint32> Units() const;

    std::unique_ptr<CTempDatabase> m_db;
    std::unique_ptr<SPanes> m_panes;
    qint32 m_company = 0, m_sales = 0, m_general = 0;
    QList<qint32> m_staff;
};

void TestEmployeeDrag::init()
{
    m_panes.reset();
    m_db = std::make_unique<CTempDatabase>();
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_sales = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("営業部")});
    m_general = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("総務部")});
    CRegisterBuilder::AddUnit({m_sales, 10, QStringLiteral("第一課")});
    m_staff.clear();
    for (const char16_t *name : {u"山田", u"鈴木", u"佐藤", u"高橋"})
        m_staff << CRegisterBuilder::AddEmployee({int(m_staff.size()), m_sales, QString::fromUtf16(name)});
    m_panes = std::make_unique<SPanes>();
}

void TestEmployeeDrag::ShowSales(const QList<int> &rows)
{
    SelectPath(m_panes->tree, {m_company, m_sales});
    m_panes->list->SetViewStyle(CMorvekView::EViewStyle::report);
    m_panes->list->Arrange();
    for (int row : rows)
        m_panes->list->selectionModel()->select(m_panes->list->model()->index(row, 0), QItemSelectionModel::Select);
}

QPoint TestEmployeeDrag::RowPoint(int row) const
{
    const QRect rect = m_panes->list->visualRect(m_panes->list->model()->index(row, 0));
    return m_panes->InWindow(m_panes->list->viewport(), rect.topLeft() + QPoint(20, rect.height() / 2));
}

QPoint TestEmployeeDrag::ItemPoint(qint32 unitId) const
{
    const QRect rect = m_panes->tree->visualItemRect(ItemOf(m_panes->tree, unitId));
    return m_panes->InWindow(m_panes->tree->viewport(), rect.center());
}

void TestEmployeeDrag::Press(int row)
{
    QWindow *window = m_panes->window.windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, RowPoint(row));
    // The list decides on a drag at the first move and starts it past the drag distance.
    for (int step : {3, 30})
        QTest::mouseMove(window, RowPoint(row) + QPoint(step, 3));
}

void TestEmployeeDrag::Release(const QPoint &to)
{
    QTest::mouseMove(m_panes->window.windowHandle(), to);
    QTest::mouseRelease(m_panes->window.windowHandle(), Qt::LeftButton, {}, to);
    QVERIFY(!m_panes->list->GetDrag().IsDragging());
    QVERIFY(!m_panes->tree->GetDropHighlight());
}

QList<qint32> TestEmployeeDrag::Units() const
{
    QList<qint32> units;
    for (qint32 id : m_staff)
        units << BusyoOf(id);
    return units;
}

void TestEmployeeDrag::threeEmployeesOntoADepartment()
{
    ShowSales({0, 1, 2, 4});
    Press(2);
    QVERIFY(m_panes->list->GetDrag().IsDragging());
    Release(ItemPoint(m_general));
    QCOMPARE(Units(), QList<qint32>({m_general, m_general, m_sales, m_general}));
    QCOMPARE(CLeftView::UnitId(m_panes->tree->currentItem()), m_general);
    QCOMPARE(Column(m_panes->list), QStringList({"山田", "鈴木", "高橋"}));
}

void TestEmployeeDrag::dropTargets_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("toCompany");
    QTest::addColumn<QStringList>("listed");
    const QStringList unchanged = {"第一課", "山田", "鈴木", "佐藤", "高橋"};
    QTest::newRow("the company") << 3 << "company" << true << QStringList({"営業部", "総務部", "鈴木", "佐藤"});
    // The list is read again, so the rows are still there.
    QTest::newRow("the unit shown") << 3 << "sales" << false << unchanged;
    // Nobody moves, so the rows stay.
    QTest::newRow("the tree, below its items") << 3 << "tree" << false << unchanged;
    QTest::newRow("the list itself") << 3 << "list" << false << unchanged;
    // Units never move: a press on one starts no drag.
    QTest::newRow("started on a unit row") << 0 << "company" << false << unchanged;
}

void TestEmployeeDrag::dropTargets()
{
    QFETCH(int, from);
    QFETCH(QString, target);
    QFETCH(bool, toCompany);
    QFETCH(QStringList, listed);
    ShowSales({2, 3});
    const QWidget *tree = m_panes->tree->viewport();
    const QWidget *list = m_panes->list->viewport();
    const QPoint to = target == u"company" ? ItemPoint(m_company)
                    : target == u"sales"   ? ItemPoint(m_sales)
                    : target == u"tree"    ? m_panes->InWindow(tree, tree->rect().bottomLeft() + QPoint(10, -10))
                                           : m_panes->InWindow(list, list->rect().center());
    Press(from);
    QCOMPARE(m_panes->list->GetDrag().IsDragging(), from != 0);
    Release(to);
    const qint32 unit = toCompany ? m_company : m_sales;
    QCOMPARE(Units(), QList<qint32>({m_sales, unit, unit, m_sales}));
    QCOMPARE(Column(m_panes->list), listed);
    QCOMPARE(CLeftView::UnitId(m_panes->tree->currentItem()), unit);
}

void TestEmployeeDrag::highlightFollowsTheCursor()
{
    ShowSales({1});
    Press(1);
    QWindow *window = m_panes->window.windowHandle();
    for (qint32 unit : {m_general, m_company}) {
        QTest::mouseMove(window, ItemPoint(unit));
        QCOMPARE(CLeftView::UnitId(m_panes->tree->GetDropHighlight()), unit);
    }
    Release(RowPoint(3));
    QCOMPARE(Units(), QList<qint32>(4, m_sales));
}

void TestEmployeeDrag::pictureIsOpaque()
{
    ShowSales({});
    const QColor ground(250, 250, 240);
    const QImage picture =
        CEmployeeDrag::Picture(m_panes->list->model()->index(1, 0), QSize(32, 32), m_panes->list->font(), ground).toImage();
    // Where there is neither picture nor name, the ground shows, not a clear (black) hole.
    QCOMPARE(picture.pixelColor(picture.width() - 1, 0), ground);
    QCOMPARE(picture.pixelColor(0, picture.height() - 1).alpha(), 255);
}

QTEST_MAIN(TestEmployeeDrag)
#include "tst_employeedrag.moc"
