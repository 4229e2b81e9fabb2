// The company and department forms as a person fills them in, and the new-company
// command that writes what the company form was given.
#include "app/modalseam.h"
#include "forms/companydlg.h"
#include "forms/deptdlg.h"
#include "forms/eradateedit.h"
#include "forms/newcompanycommand.h"
#include "formtestsupport.h"
#include "store/daorecordset.h"
#include "store/mast00.h"
#include "testsupport.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace {
struct SUnit
{
    qint32 parent;
    qint32 code;
    QStringList texts;  // Name, Yuu, Juu1, Juu2, TEL, FAX
};

QList<SUnit> ReadUnits()
{
    QList<SUnit> units;
    CMast00 set;
    set.Open();
    for (bool found = set.FindFirst(QStringLiteral("ID > 0")); found; found = set.FindNext(QStringLiteral("ID > 0")))
        units.append({set.m_Parent, set.m_Code, {set.m_Name, set.m_Yuu, set.m_Juu1, set.m_Juu2, set.m_TEL, set.m_FAX}});
    return units;
}

void AddUnit(qint32 parent, qint32 code, const QString &name)
{
    CMast00 set;
    set.Open();
    set.AddNew();
    set.m_Parent = parent;
    set.m_Code = code;
    set.m_Name = name;
    set.m_TEL = QStringLiteral("03-0000-0000");
    set.Update();
}

bool ShowAndWait(QDialog &dialog)
{
    dialog.show();
    return QTest::qWaitForWindowActive(&dialog)
        && QTest::qWaitFor([] { return qobject_cast<CEraDateEdit *>(QApplication::focusWidget()); });
}

// Fills the fields in order with Enter after each, then Enters on to OK and
// presses it, or presses Esc.
// A message box on the way is answered with OK and left in the texts.
int FillIn(QDialog &dialog, const QStringList &typed, bool ok)
{
    if (auto *box = qobject_cast<QMessageBox *>(&dialog))
        return box->standardButtons().testFlag(QMessageBox::Ok) ? QMessageBox::Ok : QMessageBox::Yes;
    if (!ShowAndWait(dialog))
        return QDialog::Rejected;
    for (const QString &text : typed) {
        TypeText(text);
        PressKey(Qt::Key_Return);
    }
    for (int i = 0; ok && i < 10 && qobject_cast<CEraDateEdit *>(QApplication::focusWidget()); ++i)
        PressKey(Qt::Key_Return);
    PressKey(ok ? Qt::Key_Return : Qt::Key_Escape);
    return dialog.result();
}

const QStringList kNewCompany{QStringLiteral("20"), QStringLiteral("北商事"), QStringLiteral("060-0001"),
                              QStringLiteral("札幌市中央区"), QStringLiteral("北一条"),
                              QStringLiteral("011-222-3333"), QStringLiteral("011-222-4444")};
} // namespace

class TestCompanyForms : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void companyFields_data();
    void companyFields();
    void companyLayout();
    void companyCodeTyping_data();
    void companyCodeTyping();

    void newCompanyAdded();
    void existingCodeUpdatesThatCompany();
    void cancelWritesNothing();
    void codeRefused_data();
    void codeRefused();

    void deptPrefilledByCaller();
    void deptReturnsWhatWasTyped_data();
    void deptReturnsWhatWasTyped();
    void picture();

private:
    std::unique_ptr<CTempDatabase> m_db;
    std::unique_ptr<CFakeFrame> m_frame;
    std::unique_ptr<CToneRecorder> m_tones;
};

void TestCompanyForms::init()
{
    m_db = std::make_unique<CTempDatabase>();
    m_frame = std::make_unique<CFakeFrame>();
    m_tones = std::make_unique<CToneRecorder>();
}

void TestCompanyForms::cleanup()
{
    m_tones.reset();
    m_frame.reset();
    m_db.reset();
}

void TestCompanyForms::companyFields_data()
{
    QTest::addColumn<bool>("company");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("maxLen");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("company code") << true << 1 << int(FIELD_DIGITS) << 6 << "会社ｺｰﾄﾞを入力してください。";
    QTest::newRow("company name") << true << 2 << int(FIELD_ANY) << 60 << "会社名を入力してください。";
    QTest::newRow("company postal") << true << 3 << int(FIELD_TEXT_ASCII) << 8 << "郵便番号を入力してください。";
    QTest::newRow("company fax") << true << 7 << int(FIELD_TEXT_ASCII) << 16 << "ファクシミリ番号を入力してください。";
    QTest::newRow("dept name") << false << 1 << int(FIELD_ANY) << 60 << "会社名を入力してください。";
    QTest::newRow("dept address 2") << false << 4 << int(FIELD_ANY) << 60 << "住所２を入力してください。";
    QTest::newRow("dept telephone") << false << 5 << int(FIELD_TEXT_ASCII) << 16 << "電話番号を入力してください。";
}

