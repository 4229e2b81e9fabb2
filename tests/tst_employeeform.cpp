// The employee master form used from the keyboard as a person uses it: register,
// look up, page, correct and delete employees, and what lands in the table.
#include "register/employeecheck.h"
#include "register/employeecode.h"
#include "csv/csvexporter.h"
#include "csv/csvimporter.h"
#include "store/daodatabase.h"
#include "photo/dibblock.h"
#include "employee/employeeform.h"
#include "employee/photobox.h"
#include "photo/picturetransfer.h"
#include "forms/colorstatic.h"
#include "dates/eracalendar.h"
#include "forms/eradateedit.h"
#include "kana/readingsuggester.h"
#include "forms/funckeycaptions.h"
#include "formtestsupport.h"
#include "store/mast01.h"
#include "support/registerbuilder.h"
#include "rawconnection.h"
#include "testsupport.h"

#include <QClipboard>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QInputMethodEvent>
#include <QPushButton>
#include <memory>
#include <optional>

namespace {
struct SEmployee {
    qint32 code;
    const char16_t *name;
    bool sex;
    CDateValue sdate;
    CDateValue indat;
    CDateValue outdat;
    qint32 busyo;
};

// Codes 10, 20, 30: the first belongs to unit 3 and has all its columns filled,
// the second has no dates at all, the third has left.
const SEmployee kStaff[] = {
    {10, u"青木一郎", false, CDateValue(1960, 5, 5), CDateValue(1985, 4, 1), CDateValue(), 3},
    {20, u"佐藤花子", true, CDateValue(), CDateValue(), CDateValue(), 0},
    {30, u"鈴木次郎", false, CDateValue(1970, 1, 2), CDateValue(1992, 4, 1), CDateValue(2000, 3, 31), 0},
};

std::optional<QVariantMap> ReadEmployee(qint32 code)
{
    CMast01 set;
    set.Open();
    if (!set.FindFirst(QStringLiteral("Code = %1").arg(code)))
        return std::nullopt;
    return QVariantMap{{"ID", set.m_ID},
                       {"Busyo", set.m_Busyo},
                       {"Sex", set.m_Sex},
                       {"Name", set.m_Name},
                       {"Kana", set.m_Kana},
                       {"Sdate", set.m_Sdate.Date()},
                       {"Indat", set.m_Indat.Date()},
                       {"SdateNull", set.m_Sdate.IsNull()},
                       {"IndatNull", set.m_Indat.IsNull()},
                       {"OutdatNull", set.m_Outdat.IsNull()},
                       {"Outdat", set.m_Outdat.Date()},
                       {"Yuu", set.m_Yuu},
                       {"Juu1", set.m_Juu1},
                       {"Juu2", set.m_Juu2},
                       {"TEL", set.m_TEL},
                       {"FAX", set.m_FAX},
                       {"Rire", set.m_Rire},
                       {"Sikaku", set.m_Sikaku},
                       {"Mem", set.m_Mem},
                       {"Email", set.m_Email},
                       {"Pic", set.m_Pic.Data()}};
}

int EmployeeCount()
{
    CMast01 set;
    set.Open();
    return set.GetRecordCount();
}

// A face photo as another program puts it on the clipboard.
QByteArray PutPhotoOnClipboard()
{
    QImage image(24, 32, QImage::Format_RGB32);
    image.fill(qRgb(200, 120, 80));
    const QByteArray dib = MakePackedDib(image);
    QGuiApplication::clipboard()->setMimeData(CPictureTransfer::MakeMimeData(dib));
    return dib;
}

QString TodayInEra()
{
    int era = 0;
    return CEraCalendar::ToEraText(CDateValue::CurrentTime(), era);
}

// Offscreen, a dialog owned by the form does not take the application's focus from it,
// so keys meant for the dialog go to its own focus widget.
void KeyInto(QDialog &dialog, Qt::Key key)
{
    QTest::keyClick(dialog.focusWidget() ? dialog.focusWidget() : &dialog, key);
}
} // namespace

class TestEmployeeForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void codeValue_data();
    void codeValue();
    void registerThroughTheKeyboard();
    void codeOnEnter_data();
    void codeOnEnter();
    void paging_data();
    void paging();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void escapeAsksBeforeTypingIsLost_data();
    void escapeAsksBeforeTypingIsLost();
    void readingFilledOnLeavingTheName_data();
    void readingFilledOnLeavingTheName();
    void dateLeftShort_data();
    void dateLeftShort();
    void correctingKeepsWhatTheFormDoesNotShow();
    void failedSaveKeepsTypingAndTheOtherUsersChange();
    void saveRefused_data();
    void saveRefused();
    void saveWithTakenCode_data();
    void saveWithTakenCode();
    void wholeCodeShownAndKept_data();
    void wholeCodeShownAndKept();
    void wholeCodeRoundTrip();
    void dateReasons_data();
    void dateReasons();
    void datesOutOfOrder_data();
    void datesOutOfOrder();
    void eraPutRightOnLeaving();
    void functionKeyOnTheButton();
    void cutPhotoIsSavedAsNone();
    void untouchedPhotoIsNotWritten();
    void searchKey_data();
    void searchKey();
    void saveAfterCancelledSearchChangesTheShownOnly();

private:
    QWidget *Focused() const { return QApplication::focusWidget(); }
    CEraDateEdit *Field(int n) const { return m_form->Field(n); }
    QString Text(int n) const { return Field(n)->GetFieldText(); }
    QString ModeCaption() const;
    // Opens the employee with this code for correction through the code field.
    void OpenEmployee(int code);
    void TypeAndEnter(const QString &text);
    void EnterTo(int nField);
    void Register();
    // Chooses an item of the photo's context menu.
    void PhotoMenu(const QString &item);

    std::unique_ptr<CTempDatabase> m_db;
    std::unique_ptr<CFakeFrame> m_frame;
    std::unique_ptr<CToneRecorder> m_tones;
    std::unique_ptr<CEmployeeForm> m_form;
};

