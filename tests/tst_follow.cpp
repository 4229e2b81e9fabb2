// Open windows follow what another window, program or user writes: the tree,
// the list of the unit shown, the window of employees without a unit and the
// employee forms, keeping the user's selection, scrolling and typing.
#include "employee/employeeform.h"
#include "employee/employeeviewdlg.h"
#include "formtestsupport.h"
#include "forms/eradateedit.h"
#include "register/employeeeditor.h"
#include "register/employees.h"
#include "register/register.h"
#include "register/registerchanges.h"
#include "register/uniteditor.h"
#include "register/units.h"
#include "store/daoexception.h"
#include "views/unaffiliateddlg.h"
#include "viewsfixture.h"

#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>
#include <QSignalSpy>

namespace {
using EKind = SRegisterChange::EKind;

const QString kChanged = QStringLiteral("この社員は他の場所で変更されました。");
const QString kDeleted = QStringLiteral("この社員は他の場所で削除されました。");

// Names a list shows, without the numbered employees that only make it scroll.
QStringList Named(const QAbstractItemModel *model)
{
    QStringList names;
    for (const QString &name : Column(model)) {
        if (!name.startsWith(QStringLiteral("社員")))
            names << name;
    }
    return names;
}

QStringList SelectedNames(const QAbstractItemView *view)
{
    QStringList names;
    for (const QModelIndex &index : view->selectionModel()->selectedIndexes())
        names << index.data().toString();
    return names;
}

// What the watcher of another program's writes delivers.
void TellFromElsewhere(EKind kind, const QList<qint32> &ids, qint32 unit = 0)
{
    SRegisterChange change{kind, ids, unit};
    change.elsewhere = true;
    CRegister::Instance().Notify(change);
}

void KeepPicture(QWidget *window, const QString &name)
{
    if (const QString folder = qEnvironmentVariable("MORVEK_SHOT_DIR"); !folder.isEmpty())
        window->grab().save(QDir(folder).filePath(name + QStringLiteral(".png")));
}
} // namespace

class TestFollow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_db.reset(); }

    void changesFold_data();
    void changesFold();
    void otherWindowFollows_data();
    void otherWindowFollows();
    void selectedUnitGone_data();
    void selectedUnitGone();
    void secondCompanyWindowFollowsTheFirst();
    void burstIsShownOnceRowByRow();
    void waitsWhileTheUserHolds_data();
    void waitsWhileTheUserHolds();
    void formToldOfChange_data();
    void formToldOfChange();
    void formsOwnSaveIsNoNews();
    void viewFormFollows();

private:
    void Make(const QString &change, bool elsewhere);
    qint32 EmployeeNamed(const QString &name) const;
    // The window as the user left it: the department shown in the details
    // style, 鈴木 selected, scrolled halfway, the window of those without a unit open.
    void Prepare(SPanes &panes);

    std::unique_ptr<CTempDatabase> m_db;
    qint32 m_company = 0, m_branch = 0, m_dept = 0, m_sub1 = 0, m_sub2 = 0;
    QHash<QString, qint32> m_staff;
};

void TestFollow::init()
{
    MORVEK_REQUIRE_BACKEND();
    m_db = std::make_unique<CTempDatabase>();
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_branch = CRegisterBuilder::AddUnit({0, 20, QStringLiteral("支社")});
    CRegisterBuilder::AddUnit({m_branch, 20, QStringLiteral("総務部")});
    m_dept = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("営業部")});
    m_sub1 = CRegisterBuilder::AddUnit({m_dept, 10, QStringLiteral("第一課")});
    m_sub2 = CRegisterBuilder::AddUnit({m_dept, 10, QStringLiteral("第二課")});
    m_staff.clear();
    const std::pair<qint32, const char16_t *> named[] = {{10, u"山田"}, {20, u"鈴木"}, {30, u"佐藤"}};
    for (const auto &[code, name] : named)
        m_staff.insert(QString::fromUtf16(name), CRegisterBuilder::AddEmployee({code, m_dept, QString::fromUtf16(name)}));
    m_staff.insert(QStringLiteral("高橋"), CRegisterBuilder::AddEmployee({40, m_sub1, QStringLiteral("高橋")}));
    m_staff.insert(QStringLiteral("田中"), CRegisterBuilder::AddEmployee({50, 0, QStringLiteral("田中")}));
    QList<CRegisterBuilder::SEmployeeRow> numbered;
    for (qint32 code = 100; code < 160; ++code)
        numbered << CRegisterBuilder::Numbered(code, m_dept);
    CRegisterBuilder::AddEmployees(numbered);
}

