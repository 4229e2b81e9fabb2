// 基準日 in the running company window: asked by F4 in the era form, the day in the
// title, the status bar and the function-key bar, the editing commands off while it
// is shown, and F5 (今日) bringing the register back.
#include "base/commandids.h"
#include "forms/asofdate.h"
#include "forms/asofdatedlg.h"
#include "forms/eradateedit.h"
#include "formtestsupport.h"
#include "register/employees.h"
#include "register/units.h"
#include "store/daorecordset.h"
#include "store/schema.h"
#include "shellfixture.h"
#include "viewsfixture.h"

#include <QLabel>
#include <QMdiArea>
#include <QMessageBox>
#include <QStatusBar>

class TestAsOfWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void typedDay_data();
    void typedDay();
    void pastDayIsReadOnlyAndTodayReturns();
    void unitsShowTheirArrowBeforeTheirLevelIsRead();
    void dayBeforeAnyUnitIsSaid();

private:
    // Opens 基準日 with F4 and types the six digits, then Enter on the field and on OK.
    QStringList AskDay(const QString &digits);

    QTemporaryDir m_dir;
    qint32 m_company = 0, m_sales = 0, m_yamada = 0;
};

void TestAsOfWindow::initTestCase()
{
    StartIn(m_dir);
    CDaoRecordset::SetApplicationDatabasePath(m_dir.filePath(QStringLiteral("odata.mdb")));
    m_company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    m_sales = CRegisterBuilder::AddUnit({m_company, 10, QStringLiteral("営業部")});
    m_yamada = CRegisterBuilder::AddEmployee({1, m_company, QStringLiteral("山田")});
    QCOMPARE(CEmployees::Move({m_yamada}, m_sales, nullptr, QDate(2024, 4, 1)), CEmployees::EMove::moved);
    CloseCompanyWindows();
    theApp()->OnShowCompany();
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
}

namespace {
// A dialog with a parent counts as active while its parent is: wait for its own turn.
bool ShowAndWait(QDialog &dialog)
{
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; });
}
} // namespace

QStringList TestAsOfWindow::AskDay(const QString &digits)
{
    CDialogAnswers answers([&digits](QDialog &dialog) {
        auto *form = qobject_cast<CAsOfDateDlg *>(&dialog);
        if (!form)
            return int(QMessageBox::Ok);
        if (!ShowAndWait(*form))
            return int(QDialog::Rejected);
        TypeText(digits);
        if (const QString dir = qEnvironmentVariable("MORVEK_SHOT_DIR"); !dir.isEmpty())
            form->grab().save(QDir(dir).filePath(QStringLiteral("asofdate.png")));
        PressKey(Qt::Key_Return);
        PressKey(Qt::Key_Return);
        // Refused: the form stays; Esc gives up.
        if (form->isVisible())
            form->reject();
        return form->result();
    });
    // The company window's keys work while the main window is the active one.
    Frame()->activateWindow();
    if (!QTest::qWaitForWindowActive(Frame()))
        return {};
    QTest::keyClick(Frame()->GetActiveChild()->GetLeftPane(), Qt::Key_F4);
    return answers.Texts();
}

void TestAsOfWindow::typedDay_data()
{
    QTest::addColumn<QString>("digits");
    QTest::addColumn<QDate>("shown");     // invalid: today
    QTest::addColumn<QString>("refusal"); // what the message box said
    QTest::newRow("a past day") << "060331" << QDate(2024, 3, 31) << "";
    const QDate today = QDate::currentDate();
    // 令和 is the era a date field starts in today.
    QTest::newRow("today") << QString::asprintf("%02d%02d%02d", today.year() - 2018, today.month(), today.day()) << QDate()
                           << "";
    QTest::newRow("no such day") << "060231" << QDate() << CAsOfDate::Refusal(QDate(), QDate::currentDate());
    QTest::newRow("ahead") << "991231" << QDate() << CAsOfDate::Refusal(QDate(2117, 12, 31), QDate::currentDate());
}

void TestAsOfWindow::typedDay()
{
    QFETCH(QString, digits);
    QFETCH(QDate, shown);
    QFETCH(QString, refusal);
    CChildFrame *child = Frame()->GetActiveChild();
    child->SetAsOfDate(QDate());
    const QStringList texts = AskDay(digits);
    QCOMPARE(texts.value(0), QStringLiteral("基準日"));
    QCOMPARE(texts.mid(1), refusal.isEmpty() ? QStringList() : QStringList{refusal});
    QCOMPARE(child->GetAsOfDate(), shown);
}

