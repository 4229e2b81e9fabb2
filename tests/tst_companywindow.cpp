// The organisation views inside the running program: what the company window
// shows when it opens, and F8 bringing up the employees without a unit.
#include "base/commandids.h"
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

private:
    QTemporaryDir m_dir;
    qint32 m_company = 0;
};

void TestCompanyWindow::initTestCase()
{
    StartIn(m_dir);
    CDaoRecordset::SetApplicationDatabasePath(m_dir.filePath(QStringLiteral("odata.mdb")));
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("営業部")});
    CRegisterBuilder::AddEmployee({30, 0, QStringLiteral("木村")});
    CRegisterBuilder::AddEmployee({20, m_company, QStringLiteral("林")});
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

int main(int argc, char *argv[])
{
    CMorvekApp app(argc, argv);
    TestCompanyWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_companywindow.moc"