void TestEmployeeForm::init()
{
    m_db = std::make_unique<CTempDatabase>();
    m_frame = std::make_unique<CFakeFrame>();
    m_tones = std::make_unique<CToneRecorder>();
    for (const SEmployee &e : kStaff) {
        CRegisterBuilder::AddEmployee({.code = e.code,
                                       .busyo = e.busyo,
                                       .name = QString::fromUtf16(e.name),
                                       .female = e.sex,
                                       .kana = QStringLiteral("よみ%1").arg(e.code),
                                       .birth = e.sdate,
                                       .joined = e.indat,
                                       .left = e.outdat,
                                       .yuu = QStringLiteral("100-00%1").arg(e.code),
                                       .rire = QStringLiteral("経歴"),
                                       .sikaku = QStringLiteral("簿記"),
                                       .mem = QStringLiteral("メモ"),
                                       .email = QStringLiteral("x@example.jp"),
                                       .pic = QByteArray("photo ") + QByteArray::number(e.code)});
    }
    m_form = std::make_unique<CEmployeeForm>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTRY_COMPARE(Focused(), Field(1));
}

void TestEmployeeForm::cleanup()
{
    m_form.reset();
    m_tones.reset();
    m_frame.reset();
    m_db.reset();
}

QString TestEmployeeForm::ModeCaption() const
{
    return m_form->findChild<CColorStatic *>()->GetWindowText();
}

void TestEmployeeForm::TypeAndEnter(const QString &text)
{
    TypeText(text);
    PressKey(Qt::Key_Return);
}

void TestEmployeeForm::OpenEmployee(int code)
{
    Field(1)->setFocus();
    Field(1)->selectAll();
    TypeAndEnter(QString::number(code));
    QCOMPARE(ModeCaption(), QStringLiteral("[訂正]"));
    QCOMPARE(Focused(), Field(2));
}

// Enter through the fields until field nField has the focus.
void TestEmployeeForm::EnterTo(int nField)
{
    for (int i = 0; i < 12 && Focused() != Field(nField); ++i)
        PressKey(Qt::Key_Return);
    QCOMPARE(Focused(), Field(nField));
}

void TestEmployeeForm::Register()
{
    m_form->OkButton()->setFocus();
    PressKey(Qt::Key_Return);
}

void TestEmployeeForm::PhotoMenu(const QString &item)
{
    std::unique_ptr<QMenu> menu(m_form->PhotoBox()->CreateContextMenu(m_form.get()));
    for (QAction *action : menu->actions()) {
        if (action->text() == item) {
            action->trigger();
            return;
        }
    }
    QFAIL(qPrintable(item));
}

void TestEmployeeForm::codeValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("digits") << "0042" << 42;
    QTest::newRow("minus") << "-7" << -7;
    QTest::newRow("minus alone") << "-" << 0;
    QTest::newRow("stops at the point") << "12.9" << 12;
    QTest::newRow("letters first") << "a12" << 0;
    QTest::newRow("saturates") << "99999999999" << 2147483647;
}

void TestEmployeeForm::codeValue()
{
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(CEmployeeCode::Value(text), value);
}

void TestEmployeeForm::registerThroughTheKeyboard()
{
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Yes; });
    TypeAndEnter(QStringLiteral("40"));
    QCOMPARE(ModeCaption(), QStringLiteral("[新規]"));
    TypeAndEnter(QStringLiteral("山田太郎"));
    TypeAndEnter(QStringLiteral("やまだたろう"));
    TypeAndEnter(QStringLiteral("1"));
    for (int i = 0; i < 3; ++i)
        PressKey(Qt::Key_PageUp);
    QCOMPARE(Field(5)->EraLabel(), QStringLiteral("昭和"));
    TypeAndEnter(QStringLiteral("500401"));
    for (int i = 0; i < 4; ++i)
        PressKey(Qt::Key_PageUp);
    QCOMPARE(Field(6)->EraLabel(), QStringLiteral("平成"));
    TypeAndEnter(QStringLiteral("100401"));
    PressKey(Qt::Key_Return); // no leaving date
    TypeAndEnter(QStringLiteral("060-0001"));
    TypeAndEnter(QStringLiteral("札幌市中央区"));
    TypeAndEnter(QStringLiteral("北一条西２丁目"));
    TypeAndEnter(QStringLiteral("011-222-3333"));
    TypeAndEnter(QStringLiteral("011-222-4444"));
    QCOMPARE(Focused(), m_form->OkButton());
    const QByteArray photo = PutPhotoOnClipboard();
    PhotoMenu(QStringLiteral("貼り付け(&P)"));
    QCOMPARE(Focused(), m_form->OkButton());
    PressKey(Qt::Key_Return);
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("登録しますか？")});

    const auto row = ReadEmployee(40);
    QVERIFY(row);
    const QVariantMap expected{{"Busyo", 0},
                               {"Sex", true},
                               {"Name", "山田太郎"},
                               {"Kana", "やまだたろう"},
                               {"Sdate", QDate(1975, 4, 1)},
                               {"Indat", QDate(1998, 4, 1)},
                               {"OutdatNull", true},
                               {"Yuu", "060-0001"},
                               {"Juu1", "札幌市中央区"},
                               {"Juu2", "北一条西２丁目"},
                               {"TEL", "011-222-3333"},
                               {"FAX", "011-222-4444"},
                               {"Rire", ""},
                               {"Sikaku", ""},
                               {"Mem", ""},
                               {"Email", ""},
                               {"Pic", photo}};
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QVERIFY2(row->value(it.key()) == it.value(), qPrintable(it.key()));
    QCOMPARE(EmployeeCount(), 4);

    // Ready for the next one.
    QCOMPARE(ModeCaption(), QStringLiteral("[新規]"));
    QCOMPARE(Focused(), Field(1));
    for (int i = 1; i <= 12; ++i)
        QVERIFY2(Text(i).isEmpty(), qPrintable(QString::number(i)));
    QCOMPARE(m_form->ShownID(), 0);
    QVERIFY(m_form->PhotoBox()->GetPicture().isEmpty());

    // The new row takes its place in code order.
    OpenEmployee(30);
    PressKey(Qt::Key_F3);
    QCOMPARE(Text(1), QStringLiteral("40"));
    QCOMPARE(m_form->PhotoBox()->GetPicture(), photo);
}