qint32 TestFollow::EmployeeNamed(const QString &name) const
{
    return m_staff.value(name);
}

void TestFollow::Prepare(SPanes &panes)
{
    SelectPath(panes.tree, {m_company, m_dept});
    panes.tree->setFocus();
    CMorvekView *list = panes.list;
    list->SetViewStyle(CMorvekView::EViewStyle::report);
    list->Arrange();
    QVERIFY(list->SelectEmployee(EmployeeNamed(QStringLiteral("鈴木"))));
    QScrollBar *bar = list->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum() / 2);
    list->ShowUnaffiliatedWindow();
    QCOMPARE(Named(list->GetUnaffiliatedWindow()->GetModel()), QStringList({"田中"}));
}

// A change as another window makes it (the register's own operations), or as
// another program or user makes it (statements on a connection of its own, then
// what the watcher tells).
void TestFollow::Make(const QString &change, bool elsewhere)
{
    const QString path = m_db->Path();
    const qint32 yamada = EmployeeNamed(QStringLiteral("山田"));
    const qint32 suzuki = EmployeeNamed(QStringLiteral("鈴木"));
    const qint32 sato = EmployeeNamed(QStringLiteral("佐藤"));
    const qint32 takahashi = EmployeeNamed(QStringLiteral("高橋"));
    const auto sql = [&path](const QString &statement) { ExecuteElsewhere(path, {statement}); };
    if (change == u"unit renamed") {
        if (elsewhere) {
            sql(QStringLiteral("UPDATE Mast00 SET Name = '企画課' WHERE ID = %1").arg(m_sub1));
            TellFromElsewhere(EKind::unitChanged, {m_sub1});
        } else {
            CUnitEditor editor(m_sub1);
            SUnitFields fields = editor.Fields();
            fields.strName = QStringLiteral("企画課");
            editor.Write(fields);
        }
    } else if (change == u"unit added") {
        SUnitFields fields;
        fields.strName = QStringLiteral("第三課");
        if (elsewhere)
            TellFromElsewhere(EKind::unitAdded, {CRegisterBuilder::AddUnit({m_dept, 10, fields.strName})}, m_dept);
        else
            QVERIFY(CUnits::AddDepartment(m_dept, fields) != 0);
    } else if (change == u"unit moved") {
        sql(QStringLiteral("UPDATE Mast00 SET Parent = %1, Code = 20 WHERE ID = %2").arg(m_branch).arg(m_sub2));
        TellFromElsewhere(EKind::unitChanged, {m_sub2});
    } else if (change == u"unit deleted") {
        if (elsewhere) {
            sql(QStringLiteral("UPDATE Mast01 SET Busyo = 0 WHERE Busyo = %1").arg(m_sub1));
            sql(QStringLiteral("DELETE FROM Mast00 WHERE ID = %1").arg(m_sub1));
            TellFromElsewhere(EKind::employeesMoved, {takahashi}, 0);
            TellFromElsewhere(EKind::unitDeleted, {m_sub1});
        } else {
            QVERIFY(CUnits::Delete(m_sub1));
        }
    } else if (change == u"employee moved in" || change == u"employee moved out" || change == u"employee released") {
        const qint32 who = change == u"employee moved in" ? takahashi : change == u"employee moved out" ? yamada : sato;
        const qint32 to = change == u"employee moved in" ? m_dept : change == u"employee moved out" ? m_sub1 : 0;
        if (elsewhere) {
            sql(QStringLiteral("UPDATE Mast01 SET Busyo = %1 WHERE ID = %2").arg(to).arg(who));
            TellFromElsewhere(EKind::employeesMoved, {who}, to);
        } else if (to == 0) {
            CEmployees::Release({who});
        } else {
            QCOMPARE(CEmployees::Move({who}, to), CEmployees::EMove::moved);
        }
    } else if (change == u"employee deleted") {
        if (elsewhere) {
            sql(QStringLiteral("DELETE FROM Mast01 WHERE ID = %1").arg(yamada));
            TellFromElsewhere(EKind::employeeDeleted, {yamada});
        } else {
            CEmployeeEditor editor;
            editor.Open();
            QVERIFY(editor.ShowById(yamada));
            QVERIFY(editor.Delete());
        }
    } else if (change == u"employee added") {
        // Another program may put a new employee straight into a unit; the form adds one without.
        if (elsewhere) {
            TellFromElsewhere(EKind::employeeAdded, {CRegisterBuilder::AddEmployee({60, m_dept, QStringLiteral("伊藤")})});
        } else {
            CEmployeeEditor editor;
            editor.Open();
            editor.Add(
                [](CMast01 &record) {
                    record.m_Code = 60;
                    record.m_Name = QStringLiteral("伊藤");
                },
                {});
        }
    } else if (change == u"employee edited") {
        if (elsewhere) {
            sql(QStringLiteral("UPDATE Mast01 SET Name = '鈴木花子' WHERE ID = %1").arg(suzuki));
            TellFromElsewhere(EKind::employeeChanged, {suzuki});
        } else {
            CEmployeeEditor editor;
            editor.Open();
            QVERIFY(editor.ShowById(suzuki));
            QVERIFY(editor.Update([](CMast01 &record) { record.m_Name = QStringLiteral("鈴木花子"); }, std::nullopt));
        }
    } else if (change == u"everything") {
        sql(QStringLiteral("UPDATE Mast00 SET Name = '企画課' WHERE ID = %1").arg(m_sub1));
        sql(QStringLiteral("UPDATE Mast01 SET Busyo = 0 WHERE ID = %1").arg(sato));
        TellFromElsewhere(EKind::everything, {});
    } else {
        QFAIL("unknown change");
    }
}

