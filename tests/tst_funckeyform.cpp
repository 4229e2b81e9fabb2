// The function-key form base driven from the keyboard: moving between fields
// with the form's consent, the prompt following the focus, function keys, the
// mode caption and the captions put back however the form closes.
#include "forms/eradateedit.h"
#include "forms/funckeydialog.h"
#include "formtestsupport.h"
#include "testsupport.h"

#include "forms/colorstatic.h"
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <memory>

namespace {
// Free text, digits that may not be left empty, an era date; a mode caption.
class CProbeForm final : public CFuncKeyDialog
{
public:
    CProbeForm()
    {
        m_nFieldCount = 3;
        m_nCurField = 1;
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(m_pModeCaption = new CColorStatic({}, this));
        for (size_t i = 1; i <= 3; ++i)
            layout->addWidget(m_pFields[i] = new CEraDateEdit(this));
        layout->addWidget(m_pOk = new QPushButton(QStringLiteral("OK"), this));
        layout->addWidget(m_pCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this));
        connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);
        connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    }
    void SetMode(int mode) { m_nMode = mode, ShowModeCaption(); }
    CColorStatic *ModeCaption() const { return m_pModeCaption; }
    int ValidateField(int nField, CEraDateEdit *pField) override
    {
        m_asked << nField;
        return nField == 2 && pField->GetFieldText().isEmpty() ? 1 : 0;
    }

    QPushButton *m_pOk = nullptr;
    QPushButton *m_pCancel = nullptr;
    std::array<int, 13> m_keys{};
    QList<int> m_asked;

protected:
    void OnInitDialog() override
    {
        CFuncKeyDialog::OnInitDialog();
        Field(3)->SetEraMode(true);
        SetupField(1, {QStringLiteral("prompt 1"), FIELD_ANY, 20, QStringLiteral("one")});
        SetupField(2, {QStringLiteral("prompt 2"), FIELD_DIGITS, 6, QStringLiteral("two")});
        SetupField(3, {QStringLiteral("prompt 3"), FIELD_DATE, 6, QStringLiteral("three")});
        PutFuncKeyCaptions(PlainCaptions());
    }
    void ShowFieldPrompt() override { ShowStatusText(QStringLiteral("prompt %1").arg(m_nCurField)); }
    void OnF1() override { ++m_keys[1]; }
    void OnF2() override { ++m_keys[2]; }
    void OnF5() override { ++m_keys[5]; }
    void OnF11() override { ++m_keys[11]; }
    void OnF12() override { ++m_keys[12]; }
};
} // namespace

class TestFuncKeyForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void acceptedFieldMovesOn_data();
    void acceptedFieldMovesOn();
    void rejectedFieldKeepsFocus_data() { acceptedFieldMovesOn_data(); }
    void rejectedFieldKeepsFocus();
    void upMovesBackAndFieldReportsItself();
    void lastFieldMovesToOk();
    void keys_data();
    void keys();
    void modeCaption();
    void captionsRestored_data();
    void captionsRestored();
    void confirmRegister();

private:
    QWidget *Focused() const { return QApplication::focusWidget(); }

    std::unique_ptr<CFakeFrame> m_frame;
    std::unique_ptr<CToneRecorder> m_tones;
    std::unique_ptr<CProbeForm> m_form;
};

void TestFuncKeyForm::init()
{
    m_frame = std::make_unique<CFakeFrame>();
    m_tones = std::make_unique<CToneRecorder>();
    m_frame->m_status = QStringLiteral("Morvek ver 1.0 ﾚﾃﾞｨ");
    m_form = std::make_unique<CProbeForm>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTRY_COMPARE(Focused(), m_form->Field(1));
}

void TestFuncKeyForm::cleanup()
{
    m_form.reset();
    m_tones.reset();
    m_frame.reset();
}

void TestFuncKeyForm::acceptedFieldMovesOn_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("enter") << int(Qt::Key_Return);
    QTest::newRow("tab") << int(Qt::Key_Tab);
    QTest::newRow("down") << int(Qt::Key_Down);
}

