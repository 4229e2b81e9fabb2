// Finding an employee by code: the pages of the search list, the two dialogs as a
// person uses them, and the tree's search that shows the employee's unit.
#include "app/modalseam.h"
#include "employee/employeesearchdlg.h"
#include "employee/searchlistbox.h"
#include "employee/searchpager.h"
#include "employee/startcodedlg.h"
#include "forms/funckeycaptions.h"
#include "formtestsupport.h"
#include "store/daodatabase.h"
#include "viewsfixture.h"

#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

namespace {
QString NameFor(qint32 code)
{
    return QStringLiteral("社員%1").arg(code);
}

// Inserted from the highest code down, so that ID order is not code order; in one
// transaction, as a row at a time waits for the disk each time.
void AddEmployees(const QList<int> &codes)
{
    QStringList statements;
    for (auto it = codes.crbegin(); it != codes.crend(); ++it)
        statements << QStringLiteral("INSERT INTO Mast01 (Code, Busyo, Sex, Name) VALUES (%1, 0, 0, '%2')")
                          .arg(*it)
                          .arg(NameFor(*it));
    CDaoDatabase db;
    db.Open(CDaoRecordset::ApplicationDatabasePath());
    db.ExecuteAll(statements);
    db.Close();
}

QList<int> Range(int from, int to)
{
    QList<int> codes;
    for (int code = from; code <= to; ++code)
        codes << code;
    return codes;
}

qint32 IdOfCode(qint32 code)
{
    CMast01 set;
    set.Open();
    return set.FindFirst(QStringLiteral("Code = %1").arg(code)) ? set.m_ID : -1;
}

QList<int> CodesOf(const QStringList &lines)
{
    QList<int> codes;
    for (const QString &line : lines)
        codes << line.section(QLatin1Char(' '), 0, 0).toInt();
    return codes;
}

QStringList Texts(const QList<SSearchLine> &lines)
{
    QStringList texts;
    for (const SSearchLine &line : lines)
        texts << line.strText;
    return texts;
}

QStringList Texts(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QPushButton *Button(QDialog &dialog, const QString &text)
{
    for (QPushButton *button : dialog.findChildren<QPushButton *>())
        if (button->text() == text)
            return button;
    return nullptr;
}

bool ShowAndWait(QDialog &dialog)
{
    dialog.show();
    dialog.activateWindow();
    // A dialog with a parent counts as active while its parent is; wait for its own turn.
    return QTest::qWaitFor([&dialog] { return QApplication::activeWindow() == &dialog; });
}
} // namespace

class TestEmployeeSearch : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void lineFormat_data();
    void lineFormat();
    void startCodeFromText_data();
    void startCodeFromText();
    void paging_data();
    void paging();
    void closedSetGivesEmptyPages();

    void searchDialogKeys_data();
    void searchDialogKeys();
    void typedStartCode_data();
    void typedStartCode();
    void captionsAndPrompt_data();
    void captionsAndPrompt();

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
    CModalSeam::SetResponder({});
    m_frame.reset();
    m_db.reset();
}

void TestEmployeeSearch::lineFormat_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    QTest::newRow("padded to four digits") << 12 << "山田太郎" << "0012 | 山田太郎";
    QTest::newRow("zero") << 0 << "" << "0000 | ";
    QTest::newRow("five digits are kept") << 10000 << "鈴木" << "10000 | 鈴木";
    QTest::newRow("negative") << -5 << "x" << "-005 | x";
}

void TestEmployeeSearch::lineFormat()
{
    QFETCH(int, code);
    QFETCH(QString, name);
    QFETCH(QString, line);
    QCOMPARE(CSearchPager::FormatLine(code, name), line);
}

void TestEmployeeSearch::startCodeFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("digits") << "0012" << 12;
    QTest::newRow("leading blanks") << "  42" << 42;
    QTest::newRow("sign") << "-7" << -7;
    QTest::newRow("stops at a letter") << "12ab3" << 12;
    QTest::newRow("no digit") << "ab" << 0;
    QTest::newRow("too long for a code") << "99999999999999" << 2147483647;
}

void TestEmployeeSearch::startCodeFromText()
{
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(CSearchPager::StartCodeFromText(text), code);
}