void TestEmployeeForm::codeOnEnter_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name"); // field 2 afterwards
    const QString newMode = QStringLiteral("[新規]");
    const QString correct = QStringLiteral("[訂正]");
    for (int mode : {0, 1}) {
        const QString caption = mode ? correct : newMode;
        // Correct mode starts from code 30 on screen, new mode from an empty form.
        const QString shown = mode ? QStringLiteral("鈴木次郎") : QString();
        const QByteArray tag = mode ? "correct: " : "new: ";
        QTest::newRow(tag + "zero") << mode << "0" << false << caption << shown;
        QTest::newRow(tag + "empty") << mode << "" << false << caption << shown;
        QTest::newRow(tag + "minus alone") << mode << "-" << false << caption << shown;
    }
    QTest::newRow("new: existing code opens it") << 0 << "0020" << true << correct << "佐藤花子";
    QTest::newRow("new: free code empties the rest") << 0 << "25" << true << newMode << "";
    QTest::newRow("correct: next code up") << 1 << "25" << true << correct << "鈴木次郎";
    QTest::newRow("correct: below all") << 1 << "1" << true << correct << "青木一郎";
    QTest::newRow("correct: above all") << 1 << "31" << false << correct << "鈴木次郎";
}

void TestEmployeeForm::codeOnEnter()
{
    QFETCH(int, mode);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, caption);
    QFETCH(QString, name);
    if (mode == 1) {
        OpenEmployee(30);
        PressKey(Qt::Key_Up);
        PressKey(Qt::Key_Backspace);
    }
    m_tones->m_tones.clear();
    TypeAndEnter(typed);
    QCOMPARE(m_tones->m_tones, QList{accepted ? CToneService::Tone::Accepted : CToneService::Tone::Rejected});
    QCOMPARE(Focused(), accepted ? Field(2) : Field(1));
    QCOMPARE(ModeCaption(), caption);
    QCOMPARE(Text(2), name);
    // A refusal says why in words, not with the tone alone.
    if (!accepted) {
        QCOMPARE(m_frame->m_status, typed == u"31" ? QStringLiteral("社員コード 31 以降の社員はいません。")
                                                   : QStringLiteral("社員コードを入力してください。"));
        QVERIFY(Field(1)->IsMarked());
    }
}

void TestEmployeeForm::paging_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("field"); // where the key is pressed
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("shown");
    QTest::newRow("F2 at the lowest") << 10 << 2 << int(Qt::Key_F2) << 10;
    QTest::newRow("F3 at the highest") << 30 << 2 << int(Qt::Key_F3) << 30;
    QTest::newRow("F2") << 30 << 5 << int(Qt::Key_F2) << 20;
    QTest::newRow("F3") << 10 << 12 << int(Qt::Key_F3) << 20;
    QTest::newRow("F2 on the code field") << 30 << 1 << int(Qt::Key_F2) << 30;
    QTest::newRow("F3 on the code field") << 10 << 1 << int(Qt::Key_F3) << 10;
}

void TestEmployeeForm::paging()
{
    QFETCH(int, start);
    QFETCH(int, field);
    QFETCH(int, key);
    QFETCH(int, shown);
    OpenEmployee(start);
    if (field == 1)
        PressKey(Qt::Key_Up);
    else
        EnterTo(field);
    PressKey(Qt::Key(key));
    QCOMPARE(Text(1), QString::number(shown));
    QCOMPARE(Focused(), Field(field));
    QCOMPARE(ModeCaption(), QStringLiteral("[訂正]"));
}

void TestEmployeeForm::deleteAsksFirst_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("no keeps the row") << false;
    QTest::newRow("yes deletes it") << true;
}

void TestEmployeeForm::deleteAsksFirst()
{
    QFETCH(bool, yes);
    int enterPresses = QMessageBox::NoButton;
    CDialogAnswers answers([&](QDialog &dialog) {
        auto *box = qobject_cast<QMessageBox *>(&dialog);
        if (!box || box->windowTitle() != QStringLiteral("確認") || box->icon() != QMessageBox::Information)
            return int(QMessageBox::Cancel);
        enterPresses = box->standardButton(box->defaultButton());
        return int(yes ? QMessageBox::Yes : QMessageBox::No);
    });
    OpenEmployee(20);
    PressKey(Qt::Key_F7);
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("削除しますか？")});
    // Enter moves through the form's fields: pressed once too often it keeps the employee.
    QCOMPARE(enterPresses, int(QMessageBox::No));
    QCOMPARE(ReadEmployee(20).has_value(), !yes);
    QCOMPARE(EmployeeCount(), yes ? 2 : 3);
    QCOMPARE(ModeCaption(), yes ? QStringLiteral("[新規]") : QStringLiteral("[訂正]"));
    QCOMPARE(Focused(), yes ? Field(1) : Field(2));
    QCOMPARE(Text(2), yes ? QString() : QStringLiteral("佐藤花子"));
}