void TestFollow::changesFold_data()
{
    QTest::addColumn<QList<SRegisterChange>>("told");
    QTest::addColumn<QList<qint32>>("touched");
    QTest::addColumn<QList<qint32>>("moved");
    QTest::addColumn<QList<qint32>>("deleted");
    QTest::addColumn<bool>("everything");
    using C = SRegisterChange;
    QTest::newRow("a burst of the same") << QList<C>{{EKind::employeeChanged, {1}}, {EKind::employeeChanged, {1, 2}}}
                                         << QList<qint32>{1, 2} << QList<qint32>{} << QList<qint32>{} << false;
    QTest::newRow("the last move counts") << QList<C>{{EKind::employeesMoved, {1, 2}, 5}, {EKind::employeesMoved, {1}, 0}}
                                          << QList<qint32>{} << QList<qint32>{1, 0, 2, 5} << QList<qint32>{} << false;
    QTest::newRow("a row read again needs no move")
        << QList<C>{{EKind::employeesMoved, {1}, 5}, {EKind::employeeChanged, {1}}} << QList<qint32>{1} << QList<qint32>{}
        << QList<qint32>{} << false;
    QTest::newRow("deleted wins") << QList<C>{{EKind::employeeAdded, {3}},
                                              {EKind::employeeDeleted, {3}},
                                              {EKind::employeesMoved, {3}, 5}}
                                  << QList<qint32>{} << QList<qint32>{} << QList<qint32>{3} << false;
    QTest::newRow("everything swallows the rest")
        << QList<C>{{EKind::employeeChanged, {1}}, {EKind::everything, {}}, {EKind::employeeDeleted, {2}}}
        << QList<qint32>{} << QList<qint32>{} << QList<qint32>{} << true;
}

