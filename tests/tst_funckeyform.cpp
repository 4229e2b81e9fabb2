// The function-key form base driven from the keyboard: moving between fields
// with the form's consent, the prompt following the focus, function keys, the
// mode caption and the captions put back however the form closes.
#include "app/modalseam.h"
#include "forms/eradateedit.h"
#include "forms/funckeydialog.h"
#include "formtestsupport.h"
#include "testsupport.h"

#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <array>
#include <memory>

namespace {
// Three fields: free text, digits that may not be left empty, an era date.
class CProbeForm final : public CFuncKeyDialog
{
public:
    explicit CProbeForm(bool withModeCaption)
    {
        m_nFieldCount = 3;
        m_nCurField = 1;
        auto *layout = new QVBoxLayout(this);
        if (withModeCaption) {
            m_pModeCaption = new QLabel(this);
            layout->addWidget(m_pModeCaption);
        }
        for (int i = 1; i <= 3; ++i) {
            m_pFields[size_t(i)] = new CEraDateEdit(this);
            layout->addWidget(m_pFields[size_t(i)]);
        }
        m_pOk = new QPushButton(QStringLiteral("OK"), this);
        m_pOk->setDefault(true);
        m_pCancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
        layout->addWidget(m_pOk);
        layout->addWidget(m_pCancel);
        connect(m_pOk, &QPushButton::clicked, this, &QDialog::accept);
        connect(m_pCancel, &QPushButton::clicked, this, &QDialog::reject);
    }

    void SetMode(int mode)
    {
        m_nMode = mode;
        ShowModeCaption();
    }
    QLabel *ModeCaption() const { return m_pModeCaption; }

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
        SetupField(1, {QStringLiteral("prompt 1"), FIELD_ANY, 20});
        SetupField(2, {QStringLiteral("prompt 2"), FIELD_DIGITS, 6});
        SetupField(3, {QStringLiteral("prompt 3"), FIELD_DATE, 6});
        QStringList captions = PlainCaptions();
        captions[4] = QStringLiteral("ﾓｰﾄﾞ");
        PutFuncKeyCaptions(captions);
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

    void opensOnFirstFieldWithItsPrompt();
    void acceptedFieldMovesOn_data();
    void acceptedFieldMovesOn();
    void rejectedFieldKeepsFocus_data();
    void rejectedFieldKeepsFocus();
    void upMovesBackAndFieldReportsItself();
    void lastFieldMovesToOk();
    void functionKeys_data();
    void functionKeys();
    void letterForwardsNothing();
    void modeCaption();
    void formWithoutModeCaption();
    void captionsRestored_data();
    void captionsRestored();
    void captionsWithoutCompanyWindow();
    void confirmRegister_data();
    void confirmRegister();

private:
    CEraDateEdit *Focused() const { return qobject_cast<CEraDateEdit *>(QApplication::focusWidget()); }
    bool Open(bool withModeCaption = true);