void TestEmployeeForm::escapeAsksBeforeTypingIsLost_data()
{
    QTest::addColumn<int>("code"); // shown for correction first; 0: a new employee
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("discard");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<bool>("closed");
    QTest::newRow("empty form") << 0 << QString() << false << false << true;
    QTest::newRow("employee only looked at") << 20 << QString() << false << false << true;
    QTest::newRow("correction, いいえ") << 20 << QStringLiteral("佐藤花") << false << true << false;
    QTest::newRow("correction, はい") << 20 << QStringLiteral("佐藤花") << true << true << true;
    QTest::newRow("new employee, いいえ") << 99 << QStringLiteral("新人") << false << true << false;
}

void TestEmployeeForm::escapeAsksBeforeTypingIsLost()
{
    QFETCH(int, code);
    QFETCH(QString, typed);
    QFETCH(bool, discard);
    QFETCH(bool, asked);
    QFETCH(bool, closed);
    int enterPresses = QMessageBox::NoButton;
    CDialogAnswers answers([&](QDialog &dialog) {
        auto &box = dynamic_cast<QMessageBox &>(dialog);
        enterPresses = box.standardButton(box.defaultButton());
        return int(discard ? QMessageBox::Yes : QMessageBox::No);
    });
    if (code == 20) {
        OpenEmployee(code);
    } else if (code != 0) {
        TypeAndEnter(QString::number(code));
        QCOMPARE(ModeCaption(), QStringLiteral("[新規]"));
    }
    if (!typed.isEmpty()) {
        Field(2)->selectAll();
        TypeText(typed);
    }
    PressKey(Qt::Key_Escape);
    QCOMPARE(answers.Texts(), asked ? QStringList{QStringLiteral("入力した内容を破棄しますか？")} : QStringList());
    if (asked)
        QCOMPARE(enterPresses, int(QMessageBox::No));
    QCOMPARE(m_form->isVisible(), !closed);
    if (!closed)
        QCOMPARE(Text(2), typed);
}

void TestEmployeeForm::readingFilledOnLeavingTheName_data()
{
    QTest::addColumn<QStringList>("typed"); // "ime:kana:text" through the input method, else keys
    QTest::addColumn<QString>("reading");   // typed into ふりがな first
    QTest::addColumn<QString>("filled");
    QTest::addColumn<bool>("dictionary"); // the row needs it
    // 大谷 is おおや to the dictionary: the kana typed before converting wins.
    QTest::newRow("typed through the input method") << QStringList{"ime:おおたに:大谷", " ", "ime:はなこ:花子"} << QString()
                                                    << QStringLiteral("おおたに はなこ") << false;
    QTest::newRow("pasted: the dictionary reads it")
        << QStringList{"鈴木 花子"} << QString() << QStringLiteral("すずき はなこ") << true;
    QTest::newRow("a reading typed is kept")
        << QStringList{"ime:すずき:鈴木"} << QStringLiteral("スズキ") << QStringLiteral("スズキ") << false;
}

// Leaving 氏名 with ふりがな empty fills it and says so; a reading typed stays.
void TestEmployeeForm::readingFilledOnLeavingTheName()
{
    QFETCH(QStringList, typed);
    QFETCH(QString, reading);
    QFETCH(QString, filled);
    QFETCH(bool, dictionary);
    if (dictionary && !CReadingSuggester::Instance().IsAvailable())
        QSKIP(qPrintable(CReadingSuggester::Instance().Unavailable()));
    TypeAndEnter(QStringLiteral("99"));
    QCOMPARE(ModeCaption(), QStringLiteral("[新規]"));
    if (!reading.isEmpty())
        Field(3)->SetFieldText(reading);
    for (const QString &part : typed) {
        const QStringList ime = part.split(u':');
        if (ime.size() != 3) {
            TypeText(part);
            continue;
        }
        // The kana shows as pre-edit text, then its conversion is committed.
        QInputMethodEvent preedit(ime[1], {});
        QApplication::sendEvent(Field(2), &preedit);
        QInputMethodEvent commit;
        commit.setCommitString(ime[2]);
        QApplication::sendEvent(Field(2), &commit);
    }
    PressKey(Qt::Key_Return);
    QCOMPARE(Focused(), Field(3));
    QCOMPARE(Text(3), filled);
    QCOMPARE(m_frame->m_status, reading.isEmpty() ? QStringLiteral("読みを補いました。確かめてください。")
                                                  : QStringLiteral("社員名のふりがなを入力してください。"));
}

void TestEmployeeForm::dateLeftShort_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("pageUps");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("era");
    const QString today = TodayInEra();
    int era = 0;
    CEraCalendar::ToEraText(CDateValue::CurrentTime(), era);
    const QString todayEra = CEraCalendar::EraName(era);
    QTest::newRow("birth, nothing") << 5 << 0 << "" << true << today << todayEra;
    QTest::newRow("birth, four digits") << 5 << 3 << "5004" << true << today << todayEra;
    QTest::newRow("joining, one digit") << 6 << 4 << "1" << true << today << todayEra;
    QTest::newRow("leaving, four digits") << 7 << 4 << "1004" << true << ""
                                          << "和暦";
    QTest::newRow("leaving, nothing") << 7 << 0 << "" << true << ""
                                      << "和暦";
    QTest::newRow("birth, a real day") << 5 << 3 << "630229" << true << "630229"
                                       << "昭和";
    QTest::newRow("birth, no such day") << 5 << 4 << "100229" << false << "100229"
                                        << "平成";
    QTest::newRow("leaving, no era") << 7 << 0 << "100401" << false << "100401"
                                     << "和暦";
}

