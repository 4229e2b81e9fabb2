// The address filled from the 〒 in the employee master form and the company and
// department forms, a choice where a code names several towns, and F10 on 住所1.
#include "employee/employeeform.h"
#include "forms/companydlg.h"
#include "forms/deptdlg.h"
#include "forms/eradateedit.h"
#include "forms/postalchoicedlg.h"
#include "formtestsupport.h"
#include "postal/postaldirectory.h"
#include "support/postalfilebuilder.h"
#include "testsupport.h"

#include <QListWidget>
#include <QMessageBox>
#include <QTemporaryDir>
#include <memory>

namespace {
// Answers the chooser with a row, or cancels it (-1); records what it offered.
std::function<int(QDialog &)> Choose(int row, QStringList &offered)
{
    return [row, &offered](QDialog &dialog) {
        auto *choice = qobject_cast<CPostalChoiceDlg *>(&dialog);
        if (!choice)
            return int(QMessageBox::Yes);
        for (int i = 0; i < choice->List()->count(); ++i)
            offered << choice->List()->item(i)->text();
        if (row < 0)
            return int(QDialog::Rejected);
        choice->List()->setCurrentRow(row);
        return int(QDialog::Accepted);
    };
}
} // namespace

class TestPostalForms : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void employeeFormFills_data();
    void employeeFormFills();
    void withoutDataSaidOnce();
    void unitFormsFill_data();
    void unitFormsFill();
    void f10OffersCodes_data();
    void f10OffersCodes();
    void f10OnlyOnTheAddress();

private:
    void LoadSample();
    void OpenEmployeeForm();
    CEraDateEdit *Field(int n) const { return m_form->Field(n); }
    void EnterIn(int field, const QString &text);

    std::unique_ptr<QTemporaryDir> m_settings;
    std::unique_ptr<CTempDatabase> m_db;
    std::unique_ptr<CFakeFrame> m_frame;
    std::unique_ptr<CEmployeeForm> m_form;
};

void TestPostalForms::init()
{
    m_settings = std::make_unique<QTemporaryDir>();
    IsolateSettings(m_settings->path());
    m_db = std::make_unique<CTempDatabase>();
    m_frame = std::make_unique<CFakeFrame>();
}

void TestPostalForms::cleanup()
{
    m_form.reset();
    m_frame.reset();
    m_db.reset();
    m_settings.reset();
}

void TestPostalForms::LoadSample()
{
    const QString path = WriteFile(m_settings->filePath(QStringLiteral("KEN_ALL.CSV")),
                                   CPostalFileBuilder::Sample().ShiftJis());
    QString error;
    QVERIFY2(CPostalDirectory::Shared().Load(path, error), qPrintable(error));
}

void TestPostalForms::OpenEmployeeForm()
{
    m_form = std::make_unique<CEmployeeForm>();
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form.get()));
    QTRY_COMPARE(QApplication::focusWidget(), Field(CEmployeeForm::FieldCode));
}

// Into the field as a person gets there, then Enter.
void TestPostalForms::EnterIn(int field, const QString &text)
{
    Field(field)->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), Field(field));
    Field(field)->clear();
    TypeText(text);
    PressKey(Qt::Key_Return);
}

