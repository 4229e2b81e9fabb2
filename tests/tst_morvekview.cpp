// The list of one unit: its rows and their kinds, the report columns,
// double-clicks, the Delete key, the unit a drop on the list goes to.
#include "base/modalseam.h"
#include "register/units.h"
#include "employee/employeeviewdlg.h"
#include "views/unaffiliateddlg.h"
#include "views/listcolumns.h"
#include "views/rowdelegate.h"
#include "viewsfixture.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QMenu>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QScopeGuard>

namespace {
// The header texts of the columns shown, left to right.
QStringList ShownHeaders(const QHeaderView *header)
{
    QStringList texts;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column))
            texts << header->model()->headerData(column, Qt::Horizontal).toString();
    }
    return texts;
}

// What a row shows in the columns shown, left to right.
QStringList Cells(const CMorvekView *list, int row)
{
    QStringList texts;
    const QHeaderView *header = list->GetHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int column = header->logicalIndex(visual);
        if (!header->isSectionHidden(column))
            texts << list->model()->index(row, column).data().toString();
    }
    return texts;
}
} // namespace

class TestMorvekView : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void unitsThenEmployeesInCodeOrder();
    void reportColumns();
    void clickSortsAgainReverses();
    void doubleClick_data();
    void doubleClick();
    void deleteKeyReleasesSelectedEmployeesOnly_data();
    void deleteKeyReleasesSelectedEmployeesOnly();
    void assignGoesToTheUnitShown();
    void unitDeletedElsewhere_data();
    void unitDeletedElsewhere();
    void longNamesCutAtTheLastWholeLine_data();
    void longNamesCutAtTheLastWholeLine();
    void anotherUnitFromTheTop();
    void viewTitleJoinsThePath();

private:
    std::unique_ptr<CTempDatabase> m_db;
    qint32 m_dept = 0, m_sub1 = 0;
};

void TestMorvekView::init()
{
    MORVEK_REQUIRE_BACKEND();
    m_db = std::make_unique<CTempDatabase>();
    const qint32 company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_dept = CRegisterBuilder::AddUnit({company, 10, QStringLiteral("営業部")});
    CRegisterBuilder::AddUnit({m_dept, 20, QStringLiteral("第二課")});
    m_sub1 = CRegisterBuilder::AddUnit({m_dept, 10, QStringLiteral("第一課")});
    CRegisterBuilder::AddEmployee(
        {.code = 30, .busyo = m_dept, .name = QStringLiteral("佐藤"), .kana = QStringLiteral("ｻﾄｳ")});
    CRegisterBuilder::AddEmployee({.code = 10,
                                   .busyo = m_dept,
                                   .name = QStringLiteral("山田"),
                                   .kana = QStringLiteral("ﾔﾏﾀﾞ"),
                                   .joined = CDateValue(1998, 4, 1),
                                   .tel = QStringLiteral("03-1111")});
    CRegisterBuilder::AddEmployee(
        {.code = 20, .busyo = m_dept, .name = QStringLiteral("鈴木"), .female = true, .kana = QStringLiteral("ｽｽﾞｷ")});
    CRegisterBuilder::AddEmployee({40, m_sub1, QStringLiteral("高橋")});
    CRegisterBuilder::AddEmployee({50, 0, QStringLiteral("田中")});
}