void TestEmployeeForm::dateLeftShort()
{
    QFETCH(int, field);
    QFETCH(int, pageUps);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, after);
    QFETCH(QString, era);
    TypeAndEnter(QStringLiteral("50"));
    TypeAndEnter(QStringLiteral("名前"));
    EnterTo(field);
    for (int i = 0; i < pageUps; ++i)
        PressKey(Qt::Key_PageUp);
    TypeAndEnter(typed);
    QCOMPARE(Focused(), accepted ? Field(field + 1) : Field(field));
    QCOMPARE(Text(field), after);
    QCOMPARE(Field(field)->EraLabel(), era);
}

// A stored employee with no dates at all, saved again unchanged, keeps them
// missing, and what the form does not show stays as it was.
void TestEmployeeForm::correctingKeepsWhatTheFormDoesNotShow()
{
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Yes; });
    const auto before = ReadEmployee(20);
    OpenEmployee(20);
    QCOMPARE(Text(5), QString());
    QCOMPARE(Text(6), QString());
    QCOMPARE(Text(7), QString());
    QCOMPARE(Text(4), QStringLiteral("1"));
    TypeAndEnter(QStringLiteral("佐藤春子"));
    Register();
    QCOMPARE(answers.Texts().size(), 1);
    QCOMPARE(Focused(), Field(2));
    QCOMPARE(Text(2), QStringLiteral("佐藤春子"));

    auto after = ReadEmployee(20);
    QVERIFY(after);
    QCOMPARE(after->value("Name").toString(), QStringLiteral("佐藤春子"));
    (*after)["Name"] = before->value("Name");
    QCOMPARE(*after, *before);

    // The one that has left keeps its leaving date; the one with none gets none.
    OpenEmployee(30);
    QCOMPARE(Text(7), QStringLiteral("120331"));
    QCOMPARE(Field(7)->EraLabel(), QStringLiteral("平成"));
    OpenEmployee(10);
    QCOMPARE(Text(7), QString());
    Register();
    QCOMPARE(ReadEmployee(10)->value("OutdatNull").toBool(), true);
    QCOMPARE(ReadEmployee(10)->value("Busyo").toInt(), 3);
    QCOMPARE(ReadEmployee(10)->value("Sdate").toDate(), QDate(1960, 5, 5));
}

// The file is held by another program when 登録 is pressed, after another user
// changed TEL: the form keeps what was typed, and the retry writes the name only.
void TestEmployeeForm::failedSaveKeepsTypingAndTheOtherUsersChange()
{
    if (m_db->OnServer())
        QSKIP("a server waits for the other writer instead of refusing");
    CDaoDatabase::SetBusyTimeout(100);
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Yes; });
    OpenEmployee(20);
    CRawConnection other(m_db->Path(), QStringLiteral("other"));
    other.Exec(QStringLiteral("UPDATE Mast01 SET TEL = '222' WHERE Code = 20"));
    TypeAndEnter(QStringLiteral("佐藤春子"));
    other.Exec(QStringLiteral("BEGIN IMMEDIATE"));
    Register();
    other.Exec(QStringLiteral("COMMIT"));
    QCOMPARE(answers.Texts().size(), 2);
    QVERIFY2(answers.Texts().last().contains(QStringLiteral("使用中")), qPrintable(answers.Texts().last()));
    QCOMPARE(Text(2), QStringLiteral("佐藤春子"));
    QCOMPARE(ReadEmployee(20)->value("Name").toString(), QStringLiteral("佐藤花子"));
    Register();
    QCOMPARE(ReadEmployee(20)->value("Name").toString(), QStringLiteral("佐藤春子"));
    QCOMPARE(ReadEmployee(20)->value("TEL").toString(), QStringLiteral("222"));
}

void TestEmployeeForm::saveRefused_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("birth");
    QTest::addColumn<int>("refused"); // the field that gets the focus back
    QTest::addColumn<QString>("reason");
    QTest::newRow("no code") << 0 << ""
                             << "山田"
                             << "" << 1 << "社員コードを入力してください。";
    QTest::newRow("code 0") << 0 << "0"
                            << "山田"
                            << "" << 1 << "社員コードを入力してください。";
    QTest::newRow("no name") << 0 << "40"
                             << ""
                             << "" << 2 << "氏名を入力してください。";
    QTest::newRow("birth that is no day") << 0 << "40"
                                          << "山田"
                                          << "5002" << 5 << "生年月日: 6桁の数字で入力してください（例 100101）。";
    QTest::newRow("correct mode, nobody shown") << 1 << "10"
                                                << "山田"
                                                << "" << 1 << "訂正する社員を社員コードで呼び出してください。";
}