void TestPostalForms::employeeFormFills_data()
{
    QTest::addColumn<QString>("postal");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("offered");
    QTest::addColumn<QString>("status");
    const QString filled = QStringLiteral("〒 %1 から住所1を補いました。");
    QTest::newRow("one town") << "1000001"
                              << "" << -1 << QStringLiteral("東京都千代田区千代田") << 0 << filled.arg("100-0001");
    QTest::newRow("with a hyphen") << "100-0001"
                                   << "" << -1 << QStringLiteral("東京都千代田区千代田") << 0 << filled.arg("100-0001");
    QTest::newRow("a whole city") << "1000000"
                                  << "" << -1 << QStringLiteral("東京都千代田区") << 0 << filled.arg("100-0000");
    QTest::newRow("two towns, the second")
        << "602-0000"
        << "" << 1 << QStringLiteral("京都府京都市上京区二条殿町") << 2 << filled.arg("602-0000");
    QTest::newRow("two towns, the first") << "6020000"
                                          << "" << 0 << QStringLiteral("京都府京都市上京区一条殿町") << 2
                                          << filled.arg("602-0000");
    QTest::newRow("two towns, none") << "6020000"
                                     << "" << -1 << "" << 2 << QStringLiteral("住所１を入力してください。");
    QTest::newRow("unknown") << "9999999"
                             << "" << 0 << "" << 0 << QStringLiteral("〒 999-9999 は郵便番号データにありません。");
    QTest::newRow("too short") << "100-000"
                               << "" << 0 << "" << 0 << QStringLiteral("住所１を入力してください。");
    QTest::newRow("address typed") << "1000001" << QStringLiteral("大阪市北区") << 0 << QStringLiteral("大阪市北区") << 0
                                   << QStringLiteral("住所１を入力してください。");
}

void TestPostalForms::employeeFormFills()
{
    QFETCH(QString, postal);
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QString, address);
    QFETCH(int, offered);
    QFETCH(QString, status);
    LoadSample();
    OpenEmployeeForm();
    QStringList choices;
    CDialogAnswers answers(Choose(answer, choices));
    Field(CEmployeeForm::FieldJuu1)->SetFieldText(typed);
    EnterIn(CEmployeeForm::FieldYuu, postal);
    QCOMPARE(QApplication::focusWidget(), Field(CEmployeeForm::FieldJuu1));
    QCOMPARE(Field(CEmployeeForm::FieldJuu1)->GetFieldText(), address);
    QCOMPARE(choices.size(), offered);
    QCOMPARE(m_frame->m_status, status);
    // The note gives way to the prompt at the next field.
    PressKey(Qt::Key_Return);
    QCOMPARE(m_frame->m_status, QStringLiteral("住所２を入力してください。"));
}

void TestPostalForms::withoutDataSaidOnce()
{
    OpenEmployeeForm();
    EnterIn(CEmployeeForm::FieldYuu, QStringLiteral("1000001"));
    QCOMPARE(m_frame->m_status, CPostalDirectory::NoDataText());
    QVERIFY(Field(CEmployeeForm::FieldJuu1)->GetFieldText().isEmpty());
    EnterIn(CEmployeeForm::FieldYuu, QStringLiteral("6020000"));
    QCOMPARE(m_frame->m_status, QStringLiteral("住所１を入力してください。"));
    // Once loaded, the next code fills.
    LoadSample();
    EnterIn(CEmployeeForm::FieldYuu, QStringLiteral("1000001"));
    QCOMPARE(Field(CEmployeeForm::FieldJuu1)->GetFieldText(), QStringLiteral("東京都千代田区千代田"));
}

void TestPostalForms::unitFormsFill_data()
{
    QTest::addColumn<bool>("company");
    QTest::newRow("company") << true;
    QTest::newRow("department") << false;
}

void TestPostalForms::unitFormsFill()
{
    QFETCH(bool, company);
    LoadSample();
    std::unique_ptr<CFuncKeyDialog> form;
    if (company)
        form = std::make_unique<CCompanyDlg>();
    else
        form = std::make_unique<CDeptDlg>();
    const int postal = company ? int(CCompanyDlg::FieldYuu) : int(CDeptDlg::FieldYuu);
    const int address = company ? int(CCompanyDlg::FieldJuu1) : int(CDeptDlg::FieldJuu1);
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QStringList choices;
    CDialogAnswers answers(Choose(1, choices));
    form->Field(postal)->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), form->Field(postal));
    TypeText(QStringLiteral("6020000"));
    PressKey(Qt::Key_Return);
    QCOMPARE(choices.size(), 2);
    QCOMPARE(form->Field(address)->GetFieldText(), QStringLiteral("京都府京都市上京区二条殿町"));
    QCOMPARE(m_frame->m_status, QStringLiteral("〒 602-0000 から住所1を補いました。"));
    // Back in the 〒 with another code: what 住所1 holds now stays.
    form->Field(postal)->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), form->Field(postal));
    form->Field(postal)->clear();
    TypeText(QStringLiteral("1000001"));
    PressKey(Qt::Key_Return);
    QCOMPARE(form->Field(address)->GetFieldText(), QStringLiteral("京都府京都市上京区二条殿町"));
}