void TestFuncKeyForm::acceptedFieldMovesOn()
{
    QFETCH(int, key);
    QCOMPARE(m_frame->m_status, QStringLiteral("prompt 1"));
    QCOMPARE(m_frame->m_captions, CFuncKeyDialog::PlainCaptions());
    TypeText(QStringLiteral("東京"));
    PressKey(Qt::Key(key));
    QCOMPARE(Focused(), m_form->Field(2));
    QCOMPARE(m_form->m_asked, QList<int>{1});
    QCOMPARE(m_tones->m_tones, QList<CToneService::Tone>{CToneService::Tone::Accepted});
    QCOMPARE(m_form->CurrentField(), 2);
    QCOMPARE(m_frame->m_status, QStringLiteral("prompt 2"));
}

void TestFuncKeyForm::rejectedFieldKeepsFocus()
{
    QFETCH(int, key);
    PressKey(Qt::Key_Return);
    const int statusCount = m_frame->m_nStatusCount;
    PressKey(Qt::Key(key));
    QCOMPARE(Focused(), m_form->Field(2));
    QCOMPARE(m_form->CurrentField(), 2);
    QCOMPARE(m_tones->m_tones.last(), CToneService::Tone::Rejected);
    QCOMPARE(m_frame->m_nStatusCount, statusCount);
    TypeText(QStringLiteral("12"));
    PressKey(Qt::Key(key));
    QCOMPARE(Focused(), m_form->Field(3));
}

void TestFuncKeyForm::upMovesBackAndFieldReportsItself()
{
    PressKey(Qt::Key_Up);
    QCOMPARE(Focused(), m_form->Field(1));
    m_form->Field(2)->SetFieldText(QStringLiteral("5"));
    PressKey(Qt::Key_Return);
    PressKey(Qt::Key_Return);
    const int tones = m_tones->m_tones.size();
    PressKey(Qt::Key_Up);
    QCOMPARE(Focused(), m_form->Field(2));
    QCOMPARE(m_form->CurrentField(), 2);
    QCOMPARE(m_frame->m_status, QStringLiteral("prompt 2"));
    QCOMPARE(m_tones->m_tones.size(), tones);
    QCOMPARE(m_form->m_asked, (QList<int>{1, 2}));
}

void TestFuncKeyForm::lastFieldMovesToOk()
{
    m_form->Field(2)->SetFieldText(QStringLiteral("1"));
    for (int i = 0; i < 3; ++i)
        PressKey(Qt::Key_Return);
    QCOMPARE(Focused(), m_form->m_pOk);
    QVERIFY(m_form->isVisible());
    PressKey(Qt::Key_Return);
    QCOMPARE(m_form->result(), int(QDialog::Accepted));
}

void TestFuncKeyForm::keys_data()
{
    QTest::addColumn<int>("field"); // the field the key is pressed in
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("handler");  // the OnF handler that runs, 0 for none
    QTest::addColumn<QString>("text"); // what the field then holds
    QTest::addColumn<QString>("era");
    QTest::newRow("F1 stays in the field") << 3 << int(Qt::Key_F1) << 0 << ""
                                           << "";
    QTest::newRow("F2") << 3 << int(Qt::Key_F2) << 2 << ""
                        << "";
    QTest::newRow("F5") << 3 << int(Qt::Key_F5) << 5 << ""
                        << "";
    QTest::newRow("F11") << 3 << int(Qt::Key_F11) << 11 << ""
                         << "";
    QTest::newRow("F12 stays in the field") << 3 << int(Qt::Key_F12) << 0 << ""
                                            << "";
    QTest::newRow("a letter stays in the field") << 1 << int(Qt::Key_A) << 0 << "a"
                                                 << "";
    QTest::newRow("PageUp stays in the field") << 3 << int(Qt::Key_PageUp) << 0 << ""
                                               << "明治";
}

