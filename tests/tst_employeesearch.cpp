// Finding an employee by code: the pages of the search list, the two dialogs as a
// person uses them, and the tree's search that shows the employee's unit.
#include "base/modalseam.h"
#include "employee/employeesearchdlg.h"
#include "employee/searchlistbox.h"
#include "register/searchpager.h"
#include "employee/startcodedlg.h"
#include "forms/funckeycaptions.h"
#include "formtestsupport.h"
#include "viewsfixture.h"

#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

namespace {
// Highest code first, so that ID order is not code order.
void AddEmployees(const QList<int> &codes)
{
    QList<CRegisterBuilder::SEmployeeRow> rows;
    for (auto it = codes.crbegin(); it != codes.crend(); ++it)
        rows << CRegisterBuilder::Numbered(*it);
    CRegisterBuilder::AddEmployees(rows);
}

QList<int> Range(int from, int to)
{
    QList<int> codes;
    for (int code = from; code <= to; ++code)
        codes << code;
    return codes;
}

qint32 IdOfCode(int code)
{
    CMast01 set;
    set.Open();
    return set.FindFirst(QStringLiteral("Code = %1").arg(code)) ? set.m_ID : -1;
}

// The codes the lines show; each line must be "%04d | name" and carry its employee's ID.
QList<int> CodesOf(const QList<SSearchLine> &lines)
{
    QList<int> codes;
    for (const SSearchLine &line : lines) {
        const int code = line.strText.section(u' ', 0, 0).toInt();
        if (line.strText != CSearchPager::FormatLine(code, CRegisterBuilder::NumberedName(code))
            || line.nID != IdOfCode(code))
            return {-1};
        codes << code;
    }
    return codes;
}

QList<int> CodesOf(const QListWidget *list)
{
    QList<SSearchLine> lines;
    for (int i = 0; i < list->count(); ++i)
        lines.append({list->item(i)->data(Qt::UserRole).toInt(), list->item(i)->text()});
    return CodesOf(lines);
}

bool ShowAndWait(QDialog &dialog)
{
    dialog.show();
    dialog.activateWindow();
    // A dialog with a parent counts as active while its parent is; wait for its own turn.
    return QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; });
}

QStringList SearchCaptions()
{
    const CFuncKeyCaptions::Set set = CFuncKeyCaptions::EmployeeSearch();
    return QStringList(set.begin(), set.end());
}
} // namespace

class TestEmployeeSearch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void paging_data();
    void paging();
    void searchDialog_data();
    void searchDialog();
    void startCodeDialog_data();
    void startCodeDialog();
    void treeSearch_data();
    void treeSearch();

private:
    std::unique_ptr<CTempDatabase> m_db;
    std::unique_ptr<CFakeFrame> m_frame;
};

void TestEmployeeSearch::init()
{
    m_db = std::make_unique<CTempDatabase>();
    m_frame = std::make_unique<CFakeFrame>();
}

void TestEmployeeSearch::cleanup()
{
    m_frame.reset();
    m_db.reset();
}

// keys: 2 for the previous page, 3 for the next; a key that changes nothing must say so.
void TestEmployeeSearch::paging_data()
{
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<int>("startCode");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<int>("startAfter");

    const QList<int> fifteen = Range(1, 15);
    QTest::newRow("first page of fifteen") << fifteen << 1 << "" << Range(1, 10) << 1;
    QTest::newRow("next page: the last five") << fifteen << 1 << "3" << Range(11, 15) << 1;
    QTest::newRow("next after the last, then back") << fifteen << 1 << "332" << Range(1, 10) << 1;
    QTest::newRow("previous from the third") << fifteen << 3 << "2" << Range(1, 10) << 1;
    QTest::newRow("previous goes back ten rows") << Range(1, 30) << 1 << "332" << Range(11, 20) << 11;
    QTest::newRow("start code 0") << Range(5, 8) << 0 << "" << Range(5, 8) << 0;
    QTest::newRow("start above every code") << fifteen << 16 << "32" << QList<int>{} << 16;
    // The second 10 shares the code of the page's last line and is passed over.
    QTest::newRow("duplicate code at a page end")
        << (Range(1, 10) << 10 << 11 << 12) << 1 << "3" << QList<int>{11, 12} << 1;
    QTest::newRow("code order beyond four digits")
        << QList<int>{999, 2000, 10000, 30000} << 0 << "" << QList<int>{999, 2000, 10000, 30000} << 0;
}

