#include "employee/startcodedlg.h"

#include "register/employeecode.h"
#include "register/searchpager.h"

#include "forms/dialogtemplate.h"
#include "forms/eradateedit.h"

namespace {
const QString kTitle = QStringLiteral("開始番号");

const SFieldDesc kFields[] = {
    {QStringLiteral("開始社員コードを入力してください。"), FIELD_DIGITS, CEmployeeCode::kDigits,
     QStringLiteral("開始社員コード")},
};
constexpr int kFieldRects[1][4] = {{7, 7, 108, 14}};
} // namespace

CStartCodeDlg::CStartCodeDlg(QWidget *parent)
    : CFuncKeyDialog(parent)
{
    m_nFieldCount = 1;
    m_nCurField = 1;
    setWindowTitle(kTitle);

    CDialogTemplate form(this, 122, 47);
    CreateFields(form, kFieldRects);
    Field(FieldCode)->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    AddOkCancel(form, 26, 65);
}

void CStartCodeDlg::OnInitDialog()
{
    CFuncKeyDialog::OnInitDialog();
    SetupFields(kFields);
    PutFuncKeyCaptions(PlainCaptions());
}

QString CStartCodeDlg::GetCodeText() const
{
    return Field(FieldCode)->GetFieldText();
}

qint32 CStartCodeDlg::GetStartCode() const
{
    return CSearchPager::StartCodeFromText(GetCodeText());
}