void TestFuncKeyForm::keys()
{
    QFETCH(int, field);
    QFETCH(int, key);
    QFETCH(int, handler);
    QFETCH(QString, text);
    QFETCH(QString, era);
    if (field == 3) {
        m_form->Field(2)->SetFieldText(QStringLiteral("1"));
        PressKey(Qt::Key_Return);
        PressKey(Qt::Key_Return);
    }
    QCOMPARE(Focused(), m_form->Field(field));
    const int statusCount = m_frame->m_nStatusCount;
    const QString eraBefore = m_form->Field(3)->EraLabel();
    PressKey(Qt::Key(key));
    std::array<int, 13> expected{};
    if (handler > 0)
        expected[size_t(handler)] = 1;
    QCOMPARE(m_form->m_keys, expected);
    // Forwarded keys show the current field's prompt again.
    QCOMPARE(m_frame->m_nStatusCount, statusCount + (handler > 0 ? 1 : 0));
    QCOMPARE(m_frame->m_status, QStringLiteral("prompt %1").arg(field));
    QCOMPARE(m_form->Field(field)->GetFieldText(), text);
    QCOMPARE(m_form->Field(3)->EraLabel(), era.isEmpty() ? eraBefore : era);
}

void TestFuncKeyForm::modeCaption()
{
    CColorStatic *caption = m_form->ModeCaption();
    QCOMPARE(caption->GetWindowText(), QStringLiteral("[新規]"));
    QCOMPARE(caption->grab().toImage().pixelColor(1, 1), QColor(255, 200, 0));
    m_form->SetMode(1);
    QCOMPARE(caption->GetWindowText(), QStringLiteral("[訂正]"));
    QCOMPARE(caption->grab().toImage().pixelColor(1, 1), QColor(0, 255, 255));
    QCOMPARE(caption->GetTextColor(), QColor(Qt::black));
}

void TestFuncKeyForm::captionsRestored_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("esc in a field") << "esc" << int(QDialog::Rejected);
    QTest::newRow("cancel button") << "cancel" << int(QDialog::Rejected);
    QTest::newRow("close box") << "close" << int(QDialog::Rejected);
    QTest::newRow("ok button") << "ok" << int(QDialog::Accepted);
}

void TestFuncKeyForm::captionsRestored()
{
    QFETCH(QString, how);
    QFETCH(int, result);
    if (how == u"esc")
        PressKey(Qt::Key_Escape);
    else if (how == u"cancel")
        QTest::mouseClick(m_form->m_pCancel, Qt::LeftButton);
    else if (how == u"close")
        m_form->close();
    else
        QTest::mouseClick(m_form->m_pOk, Qt::LeftButton);
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_form->result(), result);
    QCOMPARE(m_frame->m_captions, CFakeFrame::CompanySet());
    // The status bar no longer names a field of a form that is gone.
    QCOMPARE(m_frame->m_status, QStringLiteral("Morvek ver 1.0 ﾚﾃﾞｨ"));
    m_form.reset();
    QCOMPARE(m_frame->m_nResetCount, 1);
    QCOMPARE(m_frame->m_status, QStringLiteral("Morvek ver 1.0 ﾚﾃﾞｨ"));
}

void TestFuncKeyForm::confirmRegister()
{
    QMessageBox::StandardButton answer = QMessageBox::Yes;
    CDialogAnswers answers([&](QDialog &dialog) {
        auto &box = static_cast<QMessageBox &>(dialog);
        const bool looksRight = box.windowTitle() == u"確認" && box.icon() == QMessageBox::Information
                             && box.standardButtons() == (QMessageBox::Yes | QMessageBox::No);
        return looksRight ? answer : QMessageBox::Cancel;
    });
    QVERIFY(m_form->ConfirmRegister());
    answer = QMessageBox::No;
    QVERIFY(!m_form->ConfirmRegister());
    QCOMPARE(answers.Texts(), QStringList(2, QStringLiteral("登録しますか？")));
}

QTEST_MAIN(TestFuncKeyForm)
#include "tst_funckeyform.moc"