void TestCompanyForms::companyFields()
{
    QFETCH(bool, company);
    QFETCH(int, field);
    QFETCH(int, type);
    QFETCH(int, maxLen);
    QFETCH(QString, prompt);
    std::unique_ptr<CFuncKeyDialog> form;
    if (company)
        form = std::make_unique<CCompanyDlg>();
    else
        form = std::make_unique<CDeptDlg>();
    QVERIFY(ShowAndWait(*form));
    QCOMPARE(form->windowTitle(), QStringLiteral("会社登録フォーム"));
    QCOMPARE(form->FieldCount(), company ? 7 : 6);
    QCOMPARE(m_frame->m_captions, CFakeFrame::PlainSet());
    CEraDateEdit *edit = form->Field(field);
    QCOMPARE(edit->FieldType(), type);
    QCOMPARE(edit->maxLength(), maxLen);
    QCOMPARE(edit->toolTip(), prompt);
    // The prompt follows the focus down the form.
    for (int i = 1; i < field; ++i)
        PressKey(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(m_frame->m_status, prompt);
    QCOMPARE(form->CurrentField(), field);
}

void TestCompanyForms::companyLayout()
{
    CCompanyDlg form;
    QVERIFY(ShowAndWait(form));
    // The template's fields neither overlap nor leave the form, and OK comes after the last.
    const QRect client = form.rect();
    for (int i = 1; i <= form.FieldCount(); ++i) {
        QVERIFY2(client.contains(form.Field(i)->geometry()), qPrintable(QString::number(i)));
        for (int j = i + 1; j <= form.FieldCount(); ++j)
            QVERIFY(!form.Field(i)->geometry().intersects(form.Field(j)->geometry()));
    }
    QCOMPARE(form.Field(CCompanyDlg::FieldCode)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
    QVERIFY(form.Field(6)->geometry().top() == form.Field(7)->geometry().top());
    QVERIFY(form.Field(6)->geometry().right() < form.Field(7)->geometry().left());
    form.Field(7)->setFocus();
    PressKey(Qt::Key_Return);
    auto *ok = qobject_cast<QPushButton *>(QApplication::focusWidget());
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral("OK"));
    QVERIFY(ok->isDefault());
}

void TestCompanyForms::companyCodeTyping_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::newRow("digits") << "0123" << "0123";
    QTest::newRow("leading minus and one point") << "-1.5.2" << "-1.52";
    QTest::newRow("letters and kana refused") << "1aｱ漢2" << "12";
    QTest::newRow("six at most") << "12345678" << "123456";
}

void TestCompanyForms::companyCodeTyping()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    CCompanyDlg form;
    QVERIFY(ShowAndWait(form));
    TypeText(typed);
    QCOMPARE(form.FieldText(CCompanyDlg::FieldCode), shown);
}

void TestCompanyForms::newCompanyAdded()
{
    AddUnit(0, 10, QStringLiteral("南産業"));
    CDialogAnswers answers([](QDialog &dialog) { return FillIn(dialog, kNewCompany, true); });
    QVERIFY(CNewCompanyCommand::Run(nullptr));
    const QList<SUnit> units = ReadUnits();
    QCOMPARE(units.size(), 2);
    QCOMPARE(units[1].parent, 0);
    QCOMPARE(units[1].code, 20);
    QCOMPARE(units[1].texts, kNewCompany.mid(1));
    QCOMPARE(m_frame->m_nResetCount, 1);
}

void TestCompanyForms::existingCodeUpdatesThatCompany()
{
    AddUnit(0, 10, QStringLiteral("南産業"));
    AddUnit(1, 10, QStringLiteral("営業部"));
    AddUnit(0, 20, QStringLiteral("北商事"));
    QStringList typed = kNewCompany;
    typed[0] = QStringLiteral("010");
    typed[1] = QStringLiteral("南産業ホールディングス");
    CDialogAnswers answers([&](QDialog &dialog) { return FillIn(dialog, typed, true); });
    QVERIFY(CNewCompanyCommand::Run(nullptr));
    const QList<SUnit> units = ReadUnits();
    QCOMPARE(units.size(), 3);
    QCOMPARE(units[0].parent, 0);
    QCOMPARE(units[0].code, 10);
    QCOMPARE(units[0].texts, typed.mid(1));
    QCOMPARE(units[1].texts.first(), QStringLiteral("営業部"));
    QCOMPARE(units[1].parent, 1);
    QCOMPARE(units[2].texts.first(), QStringLiteral("北商事"));
}