// Fields reached with the mouse were never checked; 登録 checks what would do harm,
// and says why in the status bar and in a box, not with the tone alone.
void TestEmployeeForm::saveRefused()
{
    QFETCH(int, mode);
    QFETCH(QString, code);
    QFETCH(QString, name);
    QFETCH(QString, birth);
    QFETCH(int, refused);
    QFETCH(QString, reason);
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Yes; });
    if (mode == 1)
        PressKey(Qt::Key_F5);
    QCOMPARE(ModeCaption(), mode ? QStringLiteral("[訂正]") : QStringLiteral("[新規]"));
    TypeText(code);
    for (const auto &[n, text] : {std::pair{2, name}, std::pair{5, birth}}) {
        Field(n)->setFocus(Qt::MouseFocusReason);
        TypeText(text);
    }
    m_tones->m_tones.clear();
    QTest::mouseClick(m_form->OkButton(), Qt::LeftButton);
    QCOMPARE(answers.Texts(), QStringList{reason});
    QCOMPARE(EmployeeCount(), 3);
    QCOMPARE(ReadEmployee(10)->value("Name").toString(), QStringLiteral("青木一郎"));
    QCOMPARE(m_tones->m_tones, QList{CToneService::Tone::Rejected});
    QTRY_COMPARE(Focused(), Field(refused));
    QCOMPARE(m_form->CurrentField(), refused);
    QCOMPARE(m_frame->m_status, reason);
    QVERIFY(Field(refused)->IsMarked());
    QCOMPARE(Text(2), name);
}

void TestEmployeeForm::saveWithTakenCode_data()
{
    QTest::addColumn<int>("shown");    // employee opened for correction, 0 for new mode
    QTest::addColumn<QString>("code"); // typed into field 1 afterwards, never left with Enter
    QTest::addColumn<int>("taken");    // the code refused, 0 when the save goes through
    QTest::newRow("new: another's code") << 0 << "20" << 20;
    QTest::newRow("new: another's code, leading zeros") << 0 << "0030abc" << 30;
    QTest::newRow("new: free code") << 0 << "40" << 0;
    QTest::newRow("correct: own code") << 20 << "20" << 0;
    QTest::newRow("correct: another's code") << 20 << "10" << 10;
    QTest::newRow("correct: free code") << 20 << "25" << 0;
}

// 登録 with a code field that was not left with Enter: a code another employee has is refused.
void TestEmployeeForm::saveWithTakenCode()
{
    QFETCH(int, shown);
    QFETCH(QString, code);
    QFETCH(int, taken);
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Yes; });
    const auto before = ReadEmployee(shown ? shown : 10);
    const auto holder = ReadEmployee(taken);
    if (shown)
        OpenEmployee(shown);
    else
        Field(2)->setFocus(Qt::MouseFocusReason);
    Field(2)->selectAll();
    TypeText(QStringLiteral("山田"));
    Field(1)->setFocus(Qt::MouseFocusReason);
    Field(1)->selectAll();
    TypeText(code);
    m_tones->m_tones.clear();
    QTest::mouseClick(m_form->OkButton(), Qt::LeftButton);
    if (taken) {
        QCOMPARE(answers.Texts(), QStringList{QStringLiteral("社員コード %1 は既に登録されています。").arg(taken)});
        QCOMPARE(m_tones->m_tones, QList{CToneService::Tone::Rejected});
        QTRY_COMPARE(Focused(), Field(1));
        QCOMPARE(m_frame->m_status, answers.Texts().constFirst());
        QCOMPARE(EmployeeCount(), 3);
        QCOMPARE(*ReadEmployee(shown ? shown : 10), *before);
        QCOMPARE(ReadEmployee(taken), holder);
        QCOMPARE(Text(2), QStringLiteral("山田"));
        return;
    }
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("登録しますか？")});
    QCOMPARE(EmployeeCount(), shown ? 3 : 4);
    const qint32 saved = CEmployeeCode::Value(code);
    QCOMPARE(ReadEmployee(saved)->value("Name").toString(), QStringLiteral("山田"));
    if (shown)
        QCOMPARE(ReadEmployee(saved)->value("ID"), before->value("ID"));
}

// On the 登録 button no field is current: F7 deletes nothing, F5 still switches.
void TestEmployeeForm::functionKeyOnTheButton()
{
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Yes; });
    OpenEmployee(20);
    EnterTo(12);
    PressKey(Qt::Key_Return);
    QCOMPARE(Focused(), m_form->OkButton());
    for (Qt::Key key : {Qt::Key_F7, Qt::Key_F2, Qt::Key_F3})
        PressKey(key);
    QCOMPARE(answers.Texts(), QStringList());
    QCOMPARE(EmployeeCount(), 3);
    QCOMPARE(Text(1), QStringLiteral("20"));
    PressKey(Qt::Key_F5);
    QCOMPARE(ModeCaption(), QStringLiteral("[新規]"));
    QCOMPARE(Focused(), Field(1));
    QCOMPARE(Text(2), QString());
    QCOMPARE(m_form->ShownID(), 0);
}

void TestEmployeeForm::cutPhotoIsSavedAsNone()
{
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Yes; });
    OpenEmployee(10);
    QCOMPARE(m_form->PhotoBox()->GetPicture(), QByteArray("photo 10"));
    PhotoMenu(QStringLiteral("切り取り(&T)"));
    QVERIFY(m_form->PhotoBox()->GetPicture().isEmpty());
    Register();
    QCOMPARE(ReadEmployee(10)->value("Pic").toByteArray(), QByteArray());
    // Another employee's photo is not touched by showing and saving this one.
    QCOMPARE(ReadEmployee(20)->value("Pic").toByteArray(), QByteArray("photo 20"));
}

// A save that did not touch the photo leaves the one another user put there since.
void TestEmployeeForm::untouchedPhotoIsNotWritten()
{
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Yes; });
    OpenEmployee(10);
    QCOMPARE(m_form->PhotoBox()->GetPicture(), QByteArray("photo 10"));
    {
        CRawConnection other(m_db->Path(), QStringLiteral("other"));
        other.Exec(QStringLiteral("UPDATE Mast01 SET Pic = X'0102030405' WHERE Code = 10"));
    }
    TypeAndEnter(QStringLiteral("山田一郎"));
    Register();
    QCOMPARE(answers.Texts().size(), 1); // the question, and no conflict
    QCOMPARE(ReadEmployee(10)->value("Name").toString(), QStringLiteral("山田一郎"));
    QCOMPARE(ReadEmployee(10)->value("Pic").toByteArray(), QByteArray::fromHex("0102030405"));
}

