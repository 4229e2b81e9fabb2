// What a screen reader finds: every window and dialog walked through QAccessible, fields
// named by their labels, the function-key bar naming its keys, the status bar and
// refusals announced, the focus taken into each window, colours readable on any palette.
#include "chart/staffsnapshot.h"
#include "charts/orgchartpaperdlg.h"
#include "charts/orgchartwnd.h"
#include "charts/stafffigureswnd.h"
#include "backup/databasebackup.h"
#include "base/accessiblenotice.h"
#include "employee/employeeform.h"
#include "employee/employeesearchdlg.h"
#include "employee/employeeviewdlg.h"
#include "employee/historydlg.h"
#include "employee/namesearchdlg.h"
#include "employee/startcodedlg.h"
#include "forms/postalchoicedlg.h"
#include "forms/asofdatedlg.h"
#include "forms/colorstatic.h"
#include "forms/companydlg.h"
#include "forms/deptdlg.h"
#include "forms/dialogtemplate.h"
#include "forms/eradateedit.h"
#include "forms/funckeybar.h"
#include "forms/readablecolors.h"
#include "formtestsupport.h"
#include "print/cardstockdlg.h"
#include "print/listoptionstab.h"
#include "printlayout/cardsheet.h"
#include "printlayout/listprintchoice.h"
#include "document/morvekdoc.h"
#include "shell/aboutdlg.h"
#include "shell/childframe.h"
#include "shell/csvchoicedlg.h"
#include "shell/csvpreviewdlg.h"
#include "shell/mainframe.h"
#include "shell/restoredlg.h"
#include "shell/serverdlg.h"
#include "support/registerbuilder.h"
#include "testsupport.h"
#include "views/focusframe.h"
#include "views/leftview.h"
#include "views/morvekview.h"
#include "views/transferdlg.h"
#include "views/unaffiliateddlg.h"

#include <QAccessible>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QStyleOptionViewItem>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>

namespace {
// Roles a user reaches or works with; each needs a name even when it takes no focus.
bool Interactive(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::List:
    case QAccessible::Tree:
    case QAccessible::Table:
    case QAccessible::PageTab:
    case QAccessible::Grouping:
    case QAccessible::Splitter:
        return true;
    default:
        return false;
    }
}

QString Describe(QAccessibleInterface *item)
{
    QObject *object = item->object();
    return QStringLiteral("%1 (role %2)")
        .arg(object ? QString::fromLatin1(object->metaObject()->className()) : QStringLiteral("?"))
        .arg(int(item->role()), 0, 16);
}

void Walk(QAccessibleInterface *item, QStringList &problems)
{
    for (int i = 0; i < item->childCount(); ++i) {
        QAccessibleInterface *child = item->child(i);
        if (!child || child->state().invisible)
            continue;
        const QAccessible::Role role = child->role();
        // A group is the user's when it has a frame and title; a button box only holds the buttons.
        const bool group = role == QAccessible::Grouping && qobject_cast<QGroupBox *>(child->object());
        if ((child->state().focusable || (Interactive(role) && role != QAccessible::Grouping) || group)
            && role != QAccessible::ScrollBar && child->text(QAccessible::Name).trimmed().isEmpty())
            problems << QStringLiteral("no name: ") + Describe(child);
        // The rows of a list are named by their own text.
        if (role != QAccessible::List && role != QAccessible::Tree && role != QAccessible::Table)
            Walk(child, problems);
    }
}