void TestMorvekView::unitsThenEmployeesInCodeOrder()
{
    SPanes panes;
    QAbstractItemModelTester tester(panes.list->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
    QCOMPARE(panes.list->GetCurrentUnit(), 0);
    panes.list->ShowUnitContents(m_dept);
    const QAbstractItemModel *rows = panes.list->model();
    QCOMPARE(Column(rows), QStringList({"第一課", "第二課", "山田", "鈴木", "佐藤"}));
    QCOMPARE(Column(rows, 1), QStringList({"部課", "部課", "社員", "社員", "社員"}));
    QCOMPARE(Column(rows, 0, CUnitContentsModel::ImageRole), QStringList({"1", "1", "2", "3", "2"}));
    QCOMPARE(rows->index(0, 0).data(CUnitContentsModel::IdRole).toInt(), m_sub1);
    QCOMPARE(panes.list->GetCurrentUnit(), m_dept);
    // What the tree's add command and the drops do to the rows, under the tester's eye.
    panes.list->AddUnitRow(CUnits::Children(m_dept).first());
    panes.list->GetModel()->Insert(1, CUnitContentsModel::EmployeeRow(99, false, QStringLiteral("伊藤")));
    panes.list->GetModel()->RemoveRow(0);
    panes.list->ClearContents();
    QCOMPARE(rows->rowCount(), 0);
}

void TestMorvekView::reportColumns()
{
    SPanes panes;
    CMorvekView *list = panes.list;
    QVERIFY(list->GetHeader()->isHidden());
    list->SetViewStyle(CMorvekView::EViewStyle::report);
    QHeaderView *header = list->GetHeader();
    QCOMPARE(ShownHeaders(header), QStringList({"社員コード", "氏名", "ふりがな", "性別", "所属", "入社年月日", "TEL"}));
    QVERIFY(header->isVisible() && header->geometry().bottom() < list->viewport()->geometry().top());
    list->ShowUnitContents(m_dept);
    QCOMPARE(Cells(list, 2), QStringList({"10", "山田", "ﾔﾏﾀﾞ", "男", "本社/営業部", "平成10.04.01", "03-1111"}));
    QCOMPARE(Cells(list, 0), QStringList({"", "第一課", "", "", "", "", ""}));
    // A row spans the columns shown and follows them when they widen.
    header->resizeSection(CUnitContentsModel::telColumn, header->sectionSize(CUnitContentsModel::telColumn) + 50);
    list->Arrange();
    QCOMPARE(list->visualRect(list->model()->index(0, 0)).width(), header->length());
    // Chosen from the header's menu; the name cannot be left out.
    std::unique_ptr<QMenu> menu(list->GetColumns()->CreateMenu(list));
    for (QAction *action : menu->actions()) {
        if (action->text() == u"所属" || action->text() == u"区分" || action->text() == u"氏名")
            action->trigger();
    }
    QCOMPARE(ShownHeaders(header), QStringList({"社員コード", "氏名", "ふりがな", "性別", "入社年月日", "TEL", "区分"}));
}

void TestMorvekView::clickSortsAgainReverses()
{
    CRegisterBuilder::AddEmployee(
        {.code = 5, .busyo = m_dept, .name = QStringLiteral("山田"), .kana = QStringLiteral("やまだ")});
    SPanes panes;
    CMorvekView *list = panes.list;
    list->SetViewStyle(CMorvekView::EViewStyle::report);
    list->ShowUnitContents(m_dept);
    QHeaderView *header = list->GetHeader();
    const auto click = [header](int column) {
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    };
    QCOMPARE(Column(list), QStringList({"第一課", "第二課", "山田", "山田", "鈴木", "佐藤"}));
    click(CUnitContentsModel::kanaColumn);
    // サトウ, スズキ, ヤマダ twice however typed: the two in code order.
    QCOMPARE(Column(list->model(), CUnitContentsModel::kanaColumn), QStringList({"", "", "ｻﾄｳ", "ｽｽﾞｷ", "やまだ", "ﾔﾏﾀﾞ"}));
    click(CUnitContentsModel::kanaColumn);
    QCOMPARE(Column(list->model(), CUnitContentsModel::kanaColumn), QStringList({"", "", "やまだ", "ﾔﾏﾀﾞ", "ｽｽﾞｷ", "ｻﾄｳ"}));
    QCOMPARE(header->sortIndicatorOrder(), Qt::DescendingOrder);
    // Another unit arrives in the same order.
    list->ShowUnitContents(0);
    list->ShowUnitContents(m_dept);
    QCOMPARE(Column(list->model(), CUnitContentsModel::kanaColumn), QStringList({"", "", "やまだ", "ﾔﾏﾀﾞ", "ｽｽﾞｷ", "ｻﾄｳ"}));
}

void TestMorvekView::doubleClick_data()
{
    QTest::addColumn<int>("row"); // -1: the empty area
    QTest::addColumn<QStringList>("listed");
    QTest::addColumn<QStringList>("opened"); // title and name of the view form, if one opens
    QTest::newRow("unit row") << 0 << QStringList({"高橋"}) << QStringList();
    // 佐藤's ID is also the company's: read as a unit row, the list would show 営業部.
    QTest::newRow("employee row") << 4 << QStringList({"第一課", "第二課", "山田", "鈴木", "佐藤"})
                                  << QStringList({"営業部", "佐藤"});
    QTest::newRow("empty area: companies, then nobody's employees") << -1 << QStringList({"本社", "田中"}) << QStringList();
}

void TestMorvekView::doubleClick()
{
    QFETCH(int, row);
    QFETCH(QStringList, listed);
    QFETCH(QStringList, opened);
    QStringList seen;
    CModalSeam::SetResponder([&seen](QDialog &dialog) {
        dialog.show();
        auto *view = qobject_cast<CEmployeeViewDlg *>(&dialog);
        seen << dialog.windowTitle() << (view ? view->Control(CEmployeeViewDlg::IDC_NAME)->text() : QString());
        dialog.reject();
        return int(QDialog::Rejected);
    });
    const auto answered = qScopeGuard([] { CModalSeam::SetResponder({}); });
    SPanes panes;
    const qint32 company = CLeftView::UnitId(panes.tree->topLevelItem(0));
    SelectPath(panes.tree, {company, m_dept});
    CMorvekView *list = panes.list;
    list->SetViewStyle(CMorvekView::EViewStyle::report);
    list->Arrange();
    const QPoint point = row >= 0 ? list->visualRect(list->model()->index(row, 0)).center()
                                  : list->viewport()->rect().bottomRight() - QPoint(5, 5);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, point);
    QCOMPARE(seen, opened);
    QCOMPARE(Column(list), listed);
    QCOMPARE(list->GetCurrentUnit(), row == 0 ? m_sub1 : row == -1 ? 0 : m_dept);
    QCOMPARE(CLeftView::UnitId(panes.tree->currentItem()), m_dept);
}