void TestFollow::changesFold()
{
    QFETCH(QList<SRegisterChange>, told);
    QFETCH(QList<qint32>, touched);
    QFETCH(QList<qint32>, moved);
    QFETCH(QList<qint32>, deleted);
    QFETCH(bool, everything);
    CRegisterChanges changes;
    for (const SRegisterChange &change : told)
        changes.Add(change);
    QCOMPARE(changes.EmployeesTouched(), touched);
    QList<qint32> moves;
    for (const auto &[id, unit] : changes.EmployeesMoved())
        moves << id << unit;
    QCOMPARE(moves, moved);
    QList<qint32> gone = changes.EmployeesDeleted().values();
    std::sort(gone.begin(), gone.end());
    QCOMPARE(gone, deleted);
    QCOMPARE(changes.IsEverything(), everything);
    QCOMPARE(changes.IsEmpty(), false);
}

void TestFollow::otherWindowFollows_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("elsewhere");
    QTest::addColumn<QStringList>("tree");         // the units under 営業部
    QTest::addColumn<QStringList>("list");         // the list of 営業部
    QTest::addColumn<QStringList>("unaffiliated"); // the window of those without a unit
    const QStringList units{"第一課", "第二課"};
    const QStringList staff{"山田", "鈴木", "佐藤"};
    const QStringList alone{"田中"};
    for (const bool elsewhere : {false, true}) {
        const char *by = elsewhere ? "elsewhere" : "another window";
        const auto row = [by](const char *change) -> QTestData & { return QTest::addRow("%s, %s", change, by); };
        row("unit renamed") << "unit renamed" << elsewhere << QStringList{"企画課", "第二課"}
                            << QStringList{"企画課", "第二課"} + staff << alone;
        row("unit added") << "unit added" << elsewhere << units + QStringList{"第三課"}
                          << units + staff + QStringList{"第三課"} << alone;
        row("unit deleted") << "unit deleted" << elsewhere << QStringList{"第二課"} << QStringList{"第二課"} + staff
                            << QStringList{"高橋", "田中"};
        row("employee moved in") << "employee moved in" << elsewhere << units << units + staff + QStringList{"高橋"}
                                 << alone;
        row("employee moved out") << "employee moved out" << elsewhere << units << units + QStringList{"鈴木", "佐藤"}
                                  << alone;
        row("employee released") << "employee released" << elsewhere << units << units + QStringList{"山田", "鈴木"}
                                 << QStringList{"佐藤", "田中"};
        row("employee deleted") << "employee deleted" << elsewhere << units << units + QStringList{"鈴木", "佐藤"} << alone;
        row("employee edited") << "employee edited" << elsewhere << units << units + QStringList{"山田", "鈴木花子", "佐藤"}
                               << alone;
    }
    QTest::newRow("employee added, another window")
        << "employee added" << false << units << units + staff << QStringList{"田中", "伊藤"};
    QTest::newRow("employee added into the unit, elsewhere")
        << "employee added" << true << units << units + staff + QStringList{"伊藤"} << alone;
    QTest::newRow("unit moved, elsewhere")
        << "unit moved" << true << QStringList{"第一課"} << QStringList{"第一課"} + staff << alone;
    QTest::newRow("everything, elsewhere")
        << "everything" << true << QStringList{"企画課", "第二課"} << QStringList{"企画課", "第二課", "山田", "鈴木"}
        << QStringList{"佐藤", "田中"};
}