// What is wrong with a shown window for a screen reader, or nothing.
QStringList Problems(QWidget *window)
{
    QStringList problems;
    QAccessibleInterface *top = QAccessible::queryAccessibleInterface(window);
    if (!top || top->text(QAccessible::Name).isEmpty())
        problems << QStringLiteral("the window has no name");
    if (top)
        Walk(top, problems);
    for (QLabel *label : window->findChildren<QLabel *>())
        if (QWidget *buddy = label->buddy(); buddy && buddy->accessibleName() != CDialogTemplate::LabelName(label->text()))
            problems << QStringLiteral("「%1」 is named 「%2」").arg(label->text(), buddy->accessibleName());
    for (CEraDateEdit *field : window->findChildren<CEraDateEdit *>())
        if (field->isVisible() && field->accessibleDescription().isEmpty())
            problems << QStringLiteral("field 「%1」 has no description").arg(field->accessibleName());
    QWidget *focus = QApplication::focusWidget();
    if (!focus || (focus != window && !window->isAncestorOf(focus)))
        problems << QStringLiteral("the focus is not in the window");
    return problems;
}

struct SEvent {
    QAccessible::Event type;
    QObject *object;
    QString name;
};

// Every notice a screen reader would be sent while it lives, with the name it would read.
class CEventRecorder final
{
public:
    CEventRecorder()
    {
        CAccessibleNotice::SetObserver([this](QObject *object, QAccessible::Event type) {
            QAccessibleInterface *item = QAccessible::queryAccessibleInterface(object);
            m_events.append({type, object, item ? item->text(QAccessible::Name) : QString()});
        });
    }
    ~CEventRecorder() { CAccessibleNotice::SetObserver({}); }
    bool Saw(QAccessible::Event type, QObject *object, const QString &name = {}) const
    {
        return std::any_of(m_events.cbegin(), m_events.cend(), [&](const SEvent &e) {
            return e.type == type && e.object == object && (name.isEmpty() || e.name == name);
        });
    }

private:
    QList<SEvent> m_events;
};
} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void everyWindowNamed_data();
    void everyWindowNamed();
    void masterFormFieldsByLabel();
    void companyWindowPanes();
    void funcKeyBarSaysItsKeys();
    void statusAnnounced();
    void refusedFieldTold();
    void readableColors_data();
    void readableColors();
    void fieldReadableOnDarkPalette();
    void focusFrameDrawn_data();
    void focusFrameDrawn();

private:
    std::unique_ptr<CTempDatabase> m_db;
    std::unique_ptr<CFakeFrame> m_frame;
    QTemporaryDir m_settings;
    qint32 m_nEmployee = 0;
};

void TestAccessibility::init()
{
    IsolateSettings(m_settings.path());
    m_db = std::make_unique<CTempDatabase>();
    m_frame = std::make_unique<CFakeFrame>();
    const qint32 company = CRegisterBuilder::AddUnit({0, 1, QStringLiteral("本社")});
    const qint32 sales = CRegisterBuilder::AddUnit({company, 1, QStringLiteral("営業部")});
    m_nEmployee = CRegisterBuilder::AddEmployee({.code = 5, .busyo = sales, .name = QStringLiteral("山田 太郎")});
}

void TestAccessibility::cleanup()
{
    m_frame.reset();
    m_db.reset();
}

using FMake = std::function<QWidget *()>;
Q_DECLARE_METATYPE(FMake)