void TestCompanyForms::cancelWritesNothing()
{
    // With no database file at all, any opening would throw.
    CDaoRecordset::SetApplicationDatabasePath(QDir(m_db->Folder()).filePath(QStringLiteral("missing.mdb")));
    CDialogAnswers answers([](QDialog &dialog) { return FillIn(dialog, kNewCompany, false); });
    QVERIFY(!CNewCompanyCommand::Run(nullptr));
    QCOMPARE(answers.Texts(), QStringList{QStringLiteral("会社登録フォーム")});
    QCOMPARE(m_frame->m_nResetCount, 1);
}

void TestCompanyForms::codeRefused_data()
{
    QTest::addColumn<QString>("code");
    QTest::newRow("empty") << "";
    QTest::newRow("minus alone") << "-";
    QTest::newRow("fraction") << "1.5";
}

void TestCompanyForms::codeRefused()
{
    QFETCH(QString, code);
    CDaoRecordset::SetApplicationDatabasePath(QDir(m_db->Folder()).filePath(QStringLiteral("missing.mdb")));
    bool stayedOpen = false;
    bool backOnCode = false;
    CDialogAnswers answers([&](QDialog &dialog) -> int {
        if (qobject_cast<QMessageBox *>(&dialog))
            return QMessageBox::Ok;
        QStringList typed = kNewCompany;
        typed[0] = code;
        FillIn(dialog, typed, true);
        stayedOpen = dialog.isVisible();
        auto &form = static_cast<CCompanyDlg &>(dialog);
        backOnCode = QApplication::focusWidget() == form.Field(CCompanyDlg::FieldCode);
        PressKey(Qt::Key_Escape);
        return dialog.result();
    });
    QVERIFY(!CNewCompanyCommand::Run(nullptr));
    QCOMPARE(answers.Texts(), (QStringList{QStringLiteral("会社登録フォーム"), QStringLiteral("会社ｺｰﾄﾞは整数で入力してください。")}));
    QVERIFY(stayedOpen);
    QVERIFY(backOnCode);
}

void TestCompanyForms::deptPrefilledByCaller()
{
    CDeptDlg form;
    form.m_strUpper = QStringLiteral("会社");
    form.m_strYuu = QStringLiteral("100-0001");
    form.m_strJuu1 = QStringLiteral("千代田区");
    form.m_strTel = QStringLiteral("03-1111-2222");
    QVERIFY(ShowAndWait(form));
    bool upperShown = false;
    for (const QLabel *label : form.findChildren<QLabel *>())
        upperShown |= label->text() == QStringLiteral("会社");
    QVERIFY(upperShown);
    QCOMPARE(form.Field(CDeptDlg::FieldName)->GetFieldText(), QString());
    QCOMPARE(form.Field(CDeptDlg::FieldYuu)->GetFieldText(), QStringLiteral("100-0001"));
    QCOMPARE(form.Field(CDeptDlg::FieldJuu1)->GetFieldText(), QStringLiteral("千代田区"));
    QCOMPARE(form.Field(CDeptDlg::FieldTel)->GetFieldText(), QStringLiteral("03-1111-2222"));
    QCOMPARE(QApplication::focusWidget(), form.Field(CDeptDlg::FieldName));
}

void TestCompanyForms::deptReturnsWhatWasTyped_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("ok") << true;
    QTest::newRow("esc") << false;
}

void TestCompanyForms::deptReturnsWhatWasTyped()
{
    QFETCH(bool, ok);
    CDeptDlg form;
    form.m_strUpper = QStringLiteral("南産業");
    form.m_strName = QStringLiteral("営業部");
    form.m_strFax = QStringLiteral("03-9999-0000");
    CDialogAnswers answers([&](QDialog &dialog) {
        return FillIn(dialog, {QStringLiteral("総務部"), QStringLiteral("100-0002")}, ok);
    });
    QCOMPARE(CModalSeam::Exec(form), ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(form.m_strName, ok ? QStringLiteral("総務部") : QStringLiteral("営業部"));
    QCOMPARE(form.m_strYuu, ok ? QStringLiteral("100-0002") : QString());
    QCOMPARE(form.m_strFax, QStringLiteral("03-9999-0000"));
    QCOMPARE(m_frame->m_nResetCount, 1);
}

void TestCompanyForms::picture()
{
    CCompanyDlg form;
    QVERIFY(ShowAndWait(form));
    TypeText(QStringLiteral("10"));
    PressKey(Qt::Key_Return);
    TypeText(QStringLiteral("南産業株式会社"));
    QVERIFY(form.grab().save(QDir::temp().filePath(QStringLiteral("morvek-companydlg.png"))));
    CDeptDlg dept;
    dept.m_strUpper = QStringLiteral("南産業株式会社");
    dept.m_strYuu = QStringLiteral("100-0001");
    QVERIFY(ShowAndWait(dept));
    QVERIFY(dept.grab().save(QDir::temp().filePath(QStringLiteral("morvek-deptdlg.png"))));
}

QTEST_MAIN(TestCompanyForms)
#include "tst_companyforms.moc"