void TestFollow::otherWindowFollows()
{
    QFETCH(QString, change);
    QFETCH(bool, elsewhere);
    QFETCH(QStringList, tree);
    QFETCH(QStringList, list);
    QFETCH(QStringList, unaffiliated);
    SPanes panes;
    Prepare(panes);
    CMorvekView *shown = panes.list;
    const int scrolled = shown->verticalScrollBar()->value();
    const QStringList wasSelected = SelectedNames(shown);
    Make(change, elsewhere);
    QTRY_COMPARE(Named(shown->model()), list);
    QTRY_COMPARE(ChildTexts(ItemOf(panes.tree, m_dept)), tree);
    QTRY_COMPARE(Named(shown->GetUnaffiliatedWindow()->GetModel()), unaffiliated);
    // The user's place stays: the unit, the selected employee, the scrolling, the focus.
    QCOMPARE(CLeftView::UnitId(panes.tree->currentItem()), m_dept);
    QCOMPARE(shown->GetCurrentUnit(), m_dept);
    const QString suzuki = change == u"employee edited" ? QStringLiteral("鈴木花子") : QStringLiteral("鈴木");
    QCOMPARE(SelectedNames(shown), QStringList{suzuki});
    QCOMPARE(shown->currentIndex().data().toString(), suzuki);
    QCOMPARE(shown->verticalScrollBar()->value(), scrolled);
    QCOMPARE(wasSelected, QStringList{"鈴木"});
    if (change == u"unit moved") {
        // Under a unit whose level was never read it waits until that level is.
        QVERIFY(!ItemOf(panes.tree, m_sub2));
        panes.tree->setCurrentItem(ItemOf(panes.tree, m_branch));
        QCOMPARE(ChildTexts(ItemOf(panes.tree, m_branch)), QStringList({"総務部", "第二課"}));
    }
    KeepPicture(&panes.window, QStringLiteral("follow-") + QString::fromLatin1(QTest::currentDataTag()));
}

void TestFollow::selectedUnitGone_data()
{
    QTest::addColumn<bool>("company");
    QTest::newRow("department: the unit above") << false;
    QTest::newRow("company: the one beside") << true;
}

void TestFollow::selectedUnitGone()
{
    QFETCH(bool, company);
    SPanes panes;
    SelectPath(panes.tree, company ? QList<qint32>{m_branch} : QList<qint32>{m_company, m_dept, m_sub1});
    const qint32 gone = company ? m_branch : m_sub1;
    ExecuteElsewhere(m_db->Path(), {QStringLiteral("DELETE FROM Mast00 WHERE ID = %1 OR Parent = %1").arg(gone)});
    TellFromElsewhere(EKind::unitDeleted, {gone});
    const qint32 instead = company ? m_company : m_dept;
    QTRY_COMPARE(CLeftView::UnitId(panes.tree->currentItem()), instead);
    QVERIFY(!ItemOf(panes.tree, gone));
    QCOMPARE(panes.list->GetCurrentUnit(), instead);
    QCOMPARE(Named(panes.list->model()).first(), company ? QStringLiteral("営業部") : QStringLiteral("第二課"));
    // The window of those without a unit, never needed, is not read for another's change.
    QVERIFY(!panes.list->IsUnaffiliatedFilled());
}

// Two company windows on one register: what one writes, the other shows.
void TestFollow::secondCompanyWindowFollowsTheFirst()
{
    SPanes first;
    Prepare(first);
    SPanes second;
    SelectPath(second.tree, {m_company, m_dept});
    // The second window drags 山田 onto 第一課 and releases 佐藤 with the Delete key.
    QVERIFY(second.tree->AssignEmployeesToUnit({EmployeeNamed(QStringLiteral("山田"))}, ItemOf(second.tree, m_sub1)));
    QVERIFY(second.list->SelectEmployee(EmployeeNamed(QStringLiteral("佐藤"))));
    QTest::keyClick(second.list, Qt::Key_Delete);
    QTRY_COMPARE(Named(first.list->model()), QStringList({"第一課", "第二課", "鈴木"}));
    QTRY_COMPARE(Named(first.list->GetUnaffiliatedWindow()->GetModel()), QStringList({"佐藤", "田中"}));
    QCOMPARE(SelectedNames(first.list), QStringList{"鈴木"});
    // Its 第一課, shown in the first window, gains 山田.
    first.tree->setCurrentItem(ItemOf(first.tree, m_sub1));
    QCOMPARE(Named(first.list->model()), QStringList({"山田", "高橋"}));
    QCOMPARE(Named(second.list->model()), QStringList({"第一課", "第二課", "鈴木"}));
}