void TestEmployeeForm::searchKey_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<bool>("choose");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<QString>("name");
    QTest::newRow("code field, chosen") << 1 << true << true << "佐藤花子";
    QTest::newRow("code field, cancelled") << 1 << false << true << "";
    QTest::newRow("name field") << 2 << true << false << "";
}

void TestEmployeeForm::searchKey()
{
    QFETCH(int, field);
    QFETCH(bool, choose);
    QFETCH(bool, asked);
    QFETCH(QString, name);
    QString firstLine;
    QWidget *owner = nullptr;
    CDialogAnswers answers([&](QDialog &dialog) {
        owner = dialog.parentWidget();
        dialog.show();
        if (!QTest::qWaitForWindowActive(&dialog))
            return -1;
        firstLine = dialog.findChild<QListWidget *>()->item(0)->text();
        KeyInto(dialog, choose ? Qt::Key_Return : Qt::Key_Escape);
        if (dialog.isVisible())
            dialog.reject();
        return dialog.result();
    });
    TypeText(QStringLiteral("15"));
    if (field == 2)
        PressKey(Qt::Key_Return);
    m_frame->m_captions = CFuncKeyDialog::PlainCaptions();
    PressKey(Qt::Key_F8);
    QCOMPARE(answers.Texts(), asked ? QStringList{QStringLiteral("社員検索")} : QStringList());
    QCOMPARE(firstLine, asked ? QStringLiteral("0020 | 佐藤花子") : QString());
    // A search without an owner window can fall behind the form under a window manager.
    QCOMPARE(owner, asked ? static_cast<QWidget *>(m_form.get()) : nullptr);
    QCOMPARE(Text(2), name);
    QCOMPARE(ModeCaption(), name.isEmpty() ? QStringLiteral("[新規]") : QStringLiteral("[訂正]"));
    const CFuncKeyCaptions::Set master = CFuncKeyCaptions::EmployeeMaster();
    QCOMPARE(m_frame->m_captions, QStringList(master.begin(), master.end()));
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTRY_COMPARE(Focused(), Field(name.isEmpty() ? field : 2));
}

// The search moves the form's set; a save afterwards still goes to the employee on screen.
void TestEmployeeForm::saveAfterCancelledSearchChangesTheShownOnly()
{
    for (int code = 40; code <= 150; code += 10)
        CRegisterBuilder::AddEmployee(CRegisterBuilder::Numbered(code));
    QStringList pages;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (qobject_cast<QMessageBox *>(&dialog))
            return int(QMessageBox::Yes);
        dialog.show();
        if (QTest::qWaitForWindowActive(&dialog)) {
            KeyInto(dialog, Qt::Key_F3);
            pages << dialog.findChild<QListWidget *>()->item(0)->text();
        }
        dialog.reject();
        return int(QDialog::Rejected);
    });
    OpenEmployee(20);
    PressKey(Qt::Key_Up);
    PressKey(Qt::Key_F8);
    QCOMPARE(pages, QStringList{QStringLiteral("0120 | 社員120")});
    m_form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    Field(2)->setFocus();
    TypeText(QStringLiteral("佐藤春子"));
    Register();
    QCOMPARE(answers.Texts().last(), QStringLiteral("登録しますか？"));
    QCOMPARE(ReadEmployee(20)->value("Name").toString(), QStringLiteral("佐藤春子"));
    for (int code : {120, 130, 140, 150})
        QCOMPARE(ReadEmployee(code)->value("Name").toString(), QStringLiteral("社員%1").arg(code));
    // Paging steps from the employee on screen too.
    PressKey(Qt::Key_F3);
    QCOMPARE(Text(1), QStringLiteral("30"));
}

void TestEmployeeForm::wholeCodeShownAndKept_data()
{
    QTest::addColumn<qint32>("code");
    QTest::addColumn<QString>("typed"); // into the code field in correct mode
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("saved");
    QTest::newRow("five digits") << 10044 << "10044"
                                 << "10044" << true;
    QTest::newRow("nine digits") << 999999999 << "999999999"
                                 << "999999999" << true;
    QTest::newRow("too long for any screen") << 2000000000 << "200000000"
                                             << "200000000" << false;
}

// The code field shows the whole code, and a code it could show only cut is never written back cut.
void TestEmployeeForm::wholeCodeShownAndKept()
{
    QFETCH(qint32, code);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(bool, saved);
    CRegisterBuilder::AddEmployee(CRegisterBuilder::Numbered(code));
    CRegisterBuilder::AddEmployee(CRegisterBuilder::Numbered(1004));
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Yes; });
    PressKey(Qt::Key_F5);
    TypeAndEnter(typed);
    QCOMPARE(Text(1), shown);
    QCOMPARE(Text(2), QStringLiteral("社員%1").arg(code));
    Field(2)->selectAll();
    TypeText(QStringLiteral("山田"));
    Register();
    QCOMPARE(ReadEmployee(code)->value("Name").toString(),
             saved ? QStringLiteral("山田") : CRegisterBuilder::NumberedName(code));
    QCOMPARE(ReadEmployee(1004)->value("Name").toString(), QStringLiteral("社員1004"));
    QCOMPARE(EmployeeCount(), 5);
    if (!saved)
        QCOMPARE(answers.Texts(), QStringList{QStringLiteral("社員コード 2000000000 はこの画面では表せません。")});
}

