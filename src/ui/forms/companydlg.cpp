#include "forms/companydlg.h"

#include "base/modalseam.h"
#include "forms/dialogtemplate.h"
#include "forms/eradateedit.h"

#include <QMessageBox>
#include <QRegularExpression>
#include <iterator>

namespace {
const QString kTitle = QStringLiteral("会社登録フォーム");
const QString kBadCode = QStringLiteral("会社ｺｰﾄﾞは整数で入力してください。");

const SFieldDesc kFields[] = {
    {QStringLiteral("会社ｺｰﾄﾞを入力してください。"), FIELD_DIGITS, 6, QStringLiteral("会社ｺｰﾄﾞ")},
    {QStringLiteral("会社名を入力してください。"), FIELD_ANY, 60, QStringLiteral("会社名")},
    {QStringLiteral("郵便番号を入力してください。"), FIELD_TEXT_ASCII, 8, QStringLiteral("〒")},
    {QStringLiteral("住所１を入力してください。"), FIELD_ANY, 60, QStringLiteral("住所1")},
    {QStringLiteral("住所２を入力してください。"), FIELD_ANY, 60, QStringLiteral("住所2")},
    {QStringLiteral("電話番号を入力してください。"), FIELD_TEXT_ASCII, 16, QStringLiteral("TEL")},
    {QStringLiteral("ファクシミリ番号を入力してください。"), FIELD_TEXT_ASCII, 16, QStringLiteral("FAX")},
};
constexpr int kFieldCount = int(std::size(kFields));

// The company form's fields, in dialog units: x, y, width, height of each in field order.
constexpr int kFieldRects[kFieldCount][4] = {
    {55, 7, 48, 13},   {55, 24, 151, 13}, {55, 50, 41, 13},   {55, 65, 143, 13},
    {55, 81, 143, 13}, {55, 105, 60, 13}, {146, 105, 60, 13},
};
} // namespace

CCompanyDlg::CCompanyDlg(QWidget *parent)
    : CFuncKeyDialog(parent)
{
    m_nFieldCount = kFieldCount;
    m_nCurField = 1;
    setWindowTitle(kTitle);

    CDialogTemplate form(this, 213, 143);
    form.AddStatic(QStringLiteral("会社ｺｰﾄﾞ："), 7, 11);
    form.AddStatic(QStringLiteral("会社名："), 7, 25);
    form.AddGroupBox(QStringLiteral("住所"), 7, 41, 199, 58);
    form.AddStatic(QStringLiteral("〒"), 37, 51);
    form.AddStatic(QStringLiteral("TEL："), 30, 108);
    form.AddStatic(QStringLiteral("FAX："), 124, 108);
    CreateFields(form, kFieldRects);
    Field(FieldCode)->setAlignment(Qt::AlignRight);
    AddOkCancel(form, 122);
}

void CCompanyDlg::OnInitDialog()
{
    CFuncKeyDialog::OnInitDialog();
    SetupFields(kFields);
    PutFuncKeyCaptions(PlainCaptions());
}

QString CCompanyDlg::FieldText(int nField) const
{
    const CEraDateEdit *field = Field(nField);
    return field ? field->GetFieldText() : QString();
}

bool CCompanyDlg::ParseCompanyCode(const QString &text, qint32 *code)
{
    static const QRegularExpression wholeNumber(QStringLiteral("^-?[0-9]+$"));
    if (!wholeNumber.match(text).hasMatch())
        return false;
    bool ok = false;
    const qint32 value = text.toInt(&ok);
    if (ok && code)
        *code = value;
    return ok;
}

void CCompanyDlg::accept()
{
    // The code goes into a search as a number, so anything else stops here.
    if (!ParseCompanyCode(FieldText(FieldCode), nullptr)) {
        MorvekMessageBox(kBadCode, QMessageBox::Ok, QMessageBox::Critical, QString(), this);
        Field(FieldCode)->setFocus(Qt::OtherFocusReason);
        return;
    }
    CFuncKeyDialog::accept();
}

int CCompanyDlg::ValidateField(int nField, CEraDateEdit *)
{
    if (nField == FieldYuu)
        FillAddressFrom(FieldYuu, FieldJuu1);
    return 0;
}