    std::unique_ptr<CFakeFrame> m_frame;
    std::unique_ptr<CToneRecorder> m_tones;
    std::unique_ptr<CProbeForm> m_form;
};

void TestFuncKeyForm::init()
{
    m_frame = std::make_unique<CFakeFrame>();
    m_frame->m_captions = CFakeFrame::CompanySet();
    m_tones = std::make_unique<CToneRecorder>();
}

void TestFuncKeyForm::cleanup()
{
    m_form.reset();
    m_tones.reset();
    m_frame.reset();
}

bool TestFuncKeyForm::Open(bool withModeCaption)
{
    m_form = std::make_unique<CProbeForm>(withModeCaption);
    m_form->show();
    if (!QTest::qWaitForWindowActive(m_form.get()))
        return false;
    return QTest::qWaitFor([this] { return m_form->Field(1)->hasFocus(); });
}

void TestFuncKeyForm::opensOnFirstFieldWithItsPrompt()
{
    QVERIFY(Open());
    QCOMPARE(m_form->CurrentField(), 1);
    QCOMPARE(m_frame->m_status, QStringLiteral("prompt 1"));
    QCOMPARE(m_form->Field(2)->toolTip(), QStringLiteral("prompt 2"));
    QCOMPARE(m_frame->m_captions[4], QStringLiteral("ﾓｰﾄﾞ"));
    QCOMPARE(m_frame->m_captions[7], QStringLiteral("F8"));
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
    QVERIFY(Open());
    TypeText(QStringLiteral("東京"));
    PressKey(Qt::Key(key));
    QCOMPARE(Focused(), m_form->Field(2));
    QCOMPARE(m_form->m_asked, QList<int>{1});
    QCOMPARE(m_tones->m_tones, QList<CToneService::Tone>{CToneService::Tone::Accepted});
    QCOMPARE(m_form->CurrentField(), 2);
    QCOMPARE(m_frame->m_status, QStringLiteral("prompt 2"));
    QCOMPARE(m_form->Field(1)->GetFieldText(), QStringLiteral("東京"));
}

void TestFuncKeyForm::rejectedFieldKeepsFocus_data()
{
    acceptedFieldMovesOn_data();
}

void TestFuncKeyForm::rejectedFieldKeepsFocus()
{
    QFETCH(int, key);
    QVERIFY(Open());
    PressKey(Qt::Key_Return);
    const int statusCount = m_frame->m_nStatusCount;
    PressKey(Qt::Key(key));
    QCOMPARE(Focused(), m_form->Field(2));
    QCOMPARE(m_form->CurrentField(), 2);
    QCOMPARE(m_tones->Last(), CToneService::Tone::Rejected);
    QCOMPARE(m_frame->m_status, QStringLiteral("prompt 2"));
    QCOMPARE(m_frame->m_nStatusCount, statusCount);
    QVERIFY(m_form->isVisible());
    // Once it holds something, the same key lets the user on.
    TypeText(QStringLiteral("12"));
    PressKey(Qt::Key(key));
    QCOMPARE(Focused(), m_form->Field(3));
    QCOMPARE(m_tones->Last(), CToneService::Tone::Accepted);
}

void TestFuncKeyForm::upMovesBackAndFieldReportsItself()
{
    QVERIFY(Open());
    PressKey(Qt::Key_Up);
    QCOMPARE(Focused(), m_form->Field(1));
    PressKey(Qt::Key_Return);
    TypeText(QStringLiteral("5"));
    PressKey(Qt::Key_Return);
    QCOMPARE(m_form->CurrentField(), 3);
    const int tones = m_tones->m_tones.size();
    PressKey(Qt::Key_Up);
    QCOMPARE(Focused(), m_form->Field(2));
    QCOMPARE(m_form->CurrentField(), 2);
    QCOMPARE(m_frame->m_status, QStringLiteral("prompt 2"));
    QCOMPARE(m_tones->m_tones.size(), tones);   // no check, no sound
    QCOMPARE(m_form->m_asked, (QList<int>{1, 2}));
}

void TestFuncKeyForm::lastFieldMovesToOk()
{
    QVERIFY(Open());
    m_form->Field(2)->SetFieldText(QStringLiteral("1"));
    PressKey(Qt::Key_Return);
    PressKey(Qt::Key_Return);
    PressKey(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), m_form->m_pOk);
    QVERIFY(m_form->isVisible());
    QSignalSpy accepted(m_form.get(), &QDialog::accepted);
    PressKey(Qt::Key_Return);
    QCOMPARE(accepted.size(), 1);
}

void TestFuncKeyForm::functionKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("forwarded");
    QTest::newRow("F1 stays in the field") << int(Qt::Key_F1) << 1 << false;
    QTest::newRow("F2") << int(Qt::Key_F2) << 2 << true;
    QTest::newRow("F5") << int(Qt::Key_F5) << 5 << true;
    QTest::newRow("F11") << int(Qt::Key_F11) << 11 << true;
    QTest::newRow("F12 stays in the field") << int(Qt::Key_F12) << 12 << false;
}

void TestFuncKeyForm::functionKeys()
{
    QFETCH(int, key);
    QFETCH(int, index);
    QFETCH(bool, forwarded);
    QVERIFY(Open());
    PressKey(Qt::Key_Return);
    const int statusCount = m_frame->m_nStatusCount;
    PressKey(Qt::Key(key));
    QCOMPARE(m_form->m_keys[size_t(index)], forwarded ? 1 : 0);
    QCOMPARE(m_frame->m_nStatusCount, statusCount + (forwarded ? 1 : 0));
    QCOMPARE(m_frame->m_status, QStringLiteral("prompt 2"));
    QCOMPARE(Focused(), m_form->Field(2));
}