// keys: 2 for the previous page, 3 for the next, in order.
void TestEmployeeSearch::paging_data()
{
    QTest::addColumn<QList<int>>("codes");
    QTest::addColumn<int>("startCode");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<int>("startAfter");

    const QList<int> fifteen = Range(1, 15);
    QTest::newRow("first page of fifteen") << fifteen << 1 << "" << Range(1, 10) << 1;
    QTest::newRow("next page holds the last five") << fifteen << 1 << "3" << Range(11, 15) << 1;
    QTest::newRow("next page after the last changes nothing") << fifteen << 1 << "33" << Range(11, 15) << 1;
    QTest::newRow("previous page goes back to the first ten") << fifteen << 1 << "332" << Range(1, 10) << 1;
    QTest::newRow("previous from the third starts at the first") << fifteen << 3 << "2" << Range(1, 10) << 1;
    QTest::newRow("previous on the first page shows it again") << fifteen << 1 << "2" << Range(1, 10) << 1;
    QTest::newRow("previous goes back ten rows")
        << Range(1, 30) << 1 << "333" << Range(21, 30) << 1;
    QTest::newRow("previous from page three") << Range(1, 30) << 1 << "332" << Range(11, 20) << 11;
    QTest::newRow("start code between codes") << QList<int>{10, 20, 30} << 15 << "" << QList<int>{20, 30} << 15;
    QTest::newRow("start code 0 starts at the lowest") << Range(5, 8) << 0 << "" << Range(5, 8) << 0;
    QTest::newRow("start above every code: empty") << fifteen << 16 << "" << QList<int>{} << 16;
    QTest::newRow("empty list: paging changes nothing") << fifteen << 16 << "32" << QList<int>{} << 16;
    QTest::newRow("no employees at all") << QList<int>{} << 0 << "3" << QList<int>{} << 0;
    // The second 10 shares the code of the page's last line and is passed over.
    QList<int> duplicate = Range(1, 10);
    duplicate << 10 << 11 << 12;
    QTest::newRow("duplicate code at a page end") << duplicate << 1 << "3" << QList<int>{11, 12} << 1;
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
    CMast01 set;
    set.m_strSort = QStringLiteral("Code");
    set.Open();
    CSearchPager pager(&set);
    pager.FillPage(startCode);
    for (const QChar key : keys) {
        const QStringList before = Texts(pager.Lines());
        const bool changed = key == u'2' ? pager.PrevPage() : pager.NextPage();
        if (!changed)
            QCOMPARE(Texts(pager.Lines()), before);
    }
    QCOMPARE(CodesOf(Texts(pager.Lines())), shown);
    QCOMPARE(pager.StartCode(), startAfter);
    // Each line carries the ID of the employee it names.
    for (const SSearchLine &line : pager.Lines()) {
        const int code = line.strText.section(u' ', 0, 0).toInt();
        QCOMPARE(line.strText, CSearchPager::FormatLine(code, NameFor(code)));
        QCOMPARE(line.nID, IdOfCode(code));
    }
}

void TestEmployeeSearch::closedSetGivesEmptyPages()
{
    AddEmployees(Range(1, 3));
    CMast01 closed;
    for (CSearchPager pager : {CSearchPager(&closed), CSearchPager(nullptr)}) {
        pager.FillPage(0);
        QVERIFY(pager.Lines().isEmpty());
        QVERIFY(!pager.NextPage());
        QVERIFY(!pager.PrevPage());
    }
}

// Keys go to the list, as it has the focus when the dialog opens. "clear" takes the
// selection away; the dialog is finished with Enter in the list, OK or ｷｬﾝｾﾙ.
void TestEmployeeSearch::searchDialogKeys_data()
{
    QTest::addColumn<int>("startCode");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QString>("finish");
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("chosenCode"); // -1: no employee

    QTest::newRow("Enter takes the first line") << 201 << QStringList{} << "Enter" << Range(201, 210) << 1 << 201;
    QTest::newRow("Down twice, OK") << 201 << QStringList{"Down", "Down"} << "OK" << Range(201, 210) << 1 << 203;
    QTest::newRow("F3 in the list selects the first line")
        << 201 << QStringList{"Down", "F3"} << "Enter" << Range(211, 215) << 1 << 211;
    QTest::newRow("F3 then F2 in the list") << 201 << QStringList{"F3", "F2"} << "Enter" << Range(201, 210) << 1 << 201;
    QTest::newRow("F2 from the third employee") << 203 << QStringList{"F2"} << "OK" << Range(201, 210) << 1 << 201;
    QTest::newRow("Delete does nothing") << 201 << QStringList{"Down", "Delete"} << "OK" << Range(201, 210) << 1 << 202;
    QTest::newRow("Escape leaves the dialog open")
        << 201 << QStringList{"Escape"} << "Cancel" << Range(201, 210) << 0 << -1;
    QTest::newRow("no line selected") << 201 << QStringList{"clear"} << "OK" << Range(201, 210) << 1 << -1;
    QTest::newRow("start above every code") << 300 << QStringList{"F3", "F2"} << "Enter" << QList<int>{} << 1 << -1;
}