// Many notices in a row are shown once, and one changed row is read alone.
void TestFollow::burstIsShownOnceRowByRow()
{
    SPanes panes;
    Prepare(panes);
    const QAbstractItemModel *model = panes.list->model();
    QSignalSpy rowsChanged(model, &QAbstractItemModel::dataChanged);
    QSignalSpy reset(model, &QAbstractItemModel::modelReset);
    const qint32 suzuki = EmployeeNamed(QStringLiteral("鈴木"));
    ExecuteElsewhere(m_db->Path(), {QStringLiteral("UPDATE Mast01 SET Name = '鈴木花子' WHERE ID = %1").arg(suzuki)});
    for (int i = 0; i < 50; ++i)
        TellFromElsewhere(EKind::employeeChanged, {suzuki});
    QTRY_COMPARE(Named(model), QStringList({"第一課", "第二課", "山田", "鈴木花子", "佐藤"}));
    QCoreApplication::processEvents();
    QCOMPARE(rowsChanged.size(), 1);
    QCOMPARE(reset.size(), 0);
}

void TestFollow::waitsWhileTheUserHolds_data()
{
    QTest::addColumn<QString>("held");
    QTest::newRow("modal dialog") << "modal";
    QTest::newRow("menu") << "menu";
    QTest::newRow("drag") << "drag";
}

// A change arriving while a modal dialog, a menu or a drag is open waits until it closes.
void TestFollow::waitsWhileTheUserHolds()
{
    QFETCH(QString, held);
    SPanes panes;
    Prepare(panes);
    QMessageBox box(QMessageBox::Information, QString(), QStringLiteral("確認"), QMessageBox::Ok, &panes.window);
    QMenu menu(&panes.window);
    menu.addAction(QStringLiteral("部課追加"));
    if (held == u"modal") {
        box.setWindowModality(Qt::ApplicationModal);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
    } else if (held == u"menu") {
        menu.popup(panes.window.mapToGlobal(QPoint(20, 20)));
        QTRY_VERIFY(QApplication::activePopupWidget());
    } else {
        // A drag of employees holds the mouse on the list it started from.
        panes.list->viewport()->grabMouse();
    }
    Make(QStringLiteral("employee released"), true);
    Make(QStringLiteral("unit renamed"), true);
    QTest::qWait(300);
    QCOMPARE(Named(panes.list->model()), QStringList({"第一課", "第二課", "山田", "鈴木", "佐藤"}));
    QCOMPARE(ChildTexts(ItemOf(panes.tree, m_dept)), QStringList({"第一課", "第二課"}));
    box.close();
    menu.close();
    panes.list->viewport()->releaseMouse();
    QTRY_COMPARE(Named(panes.list->model()), QStringList({"企画課", "第二課", "山田", "鈴木"}));
    QTRY_COMPARE(ChildTexts(ItemOf(panes.tree, m_dept)), QStringList({"企画課", "第二課"}));
    QTRY_COMPARE(Named(panes.list->GetUnaffiliatedWindow()->GetModel()), QStringList({"佐藤", "田中"}));
}

void TestFollow::formToldOfChange_data()
{
    QTest::addColumn<bool>("typed");
    QTest::addColumn<bool>("deleted");
    QTest::newRow("changed, nothing typed") << false << false;
    QTest::newRow("changed, typed") << true << false;
    QTest::newRow("deleted, nothing typed") << false << true;
    QTest::newRow("deleted, typed") << true << true;
}

