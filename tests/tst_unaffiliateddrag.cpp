// Dragging employees out of the window of those without a unit, with the mouse
// as a person moves it: onto a unit of the tree, into the employee list, or
// somewhere that takes nobody.
#include "views/unaffiliateddlg.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "views/draglistctrl.h"
#include "views/employeedrag.h"
#include "viewsfixture.h"

#include <QImage>
#include <QMessageBox>

class TestUnaffiliatedDrag : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void drop_data();
    void drop();
    void nobodyMovesWhenOneCannot_data();
    void nobodyMovesWhenOneCannot();
    void highlightFollowsTheCursor();
    void hiddenAndShownWithTheSameRows();

private:
    CDragListCtrl *Icons() const { return m_panes->list->GetUnaffiliatedWindow()->GetListCtrl(); }
    // On the screen: a row of a view's first column, or below the rows for -1.
    static QPoint RowPoint(const QAbstractItemView *view, int row);
    QPoint ItemPoint(qint32 unitId) const;
    QPoint Target(const QString &target) const;
    void Press(int row);
    void MoveTo(const QPoint &screenPoint);
    void Release(const QPoint &screenPoint);
    qint32 Unit(const QString &key) const;

    std::unique_ptr<CTempDatabase> m_db;
    std::unique_ptr<SPanes> m_panes;
    std::unique_ptr<QWidget> m_other;
    qint32 m_company = 0, m_sales = 0, m_general = 0;
    QList<qint32> m_staff; // 田中, 鈴木, 高橋: without a unit
};

void TestUnaffiliatedDrag::init()
{
    m_db = std::make_unique<CTempDatabase>();
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_sales = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("営業部")});
    m_general = CRegisterBuilder::AddUnit({m_company, 20, QStringLiteral("総務部")});
    CRegisterBuilder::AddEmployee({10, m_sales, QStringLiteral("山田")});
    CRegisterBuilder::AddEmployee({20, m_sales, QStringLiteral("佐藤")});
    m_staff = {CRegisterBuilder::AddEmployee({1, 0, QStringLiteral("田中")}),
               CRegisterBuilder::AddEmployee({.code = 2, .name = QStringLiteral("鈴木"), .female = true}),
               CRegisterBuilder::AddEmployee({3, 0, QStringLiteral("高橋")})};
    m_panes = std::make_unique<SPanes>();
    SelectPath(m_panes->tree, {m_company});
    m_panes->tree->currentItem()->setExpanded(true);
    m_panes->list->ShowUnitContents(m_sales);

    // The window over the right edge of the list, another one over its lower middle.
    CUnaffiliatedDlg *window = m_panes->list->GetUnaffiliatedWindow();
    m_panes->list->ShowUnaffiliatedWindow();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    const QRect frame = m_panes->window.geometry();
    window->move(frame.right() - window->width() - 10, frame.top() + 20);
    m_other = std::make_unique<QWidget>();
    m_other->setGeometry(frame.left() + 300, frame.bottom() - 120, 150, 100);
    m_other->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_other.get()));
    QCOMPARE(Column(window->GetModel()), QStringList({"田中", "鈴木", "高橋"}));
}

void TestUnaffiliatedDrag::cleanup()
{
    m_other.reset();
    m_panes.reset();
    m_db.reset();
}

QPoint TestUnaffiliatedDrag::RowPoint(const QAbstractItemView *view, int row)
{
    const QWidget *area = view->viewport();
    return area->mapToGlobal(row < 0 ? area->rect().bottomLeft() + QPoint(20, -20)
                                     : view->visualRect(view->model()->index(row, 0)).center());
}

QPoint TestUnaffiliatedDrag::ItemPoint(qint32 unitId) const
{
    const CLeftView *tree = m_panes->tree;
    return tree->viewport()->mapToGlobal(tree->visualItemRect(ItemOf(tree, unitId)).center());
}

QPoint TestUnaffiliatedDrag::Target(const QString &target) const
{
    if (target == u"general")
        return ItemPoint(m_general);
    if (target == u"tree below its items")
        return RowPoint(m_panes->tree, -1);
    if (target.startsWith(u"list row "))
        return RowPoint(m_panes->list, target.back().digitValue());
    if (target == u"list end")
        return RowPoint(m_panes->list, -1);
    if (target == u"window itself")
        return RowPoint(Icons(), -1);
    return m_other->mapToGlobal(m_other->rect().center());
}

