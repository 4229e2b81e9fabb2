// The company and department forms as a person fills them in, and the
// new-company command that writes what the company form was given.
#include "base/modalseam.h"
#include "forms/companydlg.h"
#include "forms/deptdlg.h"
#include "forms/eradateedit.h"
#include "forms/newcompanycommand.h"
#include "formtestsupport.h"
#include "rawconnection.h"
#include "store/daodatabase.h"
#include "store/mast00.h"
#include "support/registerbuilder.h"
#include "testsupport.h"

#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <memory>

namespace {
// Parent, Code, Name, Yuu, Juu1, Juu2, TEL, FAX of every unit in ID order.
QList<QStringList> ReadUnits()
{
    QList<QStringList> units;
    CMast00 set;
    set.Open();
    for (bool found = set.FindFirst(QStringLiteral("ID > 0")); found; found = set.FindNext(QStringLiteral("ID > 0")))
        units.append({QString::number(set.m_Parent), QString::number(set.m_Code), set.m_Name, set.m_Yuu, set.m_Juu1,
                      set.m_Juu2, set.m_TEL, set.m_FAX});
    return units;
}

// Types each text and Enter, Enters on to OK and presses it, or presses Esc.
// Message boxes on the way are answered with OK.
int FillIn(QDialog &dialog, const QStringList &typed, bool ok)
{
    if (qobject_cast<QMessageBox *>(&dialog))
        return QMessageBox::Ok;
    dialog.show();
    if (!QTest::qWaitForWindowActive(&dialog))
        return -1;
    for (const QString &text : typed) {
        TypeText(text);
        PressKey(Qt::Key_Return);
    }
    for (int i = 0; ok && i < 10 && qobject_cast<CEraDateEdit *>(QApplication::focusWidget()); ++i)
        PressKey(Qt::Key_Return);
    PressKey(ok ? Qt::Key_Return : Qt::Key_Escape);
    // A refused form is still open: leave it.
    if (dialog.isVisible())
        PressKey(Qt::Key_Escape);
    return dialog.result();
}

const QStringList kCompany{QStringLiteral("20"),           QStringLiteral("北商事"), QStringLiteral("060-0001"),
                           QStringLiteral("札幌市中央区"), QStringLiteral("北一条"), QStringLiteral("011-222-3333"),
                           QStringLiteral("011-222-4444")};
} // namespace

class TestCompanyForms : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void fields_data();
    void fields();
    void newCompany_data();
    void newCompany();
    void nothingWritten_data();
    void nothingWritten();
    void refusedWriteKeepsTheForm();
    void department_data();
    void department();

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
    const qint32 company = CRegisterBuilder::AddUnit({0, 10, QStringLiteral("南産業")});
    CRegisterBuilder::AddUnit({company, 10, QStringLiteral("営業部")});
}

void TestCompanyForms::cleanup()
{
    m_tones.reset();
    m_frame.reset();
    m_db.reset();
}

void TestCompanyForms::fields_data()
{
    QTest::addColumn<bool>("company");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("maxLen");
    QTest::addColumn<QString>("prompt");
    QTest::newRow("company code") << true << 1 << int(FIELD_DIGITS) << 6 << "会社ｺｰﾄﾞを入力してください。";
    QTest::newRow("company postal code") << true << 3 << int(FIELD_TEXT_ASCII) << 8 << "郵便番号を入力してください。";
    QTest::newRow("company fax") << true << 7 << int(FIELD_TEXT_ASCII) << 16 << "ファクシミリ番号を入力してください。";
    QTest::newRow("department name") << false << 1 << int(FIELD_ANY) << 60 << "会社名を入力してください。";
    QTest::newRow("department address 2") << false << 4 << int(FIELD_ANY) << 60 << "住所２を入力してください。";
}

void TestCompanyForms::fields()
{
    QFETCH(bool, company);
    QFETCH(int, field);
    QFETCH(int, type);
    QFETCH(int, maxLen);
    QFETCH(QString, prompt);
    std::unique_ptr<CFuncKeyDialog> form;
    form.reset(company ? static_cast<CFuncKeyDialog *>(new CCompanyDlg) : new CDeptDlg);
    form->show();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QCOMPARE(form->windowTitle(), QStringLiteral("会社登録フォーム"));
    QCOMPARE(form->FieldCount(), company ? 7 : 6);
    QCOMPARE(m_frame->m_captions, CFuncKeyDialog::PlainCaptions());
    CEraDateEdit *edit = form->Field(field);
    QCOMPARE(edit->FieldType(), type);
    QCOMPARE(edit->maxLength(), maxLen);
    QCOMPARE(edit->toolTip(), prompt);
    for (int i = 1; i < field; ++i)
        PressKey(Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), edit);
    QCOMPARE(m_frame->m_status, prompt);
}

void TestCompanyForms::newCompany_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<int>("row"); // where the company lands
    QTest::newRow("a new code adds a company") << "20" << 2;
    QTest::newRow("an existing code corrects that company") << "010" << 0;
}

