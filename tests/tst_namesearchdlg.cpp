// 名前で検索 as a person uses it: typing refills the list, the arrows move in it,
// Enter chooses and Escape leaves; from the tree the employee is shown in the
// tree and the list, from the master form in the form.
#include "base/commandids.h"
#include "employee/employeeform.h"
#include "employee/namesearchdlg.h"
#include "forms/eradateedit.h"
#include "forms/funckeycaptions.h"
#include "formtestsupport.h"
#include "register/register.h"
#include "store/foldednames.h"
#include "viewsfixture.h"

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QHeaderView>
#include <QMessageBox>
#include <QStyle>
#include <QTreeWidget>

namespace {
bool ShowAndWait(QDialog &dialog)
{
    dialog.show();
    dialog.activateWindow();
    return QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; });
}

QStringList Lines(const QTreeWidget *list)
{
    QStringList lines;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list->topLevelItem(i);
        lines << QStringList{item->text(0), item->text(1), item->text(2), item->text(3)}.join(u'|');
    }
    return lines;
}

// Types into the dialog, then presses the keys; answers what it is asked.
CDialogAnswers Answering(const QString &typed, const QList<int> &keys = {Qt::Key_Return})
{
    return CDialogAnswers([typed, keys](QDialog &dialog) {
        if (qobject_cast<QMessageBox *>(&dialog))
            return int(QMessageBox::Ok);
        if (!ShowAndWait(dialog))
            return int(QDialog::Rejected);
        TypeText(typed);
        for (int key : keys)
            PressKey(Qt::Key(key));
        if (dialog.isVisible())
            dialog.reject();
        return dialog.result();
    });
}
} // namespace

class TestNameSearchDlg final : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { MORVEK_REQUIRE_BACKEND(); }
    void init();
    void cleanup();
    void keys_data();
    void keys();
    void moreThanTheListHolds();
    void longestCodeShownWhole();
    void revealInTreeAndList_data();
    void revealInTreeAndList();
    void masterFormF9_data();
    void masterFormF9();

private:
    std::unique_ptr<CTempDatabase> m_db;
    std::unique_ptr<CFakeFrame> m_frame;
    QHash<int, qint32> m_ids; // by code
    qint32 m_nSales = 0;
};

void TestNameSearchDlg::init()
{
    m_db = std::make_unique<CTempDatabase>();
    m_frame = std::make_unique<CFakeFrame>();
    const qint32 company = CRegisterBuilder::AddUnit({0, 1, QStringLiteral("本社")});
    m_nSales = CRegisterBuilder::AddUnit({company, 1, QStringLiteral("営業部")});
    m_ids.clear();
    for (int code = 1; code <= 30; ++code)
        m_ids.insert(code, CRegisterBuilder::AddEmployee(CRegisterBuilder::Numbered(code, m_nSales)));
    m_ids.insert(40, CRegisterBuilder::AddEmployee({.code = 40,
                                                    .busyo = m_nSales,
                                                    .name = QStringLiteral("山田 太郎"),
                                                    .kana = QStringLiteral("ヤマダ タロウ"),
                                                    .tel = QStringLiteral("03-1234-5678")}));
    m_ids.insert(41, CRegisterBuilder::AddEmployee(
                         {.code = 41, .name = QStringLiteral("山田 花子"), .kana = QStringLiteral("やまだ はなこ")}));
    // The builder writes past the register layer, as an older build would: the side table is filled as on opening.
    CFoldedNames::Ensure(*CRegister::Connection());
}

void TestNameSearchDlg::cleanup()
{
    m_frame.reset();
    m_db.reset();
}

void TestNameSearchDlg::longestCodeShownWhole()
{
    CRegisterBuilder::AddEmployee({.code = 987654321, .busyo = m_nSales, .name = QStringLiteral("長谷川")});
    CFoldedNames::Ensure(*CRegister::Connection());
    CNameSearchDlg dlg;
    QVERIFY(ShowAndWait(dlg));
    TypeText(QStringLiteral("長谷川"));
    QTreeWidget *list = dlg.GetList();
    QCOMPARE(list->topLevelItemCount(), 1);
    const QString code = list->topLevelItem(0)->text(0);
    QCOMPARE(code, QStringLiteral("987654321"));
    // What the style leaves for the text inside the column's margins.
    const int margins = 2 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
    const int room = list->header()->sectionSize(0) - margins;
    QCOMPARE(list->fontMetrics().elidedText(code, Qt::ElideRight, room), code);
}