// Real input reaches the window the button went down in; the grab decides the rest.
void TestUnaffiliatedDrag::Press(int row)
{
    QWindow *window = Icons()->window()->windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, window->mapFromGlobal(RowPoint(Icons(), row)));
    for (int step : {3, 30})
        MoveTo(RowPoint(Icons(), row) + QPoint(3, step));
    QVERIFY(Icons()->GetDrag().IsDragging());
}

void TestUnaffiliatedDrag::MoveTo(const QPoint &screenPoint)
{
    QWindow *window = Icons()->window()->windowHandle();
    QTest::mouseMove(window, window->mapFromGlobal(screenPoint));
}

void TestUnaffiliatedDrag::Release(const QPoint &screenPoint)
{
    MoveTo(screenPoint);
    QWindow *window = Icons()->window()->windowHandle();
    QTest::mouseRelease(window, Qt::LeftButton, {}, window->mapFromGlobal(screenPoint));
    QVERIFY(!Icons()->GetDrag().IsDragging());
    QVERIFY(!m_panes->tree->GetDropHighlight());
    QCOMPARE(m_panes->list->GetDropHighlight(), -1);
}

qint32 TestUnaffiliatedDrag::Unit(const QString &key) const
{
    return key == u"general" ? m_general : key == u"sales" ? m_sales : 0;
}

void TestUnaffiliatedDrag::drop_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("topLevelShown"); // the list shows unit 0, as after a double-click on nothing
    QTest::addColumn<QString>("unit");       // where 田中 and 高橋 end up; 鈴木 stays without
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("kinds");
    const QStringList all = {"田中", "鈴木", "高橋"};
    const QStringList sales = {"山田", "佐藤"};
    QTest::newRow("a department") << "general" << false << "general" << QStringList({"田中", "高橋"})
                                  << QStringList({"社員", "社員"});
    // In selection order before the highlighted row; their kind is read with the list.
    QTest::newRow("a row of the list") << "list row 1" << false << "sales" << QStringList({"山田", "田中", "高橋", "佐藤"})
                                       << QStringList({"社員", "", "", "社員"});
    QTest::newRow("the list below its rows")
        << "list end" << false << "sales" << QStringList({"山田", "佐藤", "田中", "高橋"})
        << QStringList({"社員", "社員", "", ""});
    // Nobody moves in the cases below, so every icon stays.
    QTest::newRow("the list showing no unit") << "list row 1" << true << "" << QStringList({"本社", "田中", "鈴木", "高橋"})
                                              << QStringList({"部課", "社員", "社員", "社員"});
    QTest::newRow("the tree below its items")
        << "tree below its items" << false << "" << sales << QStringList({"社員", "社員"});
    QTest::newRow("the window itself") << "window itself" << false << "" << sales << QStringList({"社員", "社員"});
    QTest::newRow("another window") << "other" << false << "" << sales << QStringList({"社員", "社員"});
}

void TestUnaffiliatedDrag::drop()
{
    QFETCH(QString, target);
    QFETCH(bool, topLevelShown);
    QFETCH(QString, unit);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, kinds);
    if (topLevelShown)
        m_panes->list->ShowUnitContents(0);
    for (int row : {0, 2})
        Icons()->selectionModel()->select(Icons()->model()->index(row, 0), QItemSelectionModel::Select);
    Press(2);
    Release(Target(target));

    const qint32 to = Unit(unit);
    QCOMPARE(QList<qint32>({BusyoOf(m_staff[0]), BusyoOf(m_staff[1]), BusyoOf(m_staff[2])}), QList<qint32>({to, 0, to}));
    QCOMPARE(Column(Icons()->model()), to ? QStringList({"鈴木"}) : QStringList({"田中", "鈴木", "高橋"}));
    QCOMPARE(Column(m_panes->list), listed);
    QCOMPARE(Column(m_panes->list->model(), 1), kinds);
    // The tree selects the unit dropped on; a drop on the list leaves it be.
    const bool onTree = target == u"general";
    QCOMPARE(CLeftView::UnitId(m_panes->tree->currentItem()), onTree ? to : m_company);
    QCOMPARE(m_panes->list->GetCurrentUnit(), onTree ? to : topLevelShown ? 0 : m_sales);
}

void TestUnaffiliatedDrag::nobodyMovesWhenOneCannot_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("cause");
    QTest::addColumn<QStringList>("listed");
    const QStringList sales = {"山田", "佐藤"};
    QTest::newRow("tree: the second write fails") << "general"
                                                  << "fails" << sales;
    QTest::newRow("list: the second write fails") << "list row 1"
                                                  << "fails" << sales;
    QTest::newRow("tree: the unit is gone") << "general"
                                            << "gone" << sales;
    QTest::newRow("list: its unit is gone") << "list row 1"
                                            << "gone" << QStringList();
}

