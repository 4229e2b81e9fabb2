// The entry field on its own: what each kind of field takes, the era keys and
// label, the toggle picture, the focus colour and the clipboard keys.
#include "forms/charclass.h"
#include "forms/eradateedit.h"
#include "forms/toneservice.h"
#include "formtestsupport.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QVBoxLayout>
#include <memory>
#include <utility>

class TestEntryField : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_window = std::make_unique<QWidget>(); }
    void characterClasses();
    void typing_data();
    void typing();
    void eraKeys_data();
    void eraKeys();
    void setDate_data();
    void setDate();
    void toggle_data();
    void toggle();
    void focusColour();
    void clipboardKeysActOnce();
    void toneWave();

private:
    CEraDateEdit *MakeField(int type, int maxLen, bool eraMode = false);
    std::unique_ptr<QWidget> m_window;
};

// The field and a second one to take the focus away.
CEraDateEdit *TestEntryField::MakeField(int type, int maxLen, bool eraMode)
{
    auto *layout = new QVBoxLayout(m_window.get());
    auto *field = new CEraDateEdit(m_window.get());
    auto *other = new CEraDateEdit(m_window.get());
    layout->addWidget(field);
    layout->addWidget(other);
    field->SetEraMode(eraMode);
    field->Setup(1, type, maxLen);
    other->Setup(2, FIELD_ANY, 10);
    m_window->show();
    if (QTest::qWaitForWindowActive(m_window.get()))
        field->setFocus();
    return field;
}

void TestEntryField::characterClasses()
{
    QCOMPARE(CCharClass::Classify(U'5', {}), 1 + 16 + 32);
    QCOMPARE(CCharClass::Classify(U'-', {}), 1 + 8);
    QCOMPARE(CCharClass::Classify(U'-', QStringLiteral("1")), 8);
    QCOMPARE(CCharClass::Classify(U'ｱ', {}), 2 + 4);
    QCOMPARE(CCharClass::Classify(U'｡', {}), 4);
    QCOMPARE(CCharClass::Classify(U'漢', {}), 4);
    QCOMPARE(CCharClass::Classify(U'\b', {}), 0xFFFF);
    QCOMPARE(CCharClass::Classify(U'\t', {}), 0);
    QCOMPARE(CCharClass::MaskForType(4), 0);
}

void TestEntryField::typing_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("maxLen");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    // "-" only first, one ".", no letters or kana.
    QTest::newRow("digits") << int(FIELD_DIGITS) << 8 << "-12.5.3aｱ-"
                            << "-12.53";
    QTest::newRow("digits stop at the limit") << int(FIELD_DIGITS) << 6 << "1234567"
                                              << "123456";
    // Single bytes of code page 932 but not the caret, braces or half-width punctuation.
    QTest::newRow("ascii") << int(FIELD_TEXT_ASCII) << 16 << "03-東^{｡Ａé1_ ｱ@x"
                           << "03-1_ ｱ@x";
    QTest::newRow("date takes digits only") << int(FIELD_DATE) << 6 << "89.01-08x"
                                            << "890108";
    QTest::newRow("free text takes all") << int(FIELD_ANY) << 60 << "株式会社ﾓﾙﾍﾞｸ A-1"
                                         << "株式会社ﾓﾙﾍﾞｸ A-1";
}

void TestEntryField::typing()
{
    QFETCH(int, type);
    QFETCH(int, maxLen);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    CEraDateEdit *field = MakeField(type, maxLen);
    TypeText(typed, field);
    QCOMPARE(field->GetFieldText(), shown);
    QTest::keyClick(field, Qt::Key_Backspace);
    QCOMPARE(field->text(), shown.chopped(1));
    // An input method's committed text is filtered the same way.
    QInputMethodEvent commit;
    commit.setCommitString(typed);
    field->clear();
    QApplication::sendEvent(field, &commit);
    QCOMPARE(field->GetFieldText(), shown);
    // And pasted text, by either key.
    const std::pair<Qt::Key, Qt::KeyboardModifier> pastes[] = {{Qt::Key_Insert, Qt::ShiftModifier},
                                                               {Qt::Key_V, Qt::ControlModifier}};
    for (const auto &[key, modifier] : pastes) {
        field->clear();
        QApplication::clipboard()->setText(typed);
        QTest::keyClick(field, key, modifier);
        QCOMPARE(field->GetFieldText(), shown);
    }
}

void TestEntryField::eraKeys_data()
{
    QTest::addColumn<QString>("keys"); // u PageUp, d PageDown
    QTest::addColumn<QStringList>("labels");
    QTest::newRow("up stops at the newest era") << "uuuuuu" << QStringList{"明治", "大正", "昭和", "平成", "令和", "令和"};
    QTest::newRow("down from none gives the first, then stays")
        << "duddd" << QStringList{"明治", "大正", "明治", "明治", "明治"};
}