void TestAccessibility::everyWindowNamed_data()
{
    QTest::addColumn<FMake>("make");
    QTest::newRow("メインウィンドウと会社構成") << FMake([] {
        auto *frame = new CMainFrame;
        frame->CreateChildFrame(std::make_unique<CMorvekDoc>())->showMaximized();
        return frame;
    });
    QTest::newRow("社員マスタ登録") << FMake([] { return new CEmployeeForm; });
    QTest::newRow("会社登録") << FMake([] { return new CCompanyDlg; });
    QTest::newRow("部課登録") << FMake([] {
        auto *dialog = new CDeptDlg;
        dialog->m_strUpper = QStringLiteral("本社");
        return dialog;
    });
    QTest::newRow("基準日") << FMake([] { return new CAsOfDateDlg; });
    QTest::newRow("開始番号") << FMake([] { return new CStartCodeDlg; });
    QTest::newRow("名前で検索") << FMake([] { return new CNameSearchDlg; });
    QTest::newRow("社員検索") << FMake([] { return new CEmployeeSearchDlg; });
    QTest::newRow("社員の異動") << FMake([] { return new CTransferDlg(1); });
    QTest::newRow("社員の表示") << FMake([this] {
        auto *dialog = new CEmployeeViewDlg;
        dialog->m_nEmployeeID = m_nEmployee;
        return dialog;
    });
    QTest::newRow("変更履歴") << FMake([this] { return new CHistoryDlg(m_nEmployee, QStringLiteral("山田 太郎")); });
    QTest::newRow("所属のない社員") << FMake([] { return new CUnaffiliatedDlg(nullptr); });
    QTest::newRow("バージョン情報") << FMake([] { return new CAboutDlg; });
    QTest::newRow("CSV書き出し") << FMake([] {
        return new CCsvChoiceDlg(QStringLiteral("CSV書き出し"), QStringLiteral("文字コード"), QStringLiteral("UTF-8"),
                                 QStringLiteral("Shift_JIS"));
    });
    QTest::newRow("CSV読み込み") << FMake([] {
        auto *dialog = new CCsvPreviewDlg(QStringLiteral("CSV読み込み"));
        dialog->AddColumns(QStringLiteral("社員.csv"), false, {QStringLiteral("社員コード"), QStringLiteral("年齢")},
                           {0, -1});
        dialog->ShowSummary(QStringLiteral("社員: 追加 1 人"), true, true);
        return dialog;
    });
    QTest::newRow("住所の選択") << FMake([] {
        return new CPostalChoiceDlg(QStringLiteral("住所の選択"), QStringLiteral("〒 530-0001 には住所が 2 つあります。"),
                                    {QStringLiteral("大阪府大阪市北区梅田"), QStringLiteral("大阪府大阪市北区曽根崎")});
    });
    QTest::newRow("バックアップから戻す") << FMake([] {
        SBackupInfo copy;
        copy.path = QStringLiteral("/tmp/odata-20261208.mdb");
        copy.taken = QDateTime(QDate(2026, 12, 8), QTime(9, 0));
        return new CRestoreDlg({copy});
    });
    QTest::newRow("サーバー") << FMake([] { return new CServerDlg(QStringLiteral("postgresql://host/db")); });
    QTest::newRow("名刺の用紙") << FMake([] { return new CCardStockDlg(CCardSheet()); });
    QTest::newRow("一覧の印刷") << FMake([] {
        auto *tab = new CListOptionsTab(CListPrintChoice());
        tab->setWindowTitle(QStringLiteral("一覧の印刷"));
        return tab;
    });
    QTest::newRow("組織図") << FMake([] {
        auto *window = new COrgChartWnd(CStaffSnapshot::Read(nullptr), nullptr, 0);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        return window;
    });
    QTest::newRow("組織図の用紙") << FMake([] { return new COrgChartPaperDlg(QStringLiteral("組織図の印刷")); });
    QTest::newRow("人員構成") << FMake([] {
        auto *window = new CStaffFiguresWnd(CStaffSnapshot::Read(nullptr), 0, nullptr);
        window->setAttribute(Qt::WA_DeleteOnClose, false);
        return window;
    });
}

// Each window has a name, and so has every field, button, list and group in it; a
// field's name is its label's; the focus goes into the window as it opens.
void TestAccessibility::everyWindowNamed()
{
    QFETCH(FMake, make);
    std::unique_ptr<QWidget> window(make());
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QApplication::processEvents();
    const QStringList problems = Problems(window.get());
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QStringLiteral("\n"))));
}