void TestAsOfWindow::pastDayIsReadOnlyAndTodayReturns()
{
    CChildFrame *child = Frame()->GetActiveChild();
    child->SetAsOfDate(QDate());
    const QString title = child->windowTitle();
    SelectPath(child->GetLeftPane(), {m_company});
    QCOMPARE(Column(child->GetRightPane()), QStringList({"営業部"}));
    const QList<int> edits{ID_NEW_COMPANY, ID_TRANSFER, ID_CSV_IMPORT, ID_XLSX_IMPORT, ID_PHOTO_IMPORT, ID_BACKUP_RESTORE};
    for (int id : edits)
        QVERIFY2(Enabled(id), qPrintable(QString::number(id)));
    QVERIFY(!Enabled(ID_AS_OF_TODAY));

    AskDay(QStringLiteral("060331"));
    QCOMPARE(child->GetAsOfDate(), QDate(2024, 3, 31));
    QCOMPARE(child->windowTitle(), title + QStringLiteral("（基準日 令和6年3月31日）"));
    QCOMPARE(Frame()->GetAsOfPane()->text(), QStringLiteral("基準日 令和6年3月31日"));
    QVERIFY(Frame()->GetAsOfPane()->isVisible());
    QCOMPARE(Frame()->GetStatusText(), CAsOfDate::Status(QDate(2024, 3, 31)));
    QCOMPARE(Captions(), AsList(CFuncKeyCaptions::Company(true)));
    QCOMPARE(Column(child->GetRightPane()), QStringList({"営業部", "山田"}));
    for (int id : edits)
        QVERIFY2(!Enabled(id), qPrintable(QString::number(id)));
    QVERIFY(Enabled(ID_AS_OF_TODAY) && Enabled(ID_AS_OF_DATE));
    if (const QString dir = qEnvironmentVariable("MORVEK_SHOT_DIR"); !dir.isEmpty())
        Frame()->grab().save(QDir(dir).filePath(QStringLiteral("asofwindow.png")));

    Frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(Frame()));
    QTest::keyClick(child->GetLeftPane(), Qt::Key_F5);
    QVERIFY(!child->IsAsOf());
    QCOMPARE(child->windowTitle(), title);
    QVERIFY(!Frame()->GetAsOfPane()->isVisible());
    QCOMPARE(Captions(), AsList(CFuncKeyCaptions::Company()));
    QCOMPARE(Column(child->GetRightPane()), QStringList({"営業部"}));
    QVERIFY(Enabled(ID_NEW_COMPANY));
}

// A unit whose level is not read yet still shows that it can be opened: at the
// window's start and after 今日 read the tree again.
void TestAsOfWindow::unitsShowTheirArrowBeforeTheirLevelIsRead()
{
    const qint32 branch = CRegisterBuilder::AddUnit({0, 20, QStringLiteral("支社")});
    CRegisterBuilder::AddUnit({branch, 10, QStringLiteral("支社営業部")});
    CloseCompanyWindows();
    theApp()->OnShowCompany();
    for (bool afterToday : {false, true}) {
        CLeftView *tree = Frame()->GetActiveChild()->GetLeftPane();
        if (afterToday) {
            AskDay(QStringLiteral("060331"));
            QTest::keyClick(tree, Qt::Key_F5);
        }
        QTreeWidgetItem *company = ItemOf(tree, branch);
        QVERIFY(tree->model()->hasChildren(tree->model()->index(tree->indexOfTopLevelItem(company), 0)));
        if (afterToday)
            break;
        QCOMPARE(company->childCount(), 0);
        company->setExpanded(true);
        QCOMPARE(company->childCount(), 1);
        // A leaf loses its arrow once its level is read and found empty.
        tree->setCurrentItem(company->child(0));
        QCOMPARE(company->child(0)->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
    }
}

// A day before the register held any unit is said in words, not shown as an empty tree.
void TestAsOfWindow::dayBeforeAnyUnitIsSaid()
{
    CloseCompanyWindows();
    const QString kept = CDaoRecordset::ApplicationDatabasePath();
    const QString fresh = m_dir.filePath(QStringLiteral("fresh.mdb"));
    CSchema::CreateDatabaseFile(fresh);
    CDaoRecordset::SetApplicationDatabasePath(fresh);
    SUnitFields fields;
    fields.strName = QStringLiteral("今日の会社");
    QVERIFY(CUnits::SaveCompany(1, fields) > 0);
    theApp()->OnShowCompany();
    const QDate yesterday = QDate::currentDate().addDays(-1);
    const QStringList texts = AskDay(
        QString::asprintf("%02d%02d%02d", yesterday.year() - 2018, yesterday.month(), yesterday.day()));
    const QString said = CAsOfDate::NothingThen(yesterday);
    const QString status = Frame()->GetStatusText();
    CloseCompanyWindows();
    CDaoRecordset::SetApplicationDatabasePath(kept);
    theApp()->OnShowCompany();
    QCOMPARE(texts, QStringList({QStringLiteral("基準日"), said}));
    QCOMPARE(status, said);
}

int main(int argc, char *argv[])
{
    CMorvekApp app(argc, argv);
    TestAsOfWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_asofwindow.moc"