// 田中 and 高橋 dropped together: when 高橋 cannot move, 田中 does not either.
void TestUnaffiliatedDrag::nobodyMovesWhenOneCannot()
{
    QFETCH(QString, target);
    QFETCH(QString, cause);
    QFETCH(QStringList, listed);
    const bool onTree = target == u"general";
    {
        CDaoDatabase other;
        other.Open(m_db->Path());
        if (cause == u"fails")
            other.Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Mast01 WHEN OLD.ID = %1 "
                                         "BEGIN SELECT RAISE(ABORT, 'x'); END")
                              .arg(m_staff[2]));
        else
            other.ExecuteAll({QStringLiteral("DELETE FROM Mast00 WHERE ID = %1").arg(onTree ? m_general : m_sales)});
    }
    CDialogAnswers answers([](QDialog &) { return int(QMessageBox::Ok); });
    for (int row : {0, 2})
        Icons()->selectionModel()->select(Icons()->model()->index(row, 0), QItemSelectionModel::Select);
    Press(2);
    if (cause == u"fails") {
        QVERIFY_THROWS_EXCEPTION(CDaoException, Release(Target(target)));
        QVERIFY(answers.Texts().isEmpty());
    } else {
        Release(Target(target));
        QCOMPARE(answers.Texts(), QStringList{QStringLiteral("この部課は他のユーザーが削除しました。")});
    }
    QCOMPARE(QList<qint32>({BusyoOf(m_staff[0]), BusyoOf(m_staff[1]), BusyoOf(m_staff[2])}), QList<qint32>({0, 0, 0}));
    QCOMPARE(Column(Icons()->model()), QStringList({"田中", "鈴木", "高橋"}));
    QCOMPARE(Column(m_panes->list), listed);
    if (cause == u"gone" && onTree)
        QTRY_VERIFY(!ItemOf(m_panes->tree, m_general));
}

void TestUnaffiliatedDrag::highlightFollowsTheCursor()
{
    Icons()->selectionModel()->select(Icons()->model()->index(1, 0), QItemSelectionModel::Select);
    Press(1);
    const QImage plain = m_panes->list->viewport()->grab().toImage();
    for (qint32 unit : {m_general, m_company}) {
        MoveTo(ItemPoint(unit));
        QCOMPARE(CLeftView::UnitId(m_panes->tree->GetDropHighlight()), unit);
        QCOMPARE(m_panes->list->GetDropHighlight(), -1);
    }
    for (int row : {1, 0}) {
        MoveTo(RowPoint(m_panes->list, row));
        QVERIFY(!m_panes->tree->GetDropHighlight());
        QCOMPARE(m_panes->list->GetDropHighlight(), row);
    }
    // The highlighted row is drawn as one, not only noted.
    QVERIFY(m_panes->list->viewport()->grab().toImage() != plain);
    // Leaving the list for another window takes the highlight away.
    MoveTo(Target(QStringLiteral("other")));
    QCOMPARE(m_panes->list->GetDropHighlight(), -1);
    QCOMPARE(m_panes->list->viewport()->grab().toImage(), plain);
    Release(Target(QStringLiteral("window itself")));
    QCOMPARE(Column(Icons()->model()), QStringList({"田中", "鈴木", "高橋"}));
}

void TestUnaffiliatedDrag::hiddenAndShownWithTheSameRows()
{
    CUnaffiliatedDlg *window = m_panes->list->GetUnaffiliatedWindow();
    window->GetModel()->RemoveRow(0);
    // The list fills the window at any size.
    for (const QSize size : {QSize(300, 200), QSize(120, 400)}) {
        window->resize(size);
        QTRY_COMPARE(Icons()->geometry(), window->rect());
    }
    CRegisterBuilder::AddEmployee({4, 0, QStringLiteral("伊藤")});
    window->close();
    QVERIFY(window->isHidden());
    m_panes->list->ShowUnaffiliatedWindow();
    QVERIFY(window->isVisible());
    // Not read again: the icons are those it had.
    QCOMPARE(Column(window->GetModel()), QStringList({"鈴木", "高橋"}));
}

QTEST_MAIN(TestUnaffiliatedDrag)
#include "tst_unaffiliateddrag.moc"
