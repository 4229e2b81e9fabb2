// The window of employees without a unit after each change the views make:
// it lists exactly the employees the database holds without a unit.
#include "views/unaffiliateddlg.h"
#include "rawconnection.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "views/employeedrag.h"
#include "viewsfixture.h"

#include "views/rowimages.h"

#include <QFile>
#include <QFontMetrics>
#include <QStyle>
#include <QMenu>
#include <QMessageBox>
#include <algorithm>

class TestUnaffiliated : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowMirrorsDatabase_data();
    void windowMirrorsDatabase();
    void failedReleaseAddsNothing();
    void failedDropLeavesNoHighlight();
    void failedDropOfSeveralMovesNobody();
    void opensWideEnough();

private:
    QList<qint32> WindowIds() const;
    QList<qint32> DatabaseIds() const;
    void ShowInList(qint32 unitId, const QStringList &selected);
    void Drag(const QString &name, qint32 unitId);

    std::unique_ptr<CTempDatabase> m_db;
    std::unique_ptr<SPanes> m_panes;
    qint32 m_company = 0, m_sales = 0, m_general = 0;
};

void TestUnaffiliated::init()
{
    CDaoDatabase::SetBusyTimeout(100);
    m_db = std::make_unique<CTempDatabase>();
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_sales = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("営業部")});
    m_general = CRegisterBuilder::AddUnit({m_company, 20, QStringLiteral("総務部")});
    CRegisterBuilder::AddEmployee({1, m_sales, QStringLiteral("山田")});
    CRegisterBuilder::AddEmployee({2, m_general, QStringLiteral("鈴木")});
    CRegisterBuilder::AddEmployee({3, 0, QStringLiteral("田中")});
    // Its unit went with an earlier version of the program.
    CRegisterBuilder::AddEmployee({4, 999, QStringLiteral("迷子")});
    m_panes = std::make_unique<SPanes>();
    // The departments' items exist from here on.
    SelectPath(m_panes->tree, {m_company});
    m_panes->tree->currentItem()->setExpanded(true);
    // Filled as when first shown; from here on each change must keep it right.
    m_panes->list->EnsureUnaffiliatedFilled();
}

void TestUnaffiliated::cleanup()
{
    m_panes.reset();
    QFile(m_db->Path()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    m_db.reset();
}

QList<qint32> TestUnaffiliated::WindowIds() const
{
    QList<qint32> ids;
    const CUnitContentsModel *rows = m_panes->list->GetUnaffiliatedWindow()->GetModel();
    for (int row = 0; row < rows->rowCount(); ++row)
        ids << rows->Row(row).nId;
    std::sort(ids.begin(), ids.end());
    return ids;
}

QList<qint32> TestUnaffiliated::DatabaseIds() const
{
    CRawConnection raw(m_db->Path());
    QList<qint32> ids;
    for (const QString &id : raw.Column(QStringLiteral("SELECT ID FROM Mast01 WHERE Busyo = 0 OR Busyo IS NULL "
                                                       "OR Busyo NOT IN (SELECT ID FROM Mast00) ORDER BY ID")))
        ids << id.toInt();
    return ids;
}

void TestUnaffiliated::ShowInList(qint32 unitId, const QStringList &selected)
{
    CMorvekView *list = m_panes->list;
    list->ShowUnitContents(unitId);
    list->SetViewStyle(CMorvekView::EViewStyle::report);
    list->Arrange();
    const QStringList names = Column(list);
    for (const QString &name : selected)
        list->selectionModel()->select(list->model()->index(int(names.indexOf(name)), 0), QItemSelectionModel::Select);
}

// Drags the list's row of that name onto the unit's item in the tree, as a person does.
void TestUnaffiliated::Drag(const QString &name, qint32 unitId)
{
    CMorvekView *list = m_panes->list;
    const QRect rect = list->visualRect(list->model()->index(int(Column(list).indexOf(name)), 0));
    const QPoint from = m_panes->InWindow(list->viewport(), rect.topLeft() + QPoint(20, rect.height() / 2));
    const QPoint to = m_panes->InWindow(m_panes->tree->viewport(),
                                        m_panes->tree->visualItemRect(ItemOf(m_panes->tree, unitId)).center());
    QWindow *window = m_panes->window.windowHandle();
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    for (int step : {3, 30})
        QTest::mouseMove(window, from + QPoint(step, 3));
    QVERIFY(list->GetDrag().IsDragging());
    QTest::mouseMove(window, to);
    QTest::mouseRelease(window, Qt::LeftButton, {}, to);
}

void TestUnaffiliated::windowMirrorsDatabase_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QStringList>("window");
    QTest::newRow("as filled") << "none" << QStringList{"田中", "迷子"};
    QTest::newRow("Delete on those already without a unit") << "delete top" << QStringList{"田中", "迷子"};
    QTest::newRow("Delete in a unit") << "delete" << QStringList{"山田", "田中", "迷子"};
    QTest::newRow("Shift+Delete in a unit") << "shift+delete" << QStringList{"山田", "田中", "迷子"};
    QTest::newRow("Ctrl+Delete in a unit") << "ctrl+delete" << QStringList{"山田", "田中", "迷子"};
    QTest::newRow("dragged from the top level onto a unit") << "drag top" << QStringList{"迷子"};
    QTest::newRow("department deleted") << "delete department" << QStringList{"鈴木", "田中", "迷子"};
}