void TestMorvekView::deleteKeyReleasesSelectedEmployeesOnly_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("yes") << int(QMessageBox::Yes);
    QTest::newRow("no") << int(QMessageBox::No);
}

// More than one employee is released only after a question whose default is いいえ.
void TestMorvekView::deleteKeyReleasesSelectedEmployeesOnly()
{
    QFETCH(int, answer);
    QStringList asked;
    CDialogAnswers answers([&](QDialog &dialog) {
        auto &box = dynamic_cast<QMessageBox &>(dialog);
        asked << QStringLiteral("%1 %2 %3").arg(box.windowTitle(), box.defaultButton()->text()).arg(box.icon());
        return answer;
    });
    SPanes panes;
    CMorvekView *list = panes.list;
    list->ShowUnitContents(m_dept);
    const QList<qint32> ids = {list->model()->index(2, 0).data(CUnitContentsModel::IdRole).toInt(),
                               list->model()->index(4, 0).data(CUnitContentsModel::IdRole).toInt()};
    for (int row : {1, 2, 4})
        list->selectionModel()->select(list->model()->index(row, 0), QItemSelectionModel::Select);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("選択した 2 人の所属を解除しますか？")});
    QMessageBox probe(QMessageBox::Information, {}, {}, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(
        asked,
        QStringList{QStringLiteral("確認 %1 %2").arg(probe.button(QMessageBox::No)->text()).arg(QMessageBox::Information)});
    if (answer == QMessageBox::No) {
        QCOMPARE(list->model()->rowCount(), 5);
        QCOMPARE(QList<qint32>({BusyoOf(ids[0]), BusyoOf(ids[1])}), QList<qint32>({m_dept, m_dept}));
        return;
    }
    QCOMPARE(Column(list), QStringList({"第一課", "第二課", "鈴木"}));
    QCOMPARE(QList<qint32>({BusyoOf(ids[0]), BusyoOf(ids[1])}), QList<qint32>({0, 0}));
    QCOMPARE(Column(list->GetUnaffiliatedWindow()->GetModel()), QStringList({"山田", "佐藤", "田中"}));
    // One employee goes at once, without a question.
    list->clearSelection();
    list->selectionModel()->select(list->model()->index(2, 0), QItemSelectionModel::Select);
    QTest::keyClick(list, Qt::Key_Delete);
    QCOMPARE(answers.Texts().size(), 1);
    QCOMPARE(Column(list), QStringList({"第一課", "第二課"}));
    // Enter opens nothing and removes nothing.
    list->selectAll();
    QTest::keyClick(list, Qt::Key_Return);
    QCOMPARE(list->model()->rowCount(), 2);
}

void TestMorvekView::assignGoesToTheUnitShown()
{
    SPanes panes;
    const qint32 ito = CRegisterBuilder::AddEmployee({60, m_dept, QStringLiteral("伊藤")});
    // Nothing shown yet: the employee ends up without a unit, not in a stray one.
    panes.list->AssignEmployeeToCurrentUnit(ito);
    QCOMPARE(BusyoOf(ito), 0);
    panes.list->ShowUnitContents(m_sub1);
    panes.list->AssignEmployeeToCurrentUnit(ito);
    QCOMPARE(BusyoOf(ito), m_sub1);
    QCOMPARE(Column(panes.list), QStringList({"高橋"}));
}

void TestMorvekView::unitDeletedElsewhere_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("double-click on its row") << "double-click";
    QTest::newRow("employee put into it while shown") << "assign";
}

