// The entry field on its own: what each kind of field takes, the era label and
// its keys, the toggle picture, the focus colours, the clipboard keys and tones.
#include "forms/charclass.h"
#include "forms/eracalendar.h"
#include "forms/eradateedit.h"
#include "forms/toneservice.h"
#include "formtestsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QInputMethodEvent>
#include <QTest>
#include <QVBoxLayout>
#include <memory>

class TestEntryField : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void characterClass_data();
    void characterClass();
    void typing_data();
    void typing();
    void inputMethodTextIsFiltered();

    void eraKeys_data();
    void eraKeys();
    void westernDateFieldKeepsItsLabel();
    void setDate_data();
    void setDate();
    void clearedEraFieldHasNoDate();

    void toggle_data();
    void toggle();
    void toggleDeleteEmptiesIt();

    void focusColourAndInputMethod_data();
    void focusColourAndInputMethod();
    void clipboardKeysActOnce();
    void toneWave();

private:
    CEraDateEdit *MakeField(int type, int maxLen, bool eraMode = false);

    std::unique_ptr<QWidget> m_window;
    CEraDateEdit *m_other = nullptr;
};

void TestEntryField::init()
{
    m_window = std::make_unique<QWidget>();
    new QVBoxLayout(m_window.get());
}

void TestEntryField::cleanup()
{
    m_window.reset();
    m_other = nullptr;
}

CEraDateEdit *TestEntryField::MakeField(int type, int maxLen, bool eraMode)
{
    auto *field = new CEraDateEdit(m_window.get());
    m_window->layout()->addWidget(field);
    m_other = new CEraDateEdit(m_window.get());
    m_window->layout()->addWidget(m_other);
    field->SetEraMode(eraMode);
    field->Setup(1, type, maxLen);
    m_other->Setup(2, FIELD_ANY, 10);
    m_window->show();
    if (QTest::qWaitForWindowActive(m_window.get()))
        field->setFocus();
    return field;
}

void TestEntryField::characterClass_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("fieldText");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("digit in digits") << int(FIELD_DIGITS) << "" << "7" << true;
    QTest::newRow("minus first") << int(FIELD_DIGITS) << "" << "-" << true;
    QTest::newRow("minus later") << int(FIELD_DIGITS) << "1" << "-" << false;
    QTest::newRow("first point") << int(FIELD_DIGITS) << "12" << "." << true;
    QTest::newRow("second point") << int(FIELD_DIGITS) << "1.2" << "." << false;
    QTest::newRow("letter in digits") << int(FIELD_DIGITS) << "" << "a" << false;
    QTest::newRow("kana in digits") << int(FIELD_DIGITS) << "" << "ｱ" << false;
    QTest::newRow("backspace in digits") << int(FIELD_DIGITS) << "1" << "\b" << true;
    QTest::newRow("enter never") << int(FIELD_ANY) << "" << "\r" << false;
    QTest::newRow("tab never") << int(FIELD_ANY) << "" << "\t" << false;
    QTest::newRow("letter in ascii") << int(FIELD_TEXT_ASCII) << "" << "Z" << true;
    QTest::newRow("space in ascii") << int(FIELD_TEXT_ASCII) << "" << " " << true;
    QTest::newRow("underscore in ascii") << int(FIELD_TEXT_ASCII) << "" << "_" << true;
    QTest::newRow("minus inside ascii") << int(FIELD_TEXT_ASCII) << "123" << "-" << true;
    QTest::newRow("half-width kana in ascii") << int(FIELD_TEXT_ASCII) << "" << "ｱ" << true;
    QTest::newRow("half-width stop in ascii") << int(FIELD_TEXT_ASCII) << "" << "｡" << false;
    QTest::newRow("caret in ascii") << int(FIELD_TEXT_ASCII) << "" << "^" << false;
    QTest::newRow("brace in ascii") << int(FIELD_TEXT_ASCII) << "" << "{" << false;
    QTest::newRow("grave in ascii") << int(FIELD_TEXT_ASCII) << "" << "`" << false;
    QTest::newRow("kanji in ascii") << int(FIELD_TEXT_ASCII) << "" << "東" << false;
    QTest::newRow("full-width letter in ascii") << int(FIELD_TEXT_ASCII) << "" << "Ａ" << false;
    QTest::newRow("accented letter in ascii") << int(FIELD_TEXT_ASCII) << "" << "é" << false;
    QTest::newRow("kanji in any") << int(FIELD_ANY) << "" << "東" << true;
    QTest::newRow("hiragana in any") << int(FIELD_ANY) << "" << "あ" << true;
    QTest::newRow("digit in date") << int(FIELD_DATE) << "" << "0" << true;
    QTest::newRow("slash in date") << int(FIELD_DATE) << "" << "/" << false;
    QTest::newRow("minus in date") << int(FIELD_DATE) << "" << "-" << false;
    QTest::newRow("letter in toggle") << int(FIELD_TOGGLE) << "" << "x" << false;
    QTest::newRow("unknown type takes nothing") << 4 << "" << "1" << false;
}