void TestEntryField::eraKeys()
{
    QFETCH(QString, keys);
    QFETCH(QStringList, labels);
    CEraDateEdit *field = MakeField(FIELD_DATE, 6, true);
    TypeText(QStringLiteral("010101"));
    for (int i = 0; i < keys.size(); ++i) {
        QTest::keyClick(field, keys[i] == u'u' ? Qt::Key_PageUp : Qt::Key_PageDown);
        QCOMPARE(field->EraLabel(), labels[i]);
    }
    // Only how the digits are read changes.
    QCOMPARE(field->GetFieldText(), QStringLiteral("010101"));
    QCOMPARE(field->GetDate().Date(), QDate(labels.last() == u"令和" ? 2019 : 1868, 1, 1));
}

void TestEntryField::setDate_data()
{
    QTest::addColumn<bool>("eraMode");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("label");
    QTest::newRow("first day of heisei") << true << QDate(1989, 1, 8) << "010108"
                                         << "平成";
    QTest::newRow("first day of reiwa") << true << QDate(2019, 5, 1) << "010501"
                                        << "令和";
    QTest::newRow("before any era") << true << QDate(1868, 9, 7) << ""
                                    << "和暦";
    QTest::newRow("western") << false << QDate(1989, 1, 8) << "890108"
                             << "西暦";
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
    if (!shown.isEmpty())
        QCOMPARE(field->GetDate().Date(), date);
    // Cleared, an era-mode field has no era and so no date.
    field->ClearField();
    QCOMPARE(field->EraLabel(), eraMode ? QStringLiteral("和暦") : QStringLiteral("西暦"));
    TypeText(QStringLiteral("100101"));
    QCOMPARE(field->GetDate().IsValid(), !eraMode);
}

void TestEntryField::toggle_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("on");
    QTest::newRow("0 empties") << "1" << int(Qt::Key_0) << false;
    QTest::newRow("7 fills") << "0" << int(Qt::Key_7) << true;
    QTest::newRow("backspace fills") << "0" << int(Qt::Key_Backspace) << true;
    QTest::newRow("delete of the selection empties") << "1" << int(Qt::Key_Delete) << false;
}

void TestEntryField::toggle()
{
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(bool, on);
    CEraDateEdit *field = MakeField(FIELD_TOGGLE, 1);
    field->SetFieldText(start);
    field->selectAll();
    const int cursor = field->cursorPosition();
    QTest::keyClick(field, Qt::Key_Left);
    QTest::keyClick(field, Qt::Key_Right);
    QCOMPARE(field->cursorPosition(), cursor);
    QTest::keyClick(field, Qt::Key(key));
    QCOMPARE(field->ToggleIsOn(), on);
    // The middle of the picture: the red ball, or the grey ring's empty centre.
    const QColor middle = field->grab().toImage().pixelColor(field->rect().left() + 20, field->height() / 2);
    QCOMPARE(middle.red() > 150 && middle.green() < 100, on);
}

void TestEntryField::focusColour()
{
    CEraDateEdit *field = MakeField(FIELD_DIGITS, 6);
    QTRY_VERIFY(field->hasFocus());
    const QPoint inside(field->width() - 6, field->height() / 2);
    QCOMPARE(field->grab().toImage().pixelColor(inside), QColor(255, 255, 0));
    QVERIFY(!field->testAttribute(Qt::WA_InputMethodEnabled));
    int number = 0;
    QVERIFY(field->IsFocused(number) && number == 1);
    QTest::keyClick(field, Qt::Key_Tab);
    QTRY_VERIFY(!field->hasFocus());
    QCOMPARE(field->grab().toImage().pixelColor(inside), QColor(Qt::white));
    QVERIFY(!field->IsFocused(number));
}

void TestEntryField::clipboardKeysActOnce()
{
    CEraDateEdit *field = MakeField(FIELD_TEXT_ASCII, 16);
    QClipboard *clipboard = QApplication::clipboard();
    // Line breaks and other control characters never enter a field.
    clipboard->setText(QStringLiteral("AB\tC\r\nD"));
    QTest::keyClick(field, Qt::Key_Insert, Qt::ShiftModifier);
    QCOMPARE(field->GetFieldText(), QStringLiteral("ABCD"));
    field->selectAll();
    clipboard->setText(QStringLiteral("zz"));
    QTest::keyClick(field, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(field->GetFieldText(), QString());
    QCOMPARE(clipboard->text(), QStringLiteral("ABCD"));
    TypeText(QStringLiteral("C"), field);
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(clipboard->text(), QStringLiteral("C"));
    QCOMPARE(field->GetFieldText(), QStringLiteral("C"));
}

void TestEntryField::toneWave()
{
    const QByteArray wave = CToneService::MakeWave(752, 15, 8000);
    QCOMPARE(wave.left(4) + wave.mid(8, 8), QByteArray("RIFFWAVEfmt "));
    QCOMPARE(wave.size(), 44 + 120 * 2);
    // Headless and nobody listening: nothing sounds, nothing blocks.
    CToneService::Play(CToneService::Tone::Rejected);
}

QTEST_MAIN(TestEntryField)
#include "tst_entryfield.moc"