// The master form with 鈴木 open, and another user changes or deletes them.
void TestFollow::formToldOfChange()
{
    QFETCH(bool, typed);
    QFETCH(bool, deleted);
    CFakeFrame frame;
    CEmployeeForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.Field(1)));
    TypeText(QStringLiteral("20"));
    PressKey(Qt::Key_Return);
    QTRY_COMPARE(form.Field(CEmployeeForm::FieldName)->GetFieldText(), QStringLiteral("鈴木"));
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.Field(CEmployeeForm::FieldName)));
    if (typed)
        TypeText(QStringLiteral("子"));
    const QString typedName = form.Field(CEmployeeForm::FieldName)->GetFieldText();
    const qint32 suzuki = EmployeeNamed(QStringLiteral("鈴木"));
    if (deleted) {
        ExecuteElsewhere(m_db->Path(), {QStringLiteral("DELETE FROM Mast01 WHERE ID = %1").arg(suzuki)});
        TellFromElsewhere(EKind::employeeDeleted, {suzuki});
    } else {
        ExecuteElsewhere(m_db->Path(), {QStringLiteral("UPDATE Mast01 SET Name = '鈴木花子', TEL = '03-9999' "
                                                       "WHERE ID = %1")
                                            .arg(suzuki)});
        TellFromElsewhere(EKind::employeeChanged, {suzuki});
    }
    QTRY_COMPARE(frame.m_status, deleted ? kDeleted : kChanged);
    const bool shownAnew = !typed && !deleted;
    QCOMPARE(form.Field(CEmployeeForm::FieldName)->GetFieldText(), shownAnew ? QStringLiteral("鈴木花子") : typedName);
    QCOMPARE(form.Field(CEmployeeForm::FieldTel)->GetFieldText(), shownAnew ? QStringLiteral("03-9999") : QString());
    // The keyboard stays where the user was.
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.Field(CEmployeeForm::FieldName)));
    KeepPicture(&form, QStringLiteral("form-") + QString::fromLatin1(QTest::currentDataTag()));
    // 登録: over the other change, refused; of one who is gone, told; nothing aborts.
    CDialogAnswers answers([](QDialog &) { return int(QMessageBox::Yes); });
    form.OnOK();
    const bool refused = answers.Texts().contains(QStringLiteral("他のユーザーが変更しました。"));
    if (deleted)
        QVERIFY(answers.Texts().contains(QStringLiteral("訂正する社員を社員コードで呼び出してください。")));
    else
        QCOMPARE(refused, typed);
}

void TestFollow::formsOwnSaveIsNoNews()
{
    CFakeFrame frame;
    CEmployeeForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.Field(1)));
    TypeText(QStringLiteral("20"));
    PressKey(Qt::Key_Return);
    TypeText(QStringLiteral("子"));
    const QString typed = form.Field(CEmployeeForm::FieldName)->GetFieldText();
    CDialogAnswers answers([](QDialog &) { return int(QMessageBox::Yes); });
    form.OnOK();
    QTest::qWait(200);
    QVERIFY(frame.m_status != kChanged);
    QCOMPARE(CEmployees::Rows({EmployeeNamed(QStringLiteral("鈴木"))}).value(0).strName, typed);
}

void TestFollow::viewFormFollows()
{
    CFakeFrame frame;
    frame.SetStatusText(QStringLiteral("レディ"));
    CEmployeeViewDlg dlg;
    dlg.m_nEmployeeID = EmployeeNamed(QStringLiteral("鈴木"));
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.Control(CEmployeeViewDlg::IDC_NAME)->text(), QStringLiteral("鈴木"));
    Make(QStringLiteral("employee edited"), true);
    QTRY_COMPARE(dlg.Control(CEmployeeViewDlg::IDC_NAME)->text(), QStringLiteral("鈴木花子"));
    QCOMPARE(frame.m_status, kChanged);
    ExecuteElsewhere(m_db->Path(), {QStringLiteral("DELETE FROM Mast01 WHERE ID = %1").arg(dlg.m_nEmployeeID)});
    TellFromElsewhere(EKind::employeeDeleted, {dlg.m_nEmployeeID});
    QTRY_COMPARE(frame.m_status, kDeleted);
    QCOMPARE(dlg.Control(CEmployeeViewDlg::IDC_NAME)->text(), QStringLiteral("鈴木花子"));
    // Closed, the status bar says again what it said before.
    dlg.reject();
    QCOMPARE(frame.m_status, QStringLiteral("レディ"));
}

QTEST_MAIN(TestFollow)
#include "tst_follow.moc"
