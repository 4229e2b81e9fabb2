// The organisation views inside the running program: what the company window
// shows when it opens, F8 bringing up the employees without a unit, and a second
// company window following what the first writes.
#include "base/commandids.h"
#include "register/uniteditor.h"
#include "views/unaffiliateddlg.h"
#include "shellfixture.h"
#include "viewsfixture.h"

class TestCompanyWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void opensWithCompaniesAndNothingSelected();
    void f8ShowsTheEmployeesWithoutAUnit();
    void secondWindowFollowsTheFirst();

private:
    QTemporaryDir m_dir;
    qint32 m_company = 0;
    qint32 m_dept = 0;
    qint32 m_hayashi = 0;
};

void TestCompanyWindow::initTestCase()
{
    StartIn(m_dir);
    CDaoRecordset::SetApplicationDatabasePath(m_dir.filePath(QStringLiteral("odata.mdb")));
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_dept = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("営業部")});
    CRegisterBuilder::AddEmployee({30, 0, QStringLiteral("木村")});
    m_hayashi = CRegisterBuilder::AddEmployee({20, m_company, QStringLiteral("林")});
    CRegisterBuilder::AddEmployee({.code = 10, .name = QStringLiteral("森"), .female = true});
    // The window reads the database when it opens.
    CloseCompanyWindows();
    theApp()->OnShowCompany();
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
}

void TestCompanyWindow::opensWithCompaniesAndNothingSelected()
{
    CChildFrame *child = Frame()->GetActiveChild();
    child->GetLeftPane()->setFocus();
    QCOMPARE(ChildTexts(child->GetLeftPane()->invisibleRootItem()), QStringList{"本社"});
    QVERIFY(!child->GetLeftPane()->currentItem());
    QCOMPARE(child->GetRightPane()->model()->rowCount(), 0);
    QTest::keyClick(child->GetLeftPane(), Qt::Key_Down);
    QCOMPARE(Column(child->GetRightPane()), QStringList({"営業部", "林"}));
}

void TestCompanyWindow::f8ShowsTheEmployeesWithoutAUnit()
{
    CChildFrame *child = Frame()->GetActiveChild();
    CUnaffiliatedDlg *window = child->GetRightPane()->GetUnaffiliatedWindow();
    QVERIFY(!window->isVisible());
    QTest::keyClick(child->GetLeftPane(), Qt::Key_F8);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), QStringLiteral("社員検索"));
    QCOMPARE(Column(window->GetModel()), QStringList({"森", "木村"}));
    QCOMPARE(Column(window->GetModel(), 0, CUnitContentsModel::ImageRole), QStringList({"3", "2"}));
    // The close box only hides it, and hands the activation back.
    window->close();
    QTRY_VERIFY(Frame()->isActiveWindow());
    Frame()->GetAction(ID_UNAFFILIATED_LIST)->trigger();
    QVERIFY(window->isVisible());
}

void TestCompanyWindow::secondWindowFollowsTheFirst()
{
    CChildFrame *first = Frame()->GetActiveChild();
    CLeftView *firstTree = first->GetLeftPane();
    firstTree->setCurrentItem(firstTree->topLevelItem(0));
    Frame()->GetAction(ID_FILE_NEW)->trigger();
    QCOMPARE(Frame()->GetChildFrames().size(), 2);
    CChildFrame *second = Frame()->GetActiveChild();
    QVERIFY(second != first);
    second->GetLeftPane()->setCurrentItem(second->GetLeftPane()->topLevelItem(0));
    // The second window releases 林 with the Delete key and renames 営業部.
    CMorvekView *list = second->GetRightPane();
    QVERIFY(list->SelectEmployee(m_hayashi));
    QTest::keyClick(list, Qt::Key_Delete);
    CUnitEditor editor(m_dept);
    SUnitFields fields = editor.Fields();
    fields.strName = QStringLiteral("企画部");
    editor.Write(fields);
    QTRY_COMPARE(Column(first->GetRightPane()), QStringList({"企画部"}));
    QCOMPARE(ChildTexts(firstTree->topLevelItem(0)), QStringList({"企画部"}));
    QTRY_COMPARE(Column(first->GetRightPane()->GetUnaffiliatedWindow()->GetModel()), QStringList({"森", "林", "木村"}));
}

int main(int argc, char *argv[])
{
    CMorvekApp app(argc, argv);
    TestCompanyWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_companywindow.moc"