void TestEmployeeSearch::paging()
{
    QFETCH(QList<int>, codes);
    QFETCH(int, startCode);
    QFETCH(QString, keys);
    QFETCH(QList<int>, shown);
    QFETCH(int, startAfter);

    AddEmployees(codes);
    CSearchPager pager;
    pager.FillPage(startCode);
    for (const QChar key : keys) {
        const QList<int> before = CodesOf(pager.Lines());
        if (!(key == u'2' ? pager.PrevPage() : pager.NextPage()))
            QCOMPARE(CodesOf(pager.Lines()), before);
    }
    QCOMPARE(CodesOf(pager.Lines()), shown);
    QCOMPARE(pager.StartCode(), startAfter);
}

// Keys go to the list, which has the focus; "clear" takes the selection away. The
// dialog is finished with Enter in the list, OK or ｷｬﾝｾﾙ.
void TestEmployeeSearch::searchDialog_data()
{
    QTest::addColumn<int>("startCode");
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<int>("chosenCode"); // -1: none
    const int clear = 0;

    QTest::newRow("Enter takes the first line") << 201 << QList<int>{} << "Enter" << Range(201, 210) << 201;
    QTest::newRow("F3 in the list selects the first line")
        << 201 << QList<int>{Qt::Key_Down, Qt::Key_F3} << "Enter" << Range(211, 215) << 211;
    QTest::newRow("F2 in the list from the third") << 203 << QList<int>{Qt::Key_F2} << "Enter" << Range(201, 210) << 201;
    QTest::newRow("Delete does nothing, OK")
        << 201 << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Delete} << "OK" << Range(201, 210) << 203;
    QTest::newRow("Escape leaves it open") << 201 << QList<int>{Qt::Key_Escape} << "ｷｬﾝｾﾙ" << Range(201, 210) << -1;
    QTest::newRow("no line selected") << 201 << QList<int>{clear} << "OK" << Range(201, 210) << -1;
    QTest::newRow("empty list") << 300 << QList<int>{Qt::Key_F3, Qt::Key_F2} << "Enter" << QList<int>{} << -1;
}

void TestEmployeeSearch::searchDialog()
{
    QFETCH(int, startCode);
    QFETCH(QList<int>, keys);
    QFETCH(QString, finish);
    QFETCH(QList<int>, shown);
    QFETCH(int, chosenCode);

    AddEmployees(Range(201, 215));
    CEmployeeSearchDlg dlg;
    dlg.m_nStartCode = startCode;
    QVERIFY(ShowAndWait(dlg));
    CSearchListBox *list = dlg.GetList();
    QCOMPARE(QApplication::focusWidget(), list);
    for (int key : keys) {
        if (key)
            QTest::keyClick(list, Qt::Key(key));
        else
            list->clearSelection();
        QVERIFY(dlg.isVisible());
        QCOMPARE(m_frame->m_captions, SearchCaptions());
        QCOMPARE(m_frame->m_status, QStringLiteral("社員を選んでください。"));
    }
    QCOMPARE(CodesOf(list), shown);
    if (finish == u"Enter")
        QTest::keyClick(list, Qt::Key_Return);
    for (QPushButton *button : dlg.findChildren<QPushButton *>())
        if (button->text() == finish)
            button->click();
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(finish == u"ｷｬﾝｾﾙ" ? QDialog::Rejected : QDialog::Accepted));
    QCOMPARE(dlg.m_nSelectedID, chosenCode < 0 ? -1 : IdOfCode(chosenCode));
    QCOMPARE(m_frame->m_captions, CFakeFrame::CompanySet());
}

void TestEmployeeSearch::startCodeDialog_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("startCode");
    QTest::newRow("empty is 0") << "" << 0;
    QTest::newRow("leading zeros") << "0012" << 12;
    QTest::newRow("nine digits") << "123456789" << 123456789;
    QTest::newRow("nine digits at most") << "1234567890" << 123456789;
}

// Typed, Enter to leave the field, Enter on OK.
void TestEmployeeSearch::startCodeDialog()
{
    QFETCH(QString, typed);
    QFETCH(int, startCode);
    CStartCodeDlg dlg;
    QVERIFY(ShowAndWait(dlg));
    QCOMPARE(m_frame->m_captions, CFuncKeyDialog::PlainCaptions());
    QCOMPARE(m_frame->m_status, QStringLiteral("開始社員コードを入力してください。"));
    TypeText(typed);
    PressKey(Qt::Key_Return);
    PressKey(Qt::Key_Return);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.GetStartCode(), startCode);
    QCOMPARE(m_frame->m_captions, CFakeFrame::CompanySet());
}