void TestNameSearchDlg::keys_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("chosen"); // code; -1: none

    const QString yamada = QStringLiteral("40|山田 太郎|ヤマダ タロウ|本社/営業部");
    const QString hanako = QStringLiteral("41|山田 花子|やまだ はなこ|");
    QTest::newRow("Enter takes the first")
        << QStringLiteral("ﾔﾏﾀﾞ") << QList<int>{Qt::Key_Return} << QStringList{yamada, hanako} << 40;
    QTest::newRow("Down, then Enter") << QStringLiteral("やまだ") << QList<int>{Qt::Key_Down, Qt::Key_Return}
                                      << QStringList{yamada, hanako} << 41;
    QTest::newRow("Down past the end, Up")
        << QStringLiteral("山田") << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Enter}
        << QStringList{yamada, hanako} << 40;
    QTest::newRow("Escape leaves") << QStringLiteral("やまだ") << QList<int>{Qt::Key_Escape} << QStringList{yamada, hanako}
                                   << -1;
    QTest::newRow("Enter without a match stays")
        << QStringLiteral("いのうえ") << QList<int>{Qt::Key_Return} << QStringList{} << -1;
    QTest::newRow("telephone digits") << QStringLiteral("5678") << QList<int>{Qt::Key_Return} << QStringList{yamada} << 40;
    QTest::newRow("a function key changes nothing")
        << QStringLiteral("たろう") << QList<int>{Qt::Key_F3, Qt::Key_Return} << QStringList{yamada} << 40;
}

void TestNameSearchDlg::keys()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, keys);
    QFETCH(QStringList, lines);
    QFETCH(int, chosen);

    CNameSearchDlg dlg;
    QVERIFY(ShowAndWait(dlg));
    QCOMPARE(QApplication::focusWidget(), dlg.GetText());
    QCOMPARE(m_frame->m_status, QStringLiteral("名前、ふりがな、社員コードまたは電話番号を入力してください。"));
    QCOMPARE(m_frame->m_captions, CFuncKeyDialog::PlainCaptions());
    TypeText(typed);
    QCOMPARE(Lines(dlg.GetList()), lines);
    QVERIFY(dlg.GetMore()->isHidden());
    if (const QString folder = qEnvironmentVariable("MORVEK_SHOT_DIR"); !folder.isEmpty())
        dlg.grab().save(folder + QStringLiteral("/namesearch-%1.png").arg(QTest::currentDataTag()));
    for (int key : keys)
        PressKey(Qt::Key(key));
    QCOMPARE(dlg.isVisible(), keys.last() == Qt::Key_Return && chosen < 0);
    QCOMPARE(dlg.m_nSelectedID, m_ids.value(chosen, -1));
    if (!dlg.isVisible())
        QCOMPARE(m_frame->m_captions, CFakeFrame::CompanySet());
}

void TestNameSearchDlg::moreThanTheListHolds()
{
    QList<CRegisterBuilder::SEmployeeRow> rows;
    for (int code = 100; code < 280; ++code)
        rows << CRegisterBuilder::Numbered(code);
    CRegisterBuilder::AddEmployees(rows);
    CFoldedNames::Ensure(*CRegister::Connection());

    CNameSearchDlg dlg;
    QVERIFY(ShowAndWait(dlg));
    TypeText(QStringLiteral("社員"));
    QCOMPARE(dlg.GetList()->topLevelItemCount(), 200);
    QCOMPARE(dlg.GetList()->topLevelItem(199)->text(0), QStringLiteral("269"));
    QVERIFY(dlg.GetMore()->isVisible());
    QCOMPARE(dlg.GetMore()->text(), QStringLiteral("ほかに 10 人"));
    if (const QString folder = qEnvironmentVariable("MORVEK_SHOT_DIR"); !folder.isEmpty())
        dlg.grab().save(folder + QStringLiteral("/namesearch-more.png"));
    // Narrowed as it is typed.
    TypeText(QStringLiteral("27"));
    QStringList narrowed{QStringLiteral("27|社員27||本社/営業部")};
    for (int code = 270; code < 280; ++code)
        narrowed << QStringLiteral("%1|社員%1||").arg(code);
    QCOMPARE(Lines(dlg.GetList()), narrowed);
    QVERIFY(dlg.GetMore()->isHidden());
}