void TestPostalForms::f10OffersCodes_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("answer");
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QString>("postal");
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("status");
    QTest::newRow("town and number") << QStringLiteral("東京都千代田区千代田1-1") << 0
                                     << QStringList{QStringLiteral("100-0001  東京都千代田区千代田")} << "100-0001"
                                     << QStringLiteral("東京都千代田区千代田1-1")
                                     << QStringLiteral("〒 100-0001 を入れました。");
    QTest::newRow("start of an address") << QStringLiteral("東京都千代田区丸の内") << 1
                                         << QStringList{QStringLiteral("100-6090  東京都千代田区丸の内ＪＰタワー"),
                                                        QStringLiteral("100-6091  東京都千代田区丸の内ＪＰタワー")}
                                         << "100-6091" << QStringLiteral("東京都千代田区丸の内ＪＰタワー")
                                         << QStringLiteral("〒 100-6091 を入れました。");
    QTest::newRow("cancelled") << QStringLiteral("東京都千代田区千代田") << -1
                               << QStringList{QStringLiteral("100-0001  東京都千代田区千代田")} << ""
                               << QStringLiteral("東京都千代田区千代田") << QStringLiteral("住所１を入力してください。");
    QTest::newRow("unknown") << QStringLiteral("大阪府") << 0 << QStringList{} << "" << QStringLiteral("大阪府")
                             << QStringLiteral("「大阪府」に当たる郵便番号は郵便番号データにありません。");
    QTest::newRow("nothing typed") << "" << 0 << QStringList{} << ""
                                   << ""
                                   << QStringLiteral(
                                          "住所1を入力してから F10 キーを押すと、その住所の郵便番号を選べます。");
}

void TestPostalForms::f10OffersCodes()
{
    QFETCH(QString, typed);
    QFETCH(int, answer);
    QFETCH(QStringList, offered);
    QFETCH(QString, postal);
    QFETCH(QString, address);
    QFETCH(QString, status);
    LoadSample();
    OpenEmployeeForm();
    QCOMPARE(m_frame->m_captions.at(9), QStringLiteral("住所"));
    QCOMPARE(m_frame->m_captions.at(8), QStringLiteral("名前"));
    QStringList choices;
    CDialogAnswers answers(Choose(answer, choices));
    Field(CEmployeeForm::FieldJuu1)->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), Field(CEmployeeForm::FieldJuu1));
    TypeText(typed);
    PressKey(Qt::Key_F10);
    QCOMPARE(choices, offered);
    QCOMPARE(Field(CEmployeeForm::FieldYuu)->GetFieldText(), postal);
    QCOMPARE(Field(CEmployeeForm::FieldJuu1)->GetFieldText(), address);
    QCOMPARE(m_frame->m_status, status);
    QCOMPARE(QApplication::focusWidget(), Field(CEmployeeForm::FieldJuu1));
}

void TestPostalForms::f10OnlyOnTheAddress()
{
    LoadSample();
    OpenEmployeeForm();
    QStringList choices;
    CDialogAnswers answers(Choose(0, choices));
    Field(CEmployeeForm::FieldJuu1)->SetFieldText(QStringLiteral("東京都千代田区千代田"));
    for (int field : {int(CEmployeeForm::FieldYuu), int(CEmployeeForm::FieldJuu2)}) {
        Field(field)->setFocus(Qt::OtherFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), Field(field));
        PressKey(Qt::Key_F10);
    }
    QVERIFY(choices.isEmpty());
    QVERIFY(Field(CEmployeeForm::FieldYuu)->GetFieldText().isEmpty());
}

QTEST_MAIN(TestPostalForms)
#include "tst_postalforms.moc"