// The master form's fields as a screen reader reads them: name, then the prompt.
void TestAccessibility::masterFormFieldsByLabel()
{
    CEmployeeForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    const QStringList expected = {"社員コード", "氏名", "ふりがな", "性別",  "生年月日", "入社年月日",
                                  "退社年月日", "〒",   "住所1",    "住所2", "TEL",      "FAX"};
    for (int i = 1; i <= form.FieldCount(); ++i) {
        QAccessibleInterface *field = QAccessible::queryAccessibleInterface(form.Field(i));
        QCOMPARE(field->text(QAccessible::Name), expected.at(i - 1));
        QCOMPARE(field->text(QAccessible::Description), form.Field(i)->toolTip());
    }
    // Labels that show a field's name lead to it.
    int buddies = 0;
    for (QLabel *label : form.findChildren<QLabel *>())
        buddies += label->buddy() ? 1 : 0;
    QCOMPARE(buddies, 7); // 性別, 〒, TEL, FAX and the three dates
}

void TestAccessibility::companyWindowPanes()
{
    CLeftView tree(nullptr);
    CMorvekView list(nullptr);
    QCOMPARE(QAccessible::queryAccessibleInterface(&tree)->text(QAccessible::Name), QStringLiteral("会社と部課"));
    QCOMPARE(QAccessible::queryAccessibleInterface(&list)->text(QAccessible::Name), QStringLiteral("社員一覧"));
}

// Each key is named with its caption, and a new caption is announced.
void TestAccessibility::funcKeyBarSaysItsKeys()
{
    CFuncKeyBar bar;
    QCOMPARE(QAccessible::queryAccessibleInterface(&bar)->text(QAccessible::Name), QStringLiteral("ファンクションキー"));
    const QString key = QStringLiteral("F%1");
    for (int i = 0; i < 12; ++i) {
        const QString caption = bar.GetCaption(i);
        QCOMPARE(QAccessible::queryAccessibleInterface(bar.GetCell(i))->text(QAccessible::Name),
                 caption == key.arg(i + 1) ? caption : key.arg(i + 1) + u' ' + caption);
    }
    // A key without a task says only its name.
    bar.SetCaption(5, QString());
    QCOMPARE(QAccessible::queryAccessibleInterface(bar.GetCell(5))->text(QAccessible::Name), QStringLiteral("F6"));
    CEventRecorder events;
    bar.SetCaption(6, QStringLiteral("削除"));
    bar.SetCaption(5, QString());
    QCOMPARE(QAccessible::queryAccessibleInterface(bar.GetCell(6))->text(QAccessible::Name), QStringLiteral("F7 削除"));
    QVERIFY(events.Saw(QAccessible::NameChanged, bar.GetCell(6), QStringLiteral("F7 削除")));
    QVERIFY(!events.Saw(QAccessible::NameChanged, bar.GetCell(5)));
}

// A message in the status bar is heard as its name changes; a refusal as an alert.
void TestAccessibility::statusAnnounced()
{
    CMainFrame frame;
    auto *pane = frame.findChild<QLabel *>(QStringLiteral("messagePane"));
    QVERIFY(pane);
    CEventRecorder events;
    frame.SetStatusText(QStringLiteral("社員コードを入力してください。"));
    QVERIFY(events.Saw(QAccessible::NameChanged, pane, QStringLiteral("社員コードを入力してください。")));
    QVERIFY(!events.Saw(QAccessible::Alert, pane));
    frame.SetRefusalText(QStringLiteral("社員コード 5 は既に登録されています。"));
    QVERIFY(events.Saw(QAccessible::Alert, pane, QStringLiteral("社員コード 5 は既に登録されています。")));
}

// The red frame of a refused field is also said in words, and taken back with it.
void TestAccessibility::refusedFieldTold()
{
    CEmployeeForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    CEraDateEdit *field = form.Field(CEmployeeForm::FieldCode);
    CEventRecorder events;
    field->SetMarked(true, QStringLiteral("社員コード 5 は既に登録されています。"));
    QCOMPARE(field->accessibleDescription(), QStringLiteral("誤り: 社員コード 5 は既に登録されています。"));
    QVERIFY(events.Saw(QAccessible::DescriptionChanged, field));
    field->SetMarked(false);
    QCOMPARE(field->accessibleDescription(), field->toolTip());
}