void TestEntryField::characterClass()
{
    QFETCH(int, type);
    QFETCH(QString, fieldText);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QCOMPARE(CCharClass::Accepts(CCharClass::MaskForType(type), typed.toUcs4().at(0), fieldText), accepted);
}

void TestEntryField::typing_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("maxLen");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("digits") << int(FIELD_DIGITS) << 8 << "-12.5.3a-" << "-12.53";
    QTest::newRow("digits stop at the limit") << int(FIELD_DIGITS) << 6 << "1234567" << "123456";
    QTest::newRow("ascii refuses kanji") << int(FIELD_TEXT_ASCII) << 16 << "03-東京1234 ext" << "03-1234 ext";
    QTest::newRow("postal code limit") << int(FIELD_TEXT_ASCII) << 8 << "123-45678" << "123-4567";
    QTest::newRow("date takes digits only") << int(FIELD_DATE) << 6 << "89.01-08x" << "890108";
    QTest::newRow("any takes everything") << int(FIELD_ANY) << 60 << "株式会社ﾓﾙﾍﾞｸ A-1" << "株式会社ﾓﾙﾍﾞｸ A-1";
}

void TestEntryField::typing()
{
    QFETCH(int, type);
    QFETCH(int, maxLen);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    CEraDateEdit *field = MakeField(type, maxLen);
    TypeText(typed, field);
    QCOMPARE(field->text(), shown);
    QCOMPARE(field->GetFieldText(), shown);
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->GetFieldText(), shown.chopped(1));
}

void TestEntryField::inputMethodTextIsFiltered()
{
    CEraDateEdit *field = MakeField(FIELD_TEXT_ASCII, 16);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("東京abc"));
    QApplication::sendEvent(field, &commit);
    QCOMPARE(field->GetFieldText(), QStringLiteral("abc"));
}

void TestEntryField::eraKeys_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QStringList>("labels");
    const int up = Qt::Key_PageUp;
    const int down = Qt::Key_PageDown;
    QTest::newRow("up to the newest era and no further")
        << QList<int>{up, up, up, up, up, up}
        << QStringList{"明治", "大正", "昭和", "平成", "令和", "令和"};
    QTest::newRow("down from no era gives the first")
        << QList<int>{down, down} << QStringList{"明治", "明治"};
    QTest::newRow("down stops at the first era")
        << QList<int>{up, up, up, down, down, down, down}
        << QStringList{"明治", "大正", "昭和", "大正", "明治", "明治", "明治"};
}

void TestEntryField::eraKeys()
{
    QFETCH(QList<int>, keys);
    QFETCH(QStringList, labels);
    CEraDateEdit *field = MakeField(FIELD_DATE, 6, true);
    QCOMPARE(field->EraLabel(), QStringLiteral("和暦"));
    TypeText(QStringLiteral("010101"));
    for (int i = 0; i < keys.size(); ++i) {
        QTest::keyClick(field, Qt::Key(keys[i]));
        QCOMPARE(field->EraLabel(), labels[i]);
    }
    // The digits stay; only how they are read changes.
    QCOMPARE(field->GetFieldText(), QStringLiteral("010101"));
    QCOMPARE(field->GetDate().GetYear(), CEraCalendar::BaseYear(field->Era()) + 1);
}

void TestEntryField::westernDateFieldKeepsItsLabel()
{
    CEraDateEdit *field = MakeField(FIELD_DATE, 6, false);
    QTest::keyClick(field, Qt::Key_PageUp);
    QCOMPARE(field->Era(), 0);
    QCOMPARE(field->EraLabel(), QStringLiteral("西暦"));
}

void TestEntryField::setDate_data()
{
    QTest::addColumn<bool>("eraMode");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("label");
    QTest::newRow("heisei first day") << true << QDate(1989, 1, 8) << "010108" << "平成";
    QTest::newRow("showa last day") << true << QDate(1989, 1, 7) << "640107" << "昭和";
    QTest::newRow("reiwa first day") << true << QDate(2019, 5, 1) << "010501" << "令和";
    QTest::newRow("before any era") << true << QDate(1868, 9, 7) << "" << "和暦";
    QTest::newRow("western") << false << QDate(1989, 1, 8) << "890108" << "西暦";
}

void TestEntryField::setDate()
{
    QFETCH(bool, eraMode);
    QFETCH(QDate, date);
    QFETCH(QString, shown);
    QFETCH(QString, label);
    CEraDateEdit *field = MakeField(FIELD_DATE, 6, eraMode);
    field->SetDate(CDateValue(date));
    QCOMPARE(field->text(), shown);
    QCOMPARE(field->EraLabel(), label);
    if (!shown.isEmpty()) {
        QCOMPARE(field->GetDate().Date(), date);
        QCOMPARE(field->CheckDateText(shown), 0);
    }
}