void TestEmployeeSearch::searchDialogKeys()
{
    QFETCH(int, startCode);
    QFETCH(QStringList, keys);
    QFETCH(QString, finish);
    QFETCH(QList<int>, shown);
    QFETCH(int, result);
    QFETCH(int, chosenCode);

    AddEmployees(Range(201, 215));
    CMast01 set;
    set.m_strSort = QStringLiteral("Code");
    set.Open();
    CEmployeeSearchDlg dlg;
    dlg.m_pRecordset = &set;
    dlg.m_nStartCode = startCode;
    QVERIFY(ShowAndWait(dlg));
    CSearchListBox *list = dlg.GetList();
    QCOMPARE(QApplication::focusWidget(), list);
    const QMap<QString, Qt::Key> named{{"F2", Qt::Key_F2}, {"F3", Qt::Key_F3}, {"Down", Qt::Key_Down},
                                       {"Delete", Qt::Key_Delete}, {"Escape", Qt::Key_Escape}};
    for (const QString &key : keys) {
        if (key == u"clear")
            list->clearSelection();
        else
            QTest::keyClick(list, named.value(key));
        QVERIFY(dlg.isVisible());
        QCOMPARE(QApplication::focusWidget(), list);
    }
    QCOMPARE(CodesOf(Texts(list)), shown);
    if (finish == u"Enter")
        QTest::keyClick(list, Qt::Key_Return);
    else
        Button(dlg, finish == u"OK" ? QStringLiteral("OK") : QStringLiteral("ｷｬﾝｾﾙ"))->click();
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), result);
    QCOMPARE(dlg.m_nSelectedID, chosenCode < 0 ? -1 : IdOfCode(chosenCode));
}

void TestEmployeeSearch::typedStartCode_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("startCode");
    QTest::newRow("empty is 0") << "" << 0;
    QTest::newRow("leading zeros") << "0012" << 12;
    QTest::newRow("four digits at most") << "12345" << 1234;
    QTest::newRow("letters are not taken") << "7a8" << 78;
}

// Typed, Enter to leave the field, Enter on OK.
void TestEmployeeSearch::typedStartCode()
{
    QFETCH(QString, typed);
    QFETCH(int, startCode);
    CStartCodeDlg dlg;
    QVERIFY(ShowAndWait(dlg));
    TypeText(typed);
    PressKey(Qt::Key_Return);
    QVERIFY(dlg.isVisible());
    PressKey(Qt::Key_Return);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.GetStartCode(), startCode);
}

void TestEmployeeSearch::captionsAndPrompt_data()
{
    QTest::addColumn<bool>("search");
    QTest::addColumn<QStringList>("captions");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<bool>("byEscape");
    const CFuncKeyCaptions::Set searchSet = CFuncKeyCaptions::EmployeeSearch();
    const QStringList searchCaptions(searchSet.begin(), searchSet.end());
    QTest::newRow("search, closed with ｷｬﾝｾﾙ") << true << searchCaptions << "社員を選んでください。" << false;
    QTest::newRow("start number, closed with Escape")
        << false << CFuncKeyDialog::PlainCaptions() << "開始社員コードを入力してください。" << true;
    QTest::newRow("start number, closed with ｷｬﾝｾﾙ")
        << false << CFuncKeyDialog::PlainCaptions() << "開始社員コードを入力してください。" << false;
}

void TestEmployeeSearch::captionsAndPrompt()
{
    QFETCH(bool, search);
    QFETCH(QStringList, captions);
    QFETCH(QString, prompt);
    QFETCH(bool, byEscape);

    AddEmployees(Range(1, 3));
    CMast01 set;
    set.m_strSort = QStringLiteral("Code");
    set.Open();
    std::unique_ptr<CFuncKeyDialog> dlg;
    if (search) {
        auto searchDlg = std::make_unique<CEmployeeSearchDlg>();
        searchDlg->m_pRecordset = &set;
        dlg = std::move(searchDlg);
    } else {
        dlg = std::make_unique<CStartCodeDlg>();
    }
    QVERIFY(ShowAndWait(*dlg));
    QCOMPARE(m_frame->m_captions, captions);
    QCOMPARE(m_frame->m_status, prompt);
    // Paging keeps the prompt; a key without an action shows it again.
    PressKey(Qt::Key_F3);
    QCOMPARE(m_frame->m_status, prompt);
    if (byEscape)
        PressKey(Qt::Key_Escape);
    else
        Button(*dlg, QStringLiteral("ｷｬﾝｾﾙ"))->click();
    QVERIFY(!dlg->isVisible());
    QCOMPARE(dlg->result(), int(QDialog::Rejected));
    QCOMPARE(m_frame->m_captions, CFakeFrame::CompanySet());
    QCOMPARE(m_frame->m_nResetCount, 1);
}