// 123456789 from a file, shown, saved unchanged and written out again: the same line.
void TestEmployeeForm::wholeCodeRoundTrip()
{
    QByteArray before;
    {
        CDaoDatabase db;
        db.Open(CDaoRecordset::ApplicationDatabasePath());
        CCsvImporter importer(db);
        QString error;
        QVERIFY2(
            importer.ReadData(std::nullopt, "社員コード,氏名,ふりがな,性別\r\n123456789,長谷川一,はせがわ,男\r\n", error),
            qPrintable(error));
        QCOMPARE(importer.Plan(CCsvImporter::EExisting::Update).employeesAdded, 1);
        QVERIFY(importer.Apply());
        QByteArray units;
        CCsvExporter(db).Build(units, before);
    }
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Yes; });
    TypeAndEnter(QStringLiteral("123456789"));
    QCOMPARE(Text(1), QStringLiteral("123456789"));
    QCOMPARE(Text(2), QStringLiteral("長谷川一"));
    Register();
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("登録しますか？")});
    CDaoDatabase db;
    db.Open(CDaoRecordset::ApplicationDatabasePath());
    QByteArray units, after;
    CCsvExporter(db).Build(units, after);
    QVERIFY(after.contains("123456789,長谷川一"));
    QCOMPARE(after, before);
}

void TestEmployeeForm::dateReasons_data()
{
    QTest::addColumn<int>("era");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no such day") << 4 << "100230"
                                 << "生年月日: 2月30日という日はありません。";
    QTest::newRow("29 February of a common year") << 4 << "050229"
                                                  << "生年月日: 2月29日という日はありません。";
    QTest::newRow("no such month") << 4 << "101301"
                                   << "生年月日: 13月という月はありません。";
    QTest::newRow("day 0") << 3 << "500100"
                           << "生年月日: 1月0日という日はありません。";
    QTest::newRow("no era") << 0 << "100101"
                            << "生年月日: 年号を PageUp、PageDown で選んでください。";
    QTest::newRow("a real day") << 3 << "630229"
                                << "";
}

void TestEmployeeForm::dateReasons()
{
    QFETCH(int, era);
    QFETCH(QString, text);
    QFETCH(QString, reason);
    QCOMPARE(CEmployeeCheck::DateText(CEmployeeCheck::birth, text, true, era), reason);
}

void TestEmployeeForm::datesOutOfOrder_data()
{
    QTest::addColumn<QString>("birth");  // 昭和
    QTest::addColumn<QString>("joined"); // 昭和
    QTest::addColumn<QString>("left");   // 昭和
    QTest::addColumn<int>("refused");    // 0 when all three are taken
    QTest::addColumn<QString>("reason");
    QTest::newRow("in order") << "400101"
                              << "600401"
                              << "630331" << 0 << "";
    QTest::newRow("joined before born") << "400101"
                                        << "391231"
                                        << "" << 6 << "入社年月日: 生年月日より前の日です。";
    QTest::newRow("left before joining") << "400101"
                                         << "600401"
                                         << "600331" << 7 << "退社年月日: 入社年月日より前の日です。";
    QTest::newRow("same day") << "400101"
                              << "400101"
                              << "400101" << 0 << "";
}

// Leaving a date field checks it against the dates above it.
void TestEmployeeForm::datesOutOfOrder()
{
    QFETCH(QString, birth);
    QFETCH(QString, joined);
    QFETCH(QString, left);
    QFETCH(int, refused);
    QFETCH(QString, reason);
    TypeAndEnter(QStringLiteral("50"));
    TypeAndEnter(QStringLiteral("名前"));
    EnterTo(5);
    const QString typed[] = {birth, joined, left};
    for (int field = 5; field <= 7; ++field) {
        for (int i = 0; i < 3; ++i)
            PressKey(Qt::Key_PageUp);
        m_tones->m_tones.clear();
        TypeAndEnter(typed[field - 5]);
        if (field == refused) {
            QCOMPARE(m_tones->m_tones, QList{CToneService::Tone::Rejected});
            QCOMPARE(Focused(), Field(field));
            QCOMPARE(m_frame->m_status, reason);
            QVERIFY(Field(field)->IsMarked());
            return;
        }
        QCOMPARE(Focused(), Field(field + 1));
    }
    QCOMPARE(refused, 0);
}

// A date typed in an era after it ended shows in its own era once the field is left,
// with a note, and is saved as the day typed.
void TestEmployeeForm::eraPutRightOnLeaving()
{
    CDialogAnswers answers([](QDialog &) { return QMessageBox::Yes; });
    TypeAndEnter(QStringLiteral("50"));
    TypeAndEnter(QStringLiteral("名前"));
    EnterTo(5);
    for (int i = 0; i < 4; ++i)
        PressKey(Qt::Key_PageUp);
    QCOMPARE(Field(5)->EraLabel(), QStringLiteral("平成"));
    TypeAndEnter(QStringLiteral("310501"));
    QCOMPARE(Focused(), Field(6));
    QCOMPARE(Field(5)->EraLabel(), QStringLiteral("令和"));
    QCOMPARE(Text(5), QStringLiteral("010501"));
    QCOMPARE(m_frame->m_status, QStringLiteral("平成31年5月1日は令和元年5月1日です。"));
    Register();
    QCOMPARE(ReadEmployee(50)->value("Sdate").toDate(), QDate(2019, 5, 1));
}

QTEST_MAIN(TestEmployeeForm)
#include "tst_employeeform.moc"