void TestEntryField::clearedEraFieldHasNoDate()
{
    CEraDateEdit *field = MakeField(FIELD_DATE, 6, true);
    field->SetDate(CDateValue(1998, 1, 1));
    field->ClearField();
    QCOMPARE(field->text(), QString());
    QCOMPARE(field->EraLabel(), QStringLiteral("和暦"));
    TypeText(QStringLiteral("100101"));
    QVERIFY(!field->GetDate().IsValid());
    QCOMPARE(field->CheckDateText(QStringLiteral("100101")), 1);
    QTest::keyClick(field, Qt::Key_PageUp);
    QCOMPARE(field->CheckDateText(QStringLiteral("100101")), 0);
    QCOMPARE(field->GetDate().Date(), QDate(1877, 1, 1));
}

void TestEntryField::toggle_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("on");
    QTest::newRow("0 empties") << "1" << int(Qt::Key_0) << false;
    QTest::newRow("7 fills") << "0" << int(Qt::Key_7) << true;
    QTest::newRow("backspace fills") << "0" << int(Qt::Key_Backspace) << true;
    QTest::newRow("letter does nothing") << "0" << int(Qt::Key_A) << false;
}

void TestEntryField::toggle()
{
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(bool, on);
    CEraDateEdit *field = MakeField(FIELD_TOGGLE, 1);
    field->SetFieldText(start);
    QTest::keyClick(field, Qt::Key(key));
    QCOMPARE(field->ToggleIsOn(), on);
    QCOMPARE(field->text(), start);     // the control's own text stays

    // The picture: a red ball when on, the grey ring's empty middle when off.
    const QImage image = field->grab().toImage();
    const QRgb middle = image.pixel(field->rect().left() + 2 + 10 + 8, field->height() / 2);
    QCOMPARE(qRed(middle) > 150 && qGreen(middle) < 100, on);

    const int cursor = field->cursorPosition();
    QTest::keyClick(field, Qt::Key_Left);
    QTest::keyClick(field, Qt::Key_Right);
    QCOMPARE(field->cursorPosition(), cursor);
    QCOMPARE(field->ToggleIsOn(), on);
}

void TestEntryField::toggleDeleteEmptiesIt()
{
    CEraDateEdit *field = MakeField(FIELD_TOGGLE, 1);
    field->SetFieldText(QStringLiteral("1"));
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QCOMPARE(field->GetFieldText(), QString());
    QVERIFY(!field->ToggleIsOn());
}

void TestEntryField::focusColourAndInputMethod_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("inputMethod");
    QTest::newRow("ascii") << int(FIELD_TEXT_ASCII) << true;
    QTest::newRow("digits") << int(FIELD_DIGITS) << false;
    QTest::newRow("toggle") << int(FIELD_TOGGLE) << false;
    QTest::newRow("date") << int(FIELD_DATE) << false;
    QTest::newRow("any") << int(FIELD_ANY) << true;
}

void TestEntryField::focusColourAndInputMethod()
{
    QFETCH(int, type);
    QFETCH(bool, inputMethod);
    CEraDateEdit *field = MakeField(type, 6);
    QTRY_VERIFY(field->hasFocus());
    QCOMPARE(field->BackColor(), QColor(255, 255, 0));
    QCOMPARE(field->grab().toImage().pixelColor(field->width() - 6, field->height() / 2), QColor(255, 255, 0));
    QCOMPARE(field->testAttribute(Qt::WA_InputMethodEnabled), inputMethod);
    int number = 0;
    QVERIFY(field->IsFocused(number));
    QCOMPARE(number, 1);
    // Free text opens the input method, ASCII text closes it.
    if (inputMethod)
        QCOMPARE(bool(field->inputMethodHints() & Qt::ImhLatinOnly), type == FIELD_TEXT_ASCII);
    m_other->setFocus();
    QTRY_VERIFY(!field->hasFocus());
    QCOMPARE(field->BackColor(), QColor(Qt::white));
    QVERIFY(!field->IsFocused(number));
}

void TestEntryField::clipboardKeysActOnce()
{
    CEraDateEdit *field = MakeField(FIELD_TEXT_ASCII, 16);
    QApplication::clipboard()->setText(QStringLiteral("AB"));
    QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(field->GetFieldText(), QStringLiteral("AB"));
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(field->GetFieldText(), QString());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("AB"));
    field->SetFieldText(QStringLiteral("xyz"));
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("xyz"));
    QCOMPARE(field->GetFieldText(), QStringLiteral("xyz"));
}

void TestEntryField::toneWave()
{
    QCOMPARE(CToneService::Frequency(CToneService::Tone::Accepted), 240);
    QCOMPARE(CToneService::Duration(CToneService::Tone::Accepted), 8);
    QCOMPARE(CToneService::Frequency(CToneService::Tone::Rejected), 752);
    QCOMPARE(CToneService::Duration(CToneService::Tone::Rejected), 15);
    const QByteArray wave = CToneService::MakeWave(752, 15, 8000);
    QCOMPARE(wave.left(4), QByteArray("RIFF"));
    QCOMPARE(wave.mid(8, 8), QByteArray("WAVEfmt "));
    QCOMPARE(wave.size(), 44 + 120 * 2);
    // Nobody listening and no observer: playing must not block or fail.
    CToneService::Play(CToneService::Tone::Rejected);
}

QTEST_MAIN(TestEntryField)
#include "tst_entryfield.moc"