void TestUnaffiliated::windowMirrorsDatabase()
{
    QFETCH(QString, action);
    QFETCH(QStringList, window);
    CMorvekView *list = m_panes->list;
    if (action == u"delete top") {
        ShowInList(0, {"田中", "迷子"});
        QTest::keyClick(list, Qt::Key_Delete);
        // Still without a unit, so still listed at the top level.
        QCOMPARE(Column(list), QStringList({"本社", "田中", "迷子"}));
    } else if (action.endsWith(u"delete")) {
        ShowInList(m_sales, {"山田"});
        const Qt::KeyboardModifiers modifiers = action.startsWith(u"shift") ? Qt::ShiftModifier
                                              : action.startsWith(u"ctrl")  ? Qt::ControlModifier
                                                                            : Qt::NoModifier;
        QTest::keyClick(list, Qt::Key_Delete, modifiers);
        QCOMPARE(Column(list), QStringList());
    } else if (action == u"drag top") {
        ShowInList(0, {"田中"});
        Drag(QStringLiteral("田中"), m_sales);
        QCOMPARE(Column(list), QStringList({"山田", "田中"}));
    } else if (action == u"delete department") {
        SelectPath(m_panes->tree, {m_company, m_general});
        CDialogAnswers answers([](QDialog &) { return QMessageBox::Ok; });
        std::unique_ptr<QMenu> menu(m_panes->tree->CreateContextMenu(m_panes->tree));
        menu->actions().at(2)->trigger();
    }
    QCOMPARE(Column(list->GetUnaffiliatedWindow()->GetModel()), window);
    QCOMPARE(WindowIds(), DatabaseIds());
}

void TestUnaffiliated::failedReleaseAddsNothing()
{
    ShowInList(m_sales, {"山田"});
    QFile file(m_db->Path());
    QVERIFY(file.setPermissions(QFile::ReadOwner));
    QVERIFY_THROWS_EXCEPTION(CDaoException, QTest::keyClick(m_panes->list, Qt::Key_Delete));
    QCOMPARE(Column(m_panes->list), QStringList({"山田"}));
    QCOMPARE(WindowIds(), DatabaseIds());
}

void TestUnaffiliated::failedDropLeavesNoHighlight()
{
    CDaoDatabase db;
    db.Open(m_db->Path());
    db.Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Mast01 BEGIN SELECT RAISE(ABORT, 'x'); END"));
    db.Close();
    ShowInList(0, {"田中"});
    QVERIFY_THROWS_EXCEPTION(CDaoException, Drag(QStringLiteral("田中"), m_sales));
    QVERIFY(!m_panes->tree->GetDropHighlight());
    QVERIFY(!m_panes->list->GetDrag().IsDragging());
    QCOMPARE(WindowIds(), DatabaseIds());
}

// The second of two employees cannot move: the first stays where it was too.
void TestUnaffiliated::failedDropOfSeveralMovesNobody()
{
    CDaoDatabase db;
    db.Open(m_db->Path());
    db.Execute(QStringLiteral("CREATE TRIGGER refuse BEFORE UPDATE ON Mast01 WHEN OLD.Code = 4 "
                              "BEGIN SELECT RAISE(ABORT, 'x'); END"));
    db.Close();
    ShowInList(0, {"田中", "迷子"});
    QVERIFY_THROWS_EXCEPTION(CDaoException, Drag(QStringLiteral("田中"), m_sales));
    {
        CRawConnection raw(m_db->Path());
        QCOMPARE(raw.Column(QStringLiteral("SELECT Busyo FROM Mast01 WHERE Code IN (3, 4) ORDER BY Code")),
                 QStringList({"0", "999"}));
    }
    QCOMPARE(Column(m_panes->list), QStringList({"本社", "田中", "迷子"}));
    QCOMPARE(WindowIds(), DatabaseIds());
}

// Its names stand in a column with the scroll bar beside them, and its title is not cut.
void TestUnaffiliated::opensWideEnough()
{
    CUnaffiliatedDlg *window = m_panes->list->GetUnaffiliatedWindow();
    const int names = CRowImages::IconCell(window->font()).width()
                    + window->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    QVERIFY2(window->width() > names, qPrintable(QString::number(window->width())));
    QVERIFY(window->width() > QFontMetrics(window->font()).horizontalAdvance(window->windowTitle()) + 64);
}

QTEST_MAIN(TestUnaffiliated)
#include "tst_unaffiliated.moc"