// Another user deleted 第一課: the list says so, does not show it and puts nobody in it.
void TestMorvekView::unitDeletedElsewhere()
{
    QFETCH(QString, action);
    SPanes panes;
    CMorvekView *list = panes.list;
    const qint32 ito = CRegisterBuilder::AddEmployee({60, m_dept, QStringLiteral("伊藤")});
    list->ShowUnitContents(action == u"assign" ? m_sub1 : m_dept);
    list->SetViewStyle(CMorvekView::EViewStyle::report);
    list->Arrange();
    ExecuteElsewhere(m_db->Path(), {QStringLiteral("DELETE FROM Mast00 WHERE ID = %1").arg(m_sub1)});
    CDialogAnswers answers([](QDialog &) { return int(QMessageBox::Ok); });
    if (action == u"assign") {
        QVERIFY(!list->AssignEmployeeToCurrentUnit(ito));
        QCOMPARE(Column(list), QStringList());
        QCOMPARE(list->GetCurrentUnit(), 0);
    } else {
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
        QCOMPARE(Column(list), QStringList({"第二課", "山田", "鈴木", "佐藤", "伊藤"}));
        QCOMPARE(list->GetCurrentUnit(), m_dept);
    }
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("この部課は他のユーザーが削除しました。")});
    QCOMPARE(BusyoOf(ito), m_dept);
}

void TestMorvekView::longNamesCutAtTheLastWholeLine_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lines"); // lines of caption the cell has room for
    QTest::addColumn<int>("shown"); // lines drawn
    QTest::addColumn<bool>("cut");
    QTest::newRow("short") << "山田" << 2 << 1 << false;
    QTest::newRow("kanji, no spaces") << "寿限無寿限無五劫の擦り切れ海砂利水魚の水行末雲来末風来末" << 2 << 2 << true;
    QTest::newRow("words") << "Alexander Maximilian Fitzgerald-Worthington" << 2 << 2 << true;
    QTest::newRow("one line of room") << "寿限無寿限無五劫の擦り切れ海砂利水魚" << 1 << 1 << true;
    QTest::newRow("no room") << "山田" << 0 << 0 << true;
}

void TestMorvekView::longNamesCutAtTheLastWholeLine()
{
    QFETCH(QString, name);
    QFETCH(int, lines);
    QFETCH(int, shown);
    QFETCH(bool, cut);
    const QFont font = QApplication::font();
    const QFontMetrics metrics(font);
    // Room for the whole lines and most of one more, which must stay empty.
    const QSize room(metrics.averageCharWidth() * 12, metrics.lineSpacing() * lines + metrics.height() * 3 / 4);
    const QString text = CRowDelegate::WholeLines(name, font, room);
    const QStringList drawn = text.isEmpty() ? QStringList() : text.split(u'\n');
    QCOMPARE(drawn.size(), shown);
    for (const QString &line : drawn)
        QVERIFY2(metrics.horizontalAdvance(line) <= room.width(), qPrintable(line));
    QCOMPARE(text.endsWith(QChar(0x2026)), cut && shown > 0);
    QString kept = drawn.join(QString()).remove(QChar(0x2026));
    QVERIFY2(QString(name).remove(u' ').startsWith(kept.remove(u' ')), qPrintable(text));
}

void TestMorvekView::anotherUnitFromTheTop()
{
    QList<CRegisterBuilder::SEmployeeRow> crowd;
    for (qint32 code = 100; code < 400; ++code)
        crowd << CRegisterBuilder::Numbered(code, code < 250 ? m_dept : m_sub1);
    CRegisterBuilder::AddEmployees(crowd);
    SPanes panes;
    CMorvekView *list = panes.list;
    list->ShowUnitContents(m_dept);
    list->Arrange();
    list->scrollToBottom();
    QVERIFY(list->verticalScrollBar()->value() > 0);
    list->ShowUnitContents(m_sub1);
    list->Arrange();
    QCOMPARE(list->verticalScrollBar()->value(), 0);
}

// The view form's title names the path with " / ", not with line feeds.
void TestMorvekView::viewTitleJoinsThePath()
{
    CRegisterBuilder::AddEmployee({70, m_sub1, QStringLiteral("伊藤")});
    QString title;
    CDialogAnswers answers([&title](QDialog &dialog) {
        dialog.show();
        title = dialog.windowTitle();
        return int(QDialog::Rejected);
    });
    SPanes panes;
    CMorvekView *list = panes.list;
    list->ShowUnitContents(m_sub1);
    list->SetViewStyle(CMorvekView::EViewStyle::report);
    list->Arrange();
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
    QCOMPARE(title, QStringLiteral("営業部 / 第一課"));
}

QTEST_MAIN(TestMorvekView)
#include "tst_morvekview.moc"
