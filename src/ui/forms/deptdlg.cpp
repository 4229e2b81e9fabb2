#include "forms/deptdlg.h"

#include "forms/dialogtemplate.h"
#include "forms/eradateedit.h"

#include <QLabel>
#include <iterator>

namespace {
const QString kTitle = QStringLiteral("会社登録フォーム");

const SFieldDesc kFields[] = {
    {QStringLiteral("会社名を入力してください。"), FIELD_ANY, 60, QStringLiteral("部課名")},
    {QStringLiteral("郵便番号を入力してください。"), FIELD_TEXT_ASCII, 8, QStringLiteral("〒")},
    {QStringLiteral("住所１を入力してください。"), FIELD_ANY, 60, QStringLiteral("住所1")},
    {QStringLiteral("住所２を入力してください。"), FIELD_ANY, 60, QStringLiteral("住所2")},
    {QStringLiteral("電話番号を入力してください。"), FIELD_TEXT_ASCII, 16, QStringLiteral("TEL")},
    {QStringLiteral("ファクシミリ番号を入力してください。"), FIELD_TEXT_ASCII, 16, QStringLiteral("FAX")},
};
constexpr int kFieldCount = int(std::size(kFields));

// The department form's fields, in dialog units: x, y, width, height of each in field order.
constexpr int kFieldRects[kFieldCount][4] = {
    {55, 24, 151, 13}, {55, 50, 41, 13}, {55, 65, 143, 13}, {55, 81, 143, 13}, {55, 105, 60, 13}, {146, 105, 60, 13},
};
} // namespace

CDeptDlg::CDeptDlg(QWidget *parent)
    : CFuncKeyDialog(parent)
{
    m_nFieldCount = kFieldCount;
    m_nCurField = 1;
    setWindowTitle(kTitle);

    CDialogTemplate form(this, 213, 143);
    form.AddStatic(QStringLiteral("上階層："), 7, 11);
    form.AddStatic(QStringLiteral("部課名："), 7, 25);
    m_pUpper = form.AddStatic(QString(), 55, 7, 143, 12);
    form.AddGroupBox(QStringLiteral("住所"), 7, 41, 199, 58);
    form.AddStatic(QStringLiteral("〒"), 37, 51);
    form.AddStatic(QStringLiteral("TEL："), 30, 108);
    form.AddStatic(QStringLiteral("FAX："), 124, 108);
    CreateFields(form, kFieldRects);
    AddOkCancel(form, 122);
}

void CDeptDlg::OnInitDialog()
{
    CFuncKeyDialog::OnInitDialog();
    SetupFields(kFields);
    UpdateData(false);
    PutFuncKeyCaptions(PlainCaptions());
}

void CDeptDlg::accept()
{
    UpdateData(true);
    CFuncKeyDialog::accept();
}

void CDeptDlg::UpdateData(bool bSaveAndValidate)
{
    QString *members[] = {nullptr, &m_strName, &m_strYuu, &m_strJuu1, &m_strJuu2, &m_strTel, &m_strFax};
    if (!bSaveAndValidate)
        m_pUpper->setText(m_strUpper);
    for (int i = 1; i <= kFieldCount; ++i) {
        if (bSaveAndValidate)
            *members[i] = Field(i)->GetFieldText();
        else
            Field(i)->SetFieldText(*members[i]);
    }
}

int CDeptDlg::ValidateField(int nField, CEraDateEdit *)
{
    if (nField == FieldYuu)
        FillAddressFrom(FieldYuu, FieldJuu1);
    return 0;
}