// From the tree's pop-up menu: the unit is selected, the employee selected in the list.
void TestNameSearchDlg::revealInTreeAndList_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QStringList>("said");

    QTest::newRow("in a department") << QStringLiteral("ﾀﾛｳ") << QStringLiteral("営業部")
                                     << QStringList{QStringLiteral("名前で検索")};
    QTest::newRow("without a unit") << QStringLiteral("はなこ") << QString()
                                    << QStringList{
                                           QStringLiteral("名前で検索"),
                                           QStringLiteral("社員「0041 | 山田 花子」はどの部課にも所属していません。")};
    QTest::newRow("cancelled") << QString() << QString() << QStringList{QStringLiteral("名前で検索")};
}

void TestNameSearchDlg::revealInTreeAndList()
{
    QFETCH(QString, typed);
    QFETCH(QString, unit);
    QFETCH(QStringList, said);

    SPanes panes;
    const CDialogAnswers answers = Answering(typed, {typed.isEmpty() ? Qt::Key_Escape : Qt::Key_Return});
    std::unique_ptr<QMenu> menu(panes.tree->CreateContextMenu(panes.tree));
    QAction *search = nullptr;
    for (QAction *action : menu->actions())
        if (action->data().toInt() == ID_NAME_SEARCH)
            search = action;
    QVERIFY(search);
    QCOMPARE(search->text(), QStringLiteral("名前で検索"));
    search->trigger();

    QCOMPARE(answers.Texts(), said);
    QTreeWidgetItem *current = panes.tree->currentItem();
    QCOMPARE(current ? current->text(0) : QString(), unit);
    if (!current)
        return;
    QVERIFY(current->parent()->isExpanded());
    const QModelIndex row = panes.list->currentIndex();
    QCOMPARE(row.data().toString(), QStringLiteral("山田 太郎"));
    QCOMPARE(panes.list->selectionModel()->selectedIndexes(), QModelIndexList{row});
    QVERIFY(panes.list->viewport()->rect().intersects(panes.list->visualRect(row)));
    QCOMPARE(panes.window.focusWidget(), panes.list);
    if (const QString folder = qEnvironmentVariable("MORVEK_SHOT_DIR"); !folder.isEmpty())
        panes.window.grab().save(folder + QStringLiteral("/namesearch-revealed.png"));
}

// F9 from the code field, or while an employee is shown; elsewhere in a new one it does nothing.
void TestNameSearchDlg::masterFormF9_data()
{
    QTest::addColumn<bool>("fromName");
    QTest::addColumn<QStringList>("said");
    QTest::addColumn<QString>("name");

    QTest::newRow("code field") << false << QStringList{QStringLiteral("名前で検索")} << QStringLiteral("山田 太郎");
    QTest::newRow("name field of a new one") << true << QStringList{} << QString();
}

void TestNameSearchDlg::masterFormF9()
{
    QFETCH(bool, fromName);
    QFETCH(QStringList, said);
    QFETCH(QString, name);

    CEmployeeForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const CFuncKeyCaptions::Set master = CFuncKeyCaptions::EmployeeMaster();
    QCOMPARE(m_frame->m_captions, QStringList(master.begin(), master.end()));
    QCOMPARE(m_frame->m_captions.at(8), QStringLiteral("名前"));
    if (fromName)
        form.Field(CEmployeeForm::FieldName)->setFocus();
    QTRY_VERIFY(form.Field(fromName ? CEmployeeForm::FieldName : CEmployeeForm::FieldCode)->hasFocus());
    const CDialogAnswers answers = Answering(QStringLiteral("ﾀﾛｳ"));
    PressKey(Qt::Key_F9);

    QCOMPARE(answers.Texts(), said);
    QCOMPARE(form.Field(CEmployeeForm::FieldName)->GetFieldText(), name);
    QCOMPARE(form.ShownID(), name.isEmpty() ? 0 : m_ids.value(40));
    QCOMPARE(form.Mode(), name.isEmpty() ? 0 : 1);
    QCOMPARE(m_frame->m_captions, QStringList(master.begin(), master.end()));
}

QTEST_MAIN(TestNameSearchDlg)
#include "tst_namesearchdlg.moc"