void TestFuncKeyForm::letterForwardsNothing()
{
    QVERIFY(Open());
    const int statusCount = m_frame->m_nStatusCount;
    TypeText(QStringLiteral("abc"));
    PressKey(Qt::Key_PageUp);
    QCOMPARE(m_frame->m_nStatusCount, statusCount);
    QCOMPARE(m_form->m_keys, (std::array<int, 13>{}));
}

void TestFuncKeyForm::modeCaption()
{
    QVERIFY(Open());
    QLabel *caption = m_form->ModeCaption();
    QCOMPARE(caption->text(), QStringLiteral("[新規]"));
    QCOMPARE(caption->palette().color(QPalette::Window), QColor(255, 200, 0));
    QCOMPARE(caption->grab().toImage().pixelColor(1, 1), QColor(255, 200, 0));
    m_form->SetMode(1);
    QCOMPARE(caption->text(), QStringLiteral("[訂正]"));
    QCOMPARE(caption->palette().color(QPalette::Window), QColor(0, 255, 255));
    QCOMPARE(caption->palette().color(QPalette::WindowText), QColor(Qt::black));
}

void TestFuncKeyForm::formWithoutModeCaption()
{
    QVERIFY(Open(false));
    m_form->SetMode(1);
    QVERIFY(m_form->findChildren<QLabel *>().isEmpty());
    QCOMPARE(m_form->Mode(), 1);
}

void TestFuncKeyForm::captionsRestored_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("result");
    QTest::newRow("esc in a field") << "esc" << int(QDialog::Rejected);
    QTest::newRow("esc on a button") << "esc-button" << int(QDialog::Rejected);
    QTest::newRow("cancel button") << "cancel" << int(QDialog::Rejected);
    QTest::newRow("close box") << "close" << int(QDialog::Rejected);
    QTest::newRow("ok button") << "ok" << int(QDialog::Accepted);
}

void TestFuncKeyForm::captionsRestored()
{
    QFETCH(QString, how);
    QFETCH(int, result);
    QVERIFY(Open());
    QVERIFY(m_frame->m_captions != CFakeFrame::CompanySet());
    if (how == QLatin1String("esc")) {
        PressKey(Qt::Key_Escape);
    } else if (how == QLatin1String("esc-button")) {
        m_form->m_pCancel->setFocus();
        PressKey(Qt::Key_Escape);
    } else if (how == QLatin1String("cancel")) {
        QTest::mouseClick(m_form->m_pCancel, Qt::LeftButton);
    } else if (how == QLatin1String("close")) {
        m_form->close();
    } else {
        m_form->Field(2)->SetFieldText(QStringLiteral("1"));
        m_form->m_pOk->setFocus();
        PressKey(Qt::Key_Return);
    }
    QVERIFY(!m_form->isVisible());
    QCOMPARE(m_form->result(), result);
    QCOMPARE(m_frame->m_nResetCount, 1);
    QCOMPARE(m_frame->m_captions, CFakeFrame::CompanySet());
    m_form.reset();
    QCOMPARE(m_frame->m_nResetCount, 1);
}

void TestFuncKeyForm::captionsWithoutCompanyWindow()
{
    m_frame->m_bCompanyWindow = false;
    QVERIFY(Open());
    PressKey(Qt::Key_Escape);
    QCOMPARE(m_frame->m_captions, CFakeFrame::PlainSet());
}

void TestFuncKeyForm::confirmRegister_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("confirmed");
    QTest::newRow("yes") << int(QMessageBox::Yes) << true;
    QTest::newRow("no") << int(QMessageBox::No) << false;
}

void TestFuncKeyForm::confirmRegister()
{
    QFETCH(int, answer);
    QFETCH(bool, confirmed);
    QVERIFY(Open());
    QString caption;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    CDialogAnswers answers([&](QDialog &dialog) {
        auto &box = static_cast<QMessageBox &>(dialog);
        caption = box.windowTitle();
        icon = box.icon();
        buttons = box.standardButtons();
        return answer;
    });
    QCOMPARE(m_form->ConfirmRegister(), confirmed);
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("登録しますか？")});
    QCOMPARE(caption, QStringLiteral("確認"));
    QCOMPARE(icon, QMessageBox::Information);
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
}

QTEST_MAIN(TestFuncKeyForm)
#include "tst_funckeyform.moc"