void TestAccessibility::readableColors_data()
{
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("shown");
    QTest::newRow("black on yellow stays") << QColor(255, 255, 0) << QColor(Qt::black) << QColor(Qt::black);
    QTest::newRow("white on yellow turns black") << QColor(255, 255, 0) << QColor(Qt::white) << QColor(Qt::black);
    QTest::newRow("blue on yellow stays") << QColor(255, 255, 0) << QColor(0, 0, 200) << QColor(0, 0, 200);
    QTest::newRow("blue on black turns white") << QColor(Qt::black) << QColor(0, 0, 200) << QColor(Qt::white);
    QTest::newRow("grey on grey turns black") << QColor(200, 200, 200) << QColor(160, 160, 160) << QColor(Qt::black);
    // 4.5:1 exactly is enough; just below is not.
    QTest::newRow("at 4.5:1") << QColor(Qt::white) << QColor(118, 118, 118) << QColor(118, 118, 118);
    QTest::newRow("below 4.5:1") << QColor(Qt::white) << QColor(119, 119, 119) << QColor(Qt::black);
}

void TestAccessibility::readableColors()
{
    QFETCH(QColor, background);
    QFETCH(QColor, text);
    QFETCH(QColor, shown);
    QCOMPARE(CReadableColors::TextOn(background, text), shown);
    QVERIFY(CReadableColors::Contrast(background, CReadableColors::TextOn(background, text)) >= 4.5);
}

// A high-contrast palette (light text on black): the field being typed in takes the
// palette's highlight, not the fixed yellow, and its text stands out from it.
void TestAccessibility::fieldReadableOnDarkPalette()
{
    const QPalette before = QApplication::palette();
    QPalette dark(QColor(Qt::black), QColor(Qt::black));
    dark.setColor(QPalette::Window, Qt::black);
    dark.setColor(QPalette::WindowText, Qt::white);
    dark.setColor(QPalette::Base, Qt::black);
    dark.setColor(QPalette::Text, Qt::white);
    dark.setColor(QPalette::Highlight, QColor(0, 0, 160));
    dark.setColor(QPalette::Button, Qt::black);
    dark.setColor(QPalette::ButtonText, Qt::white);
    QApplication::setPalette(dark);
    QVERIFY(CReadableColors::DarkPalette(dark));
    {
        CEmployeeForm form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        CEraDateEdit *field = form.Field(CEmployeeForm::FieldCode);
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        QCOMPARE(field->BackColor(), QColor(0, 0, 160));
        QVERIFY(CReadableColors::Contrast(field->palette().color(QPalette::Base), field->palette().color(QPalette::Text))
                >= 4.5);
    }
    QApplication::setPalette(before);
    QVERIFY(!CReadableColors::DarkPalette(QApplication::palette()));
}

void TestAccessibility::focusFrameDrawn_data()
{
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("selected");
    QTest::newRow("focused") << true << false;
    QTest::newRow("focused and selected") << true << true;
    QTest::newRow("selected only") << false << true;
    QTest::newRow("neither") << false << false;
}

// The item with the keyboard's focus has a frame in the icon styles and the tree,
// also when it is selected; no other item has one.
void TestAccessibility::focusFrameDrawn()
{
    QFETCH(bool, focused);
    QFETCH(bool, selected);
    QImage image(80, 40, QImage::Format_RGB32);
    const QColor back = selected ? QColor(48, 140, 198) : QColor(Qt::white);
    image.fill(back);
    QStyleOptionViewItem option;
    option.rect = image.rect();
    option.palette = QApplication::palette();
    option.state = QStyle::State_Enabled | (focused ? QStyle::State_HasFocus : QStyle::State_None);
    {
        QPainter painter(&image);
        CFocusFrame::Paint(&painter, option);
    }
    int marked = 0;
    for (int x = 0; x < image.width(); ++x)
        marked += QColor(image.pixel(x, 1)) != back ? 1 : 0;
    QCOMPARE(marked > image.width() / 4, focused);
    QCOMPARE(QColor(image.pixel(40, 20)), back); // the item itself stays as it was
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