void TestCompanyForms::newCompany()
{
    QFETCH(QString, code);
    QFETCH(int, row);
    QStringList typed = kCompany;
    typed[0] = code;
    CDialogAnswers answers([&](QDialog &dialog) { return FillIn(dialog, typed, true); });
    QVERIFY(CNewCompanyCommand::Run(nullptr));
    const QList<QStringList> units = ReadUnits();
    QCOMPARE(units.size(), row == 0 ? 2 : 3);
    QCOMPARE(units[row], QStringList{"0"} + QStringList{QString::number(code.toInt())} + kCompany.mid(1));
    QCOMPARE(units[1].mid(0, 3), (QStringList{"1", "10", "営業部"}));
    QCOMPARE(m_frame->m_nResetCount, 1);
}

void TestCompanyForms::nothingWritten_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QStringList>("shown");
    const QString form = QStringLiteral("会社登録フォーム");
    const QString refusal = QStringLiteral("会社ｺｰﾄﾞは整数で入力してください。");
    QTest::newRow("cancelled") << "20" << false << QStringList{form};
    QTest::newRow("empty code") << "" << true << QStringList{form, refusal};
    QTest::newRow("minus alone") << "-" << true << QStringList{form, refusal};
    QTest::newRow("fraction") << "1.5" << true << QStringList{form, refusal};
}

void TestCompanyForms::nothingWritten()
{
    QFETCH(QString, code);
    QFETCH(bool, ok);
    QFETCH(QStringList, shown);
    // With the database file gone, any search would throw.
    CDaoRecordset::SetApplicationDatabasePath(QDir(m_db->Folder()).filePath(QStringLiteral("gone.mdb")));
    QStringList typed = kCompany;
    typed[0] = code;
    CDialogAnswers answers([&](QDialog &dialog) { return FillIn(dialog, typed, ok); });
    QVERIFY(!CNewCompanyCommand::Run(nullptr));
    QCOMPARE(answers.Texts(), shown);
}

// Another program holds the file when OK is pressed: told so, the form opens again
// with what was typed, and its next OK writes it.
void TestCompanyForms::refusedWriteKeepsTheForm()
{
    if (m_db->OnServer())
        QSKIP("a server waits for the other writer instead of refusing");
    CDaoDatabase::SetBusyTimeout(100);
    auto other = std::make_unique<CRawConnection>(m_db->Path(), QStringLiteral("other"));
    other->Exec(QStringLiteral("BEGIN IMMEDIATE"));
    QString kept;
    int forms = 0;
    CDialogAnswers answers([&](QDialog &dialog) {
        if (qobject_cast<QMessageBox *>(&dialog)) {
            other.reset(); // its transaction ends with it
            return int(QMessageBox::Ok);
        }
        if (++forms == 1)
            return FillIn(dialog, kCompany, true);
        kept = static_cast<CCompanyDlg &>(dialog).FieldText(CCompanyDlg::FieldName);
        return FillIn(dialog, {}, true);
    });
    QVERIFY(CNewCompanyCommand::Run(nullptr));
    QCOMPARE(answers.Texts().size(), 3);
    QVERIFY2(answers.Texts().at(1).contains(QStringLiteral("使用中")), qPrintable(answers.Texts().at(1)));
    QCOMPARE(kept, kCompany.at(1));
    QCOMPARE(ReadUnits().last().mid(1, 2), kCompany.mid(0, 2));
}

void TestCompanyForms::department_data()
{
    QTest::addColumn<bool>("ok");
    QTest::newRow("ok") << true;
    QTest::newRow("esc") << false;
}

void TestCompanyForms::department()
{
    QFETCH(bool, ok);
    CDeptDlg form;
    form.m_strUpper = QStringLiteral("会社");
    form.m_strYuu = QStringLiteral("100-0001");
    form.m_strTel = QStringLiteral("03-1111-2222");
    bool prefilled = false;
    CDialogAnswers answers([&](QDialog &dialog) {
        dialog.show();
        prefilled = form.Field(CDeptDlg::FieldName)->GetFieldText().isEmpty()
                 && form.Field(CDeptDlg::FieldYuu)->GetFieldText() == u"100-0001";
        bool upperShown = false;
        for (const QLabel *label : form.findChildren<QLabel *>())
            upperShown |= label->text() == u"会社";
        prefilled &= upperShown;
        return FillIn(dialog, {QStringLiteral("総務部"), QStringLiteral("100-0002")}, ok);
    });
    QCOMPARE(CModalSeam::Exec(form), ok ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QVERIFY(prefilled);
    QCOMPARE(form.m_strName, ok ? QStringLiteral("総務部") : QString());
    QCOMPARE(form.m_strYuu, ok ? QStringLiteral("100-0002") : QStringLiteral("100-0001"));
    QCOMPARE(form.m_strTel, QStringLiteral("03-1111-2222"));
}

QTEST_MAIN(TestCompanyForms)
#include "tst_companyforms.moc"