// Each row searches from the start code typed and takes the first line; unit:
// where the employee of that code belongs; the selected unit and what was said.
void TestEmployeeSearch::treeSearch_data()
{
    QTest::addColumn<QString>("typed");     // "cancel": the start number is not given
    QTest::addColumn<QString>("unit");      // deep, company, none, gone, orphan
    QTest::addColumn<QString>("selected");  // the unit left selected, empty for none
    QTest::addColumn<QStringList>("said");

    const QStringList asked{"開始番号", "社員検索"};
    QTest::newRow("three levels down") << "7" << "deep" << "一係" << asked;
    QTest::newRow("straight in the company") << "7" << "company" << "本社" << asked;
    QTest::newRow("without a unit")
        << "7" << "none" << "" << (asked + QStringList{"社員「0007 | 社員7」はどの部課にも所属していません。"});
    QTest::newRow("unit deleted")
        << "7" << "gone" << "" << (asked + QStringList{"社員「0007 | 社員7」の所属部課が見つかりません。"});
    QTest::newRow("unit whose upper level is gone")
        << "7" << "orphan" << "" << (asked + QStringList{"社員「0007 | 社員7」の所属部課が見つかりません。"});
    QTest::newRow("start number cancelled") << "cancel" << "deep" << "" << QStringList{"開始番号"};
    QTest::newRow("nobody from that code") << "9000" << "deep" << "" << asked;
}

void TestEmployeeSearch::treeSearch()
{
    QFETCH(QString, typed);
    QFETCH(QString, unit);
    QFETCH(QString, selected);
    QFETCH(QStringList, said);

    const qint32 company = AddUnit(0, 10, QStringLiteral("本社"));
    AddUnit(0, 5, QStringLiteral("支社"));
    const qint32 sales = AddUnit(company, 10, QStringLiteral("営業部"));
    AddUnit(company, 10, QStringLiteral("総務部"));
    const qint32 first = AddUnit(sales, 10, QStringLiteral("第一課"));
    const qint32 deep = AddUnit(first, 10, QStringLiteral("一係"));
    const qint32 orphan = AddUnit(9999, 10, QStringLiteral("迷子課"));
    const QMap<QString, qint32> units{{"deep", deep}, {"company", company}, {"none", 0},
                                      {"gone", 8888}, {"orphan", orphan}};
    AddEmployee(3, deep, NameFor(3));
    AddEmployee(7, units.value(unit), NameFor(7));
    AddEmployee(8, first, NameFor(8));

    SPanes panes;
    CDialogAnswers answers([&typed](QDialog &dialog) {
        if (qobject_cast<QMessageBox *>(&dialog))
            return int(QMessageBox::Ok);
        if (!ShowAndWait(dialog))
            return int(QDialog::Rejected);
        if (qobject_cast<CStartCodeDlg *>(&dialog) && typed == u"cancel") {
            PressKey(Qt::Key_Escape);
        } else {
            if (qobject_cast<CStartCodeDlg *>(&dialog)) {
                TypeText(typed);
                PressKey(Qt::Key_Return);
            }
            PressKey(Qt::Key_Return);
        }
        return dialog.result();
    });
    std::unique_ptr<QMenu> menu(panes.tree->CreateContextMenu(panes.tree));
    QAction *search = menu->actions().last();
    QCOMPARE(search->text(), QStringLiteral("検索"));
    QCOMPARE(search->data().toInt(), 32778);
    search->trigger();

    QCOMPARE(answers.Texts(), said);
    QTreeWidgetItem *current = panes.tree->currentItem();
    QCOMPARE(current ? current->text(0) : QString(), selected);
    if (!current)
        return;
    for (QTreeWidgetItem *item = current; item; item = item->parent())
        QVERIFY2(item->isExpanded(), qPrintable(item->text(0)));
    QVERIFY(Column(panes.list).contains(NameFor(7)));
}

QTEST_MAIN(TestEmployeeSearch)
#include "tst_employeesearch.moc"