// The employee of code 7 belongs to unit; the search starts at the code typed and
// takes the first line.
void TestEmployeeSearch::treeSearch_data()
{
    QTest::addColumn<QString>("typed"); // "cancel": the start number is not given
    QTest::addColumn<QString>("unit");
    QTest::addColumn<QString>("selected"); // empty: nothing selected
    QTest::addColumn<QStringList>("said");

    const QStringList asked{"開始番号", "社員検索"};
    const QString gone = QStringLiteral("社員「0007 | 社員7」の所属部課が見つかりません。");
    QTest::newRow("three levels down") << "7"
                                       << "deep"
                                       << "一係" << asked;
    QTest::newRow("in the company itself") << "7"
                                           << "company"
                                           << "本社" << asked;
    QTest::newRow("without a unit") << "7"
                                    << "none"
                                    << "" << (asked + QStringList{"社員「0007 | 社員7」はどの部課にも所属していません。"});
    QTest::newRow("unit deleted") << "7"
                                  << "gone"
                                  << "" << (asked + QStringList{gone});
    QTest::newRow("upper level deleted") << "7"
                                         << "orphan"
                                         << "" << (asked + QStringList{gone});
    QTest::newRow("start number cancelled") << "cancel"
                                            << "deep"
                                            << "" << QStringList{"開始番号"};
    QTest::newRow("nobody from that code") << "9000"
                                           << "deep"
                                           << "" << asked;
}

void TestEmployeeSearch::treeSearch()
{
    QFETCH(QString, typed);
    QFETCH(QString, unit);
    QFETCH(QString, selected);
    QFETCH(QStringList, said);

    const qint32 company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("本社")});
    CRegisterBuilder::AddUnit({0, 5, QStringLiteral("支社")});
    const qint32 sales = CRegisterBuilder::AddUnit({company, 10, QStringLiteral("営業部")});
    CRegisterBuilder::AddUnit({company, 10, QStringLiteral("総務部")});
    const qint32 first = CRegisterBuilder::AddUnit({sales, 10, QStringLiteral("第一課")});
    const qint32 deep = CRegisterBuilder::AddUnit({first, 10, QStringLiteral("一係")});
    const QMap<QString, qint32> units{{"deep", deep},
                                      {"company", company},
                                      {"none", 0},
                                      {"gone", 8888},
                                      {"orphan", CRegisterBuilder::AddUnit({9999, 10, QStringLiteral("迷子課")})}};
    CRegisterBuilder::AddEmployee(CRegisterBuilder::Numbered(3, deep));
    CRegisterBuilder::AddEmployee(CRegisterBuilder::Numbered(7, units.value(unit)));

    SPanes panes;
    CDialogAnswers answers([&typed](QDialog &dialog) {
        if (qobject_cast<QMessageBox *>(&dialog))
            return int(QMessageBox::Ok);
        if (!ShowAndWait(dialog))
            return int(QDialog::Rejected);
        const bool start = qobject_cast<CStartCodeDlg *>(&dialog);
        if (start && typed == u"cancel")
            PressKey(Qt::Key_Escape);
        else if (start)
            TypeText(typed), PressKey(Qt::Key_Return);
        if (dialog.isVisible())
            PressKey(Qt::Key_Return);
        return dialog.result();
    });
    std::unique_ptr<QMenu> menu(panes.tree->CreateContextMenu(panes.tree));
    QAction *search = menu->actions().last();
    QCOMPARE(search->data().toInt(), 32778);
    search->trigger();

    QCOMPARE(answers.Texts(), said);
    QTreeWidgetItem *current = panes.tree->currentItem();
    QCOMPARE(current ? current->text(0) : QString(), selected);
    if (!current)
        return;
    for (QTreeWidgetItem *item = current; item; item = item->parent())
        QVERIFY2(item->isExpanded(), qPrintable(item->text(0)));
    QVERIFY(Column(panes.list).contains(CRegisterBuilder::NumberedName(7)));
}

QTEST_MAIN(TestEmployeeSearch)
#include "tst_employeesearch.moc"
