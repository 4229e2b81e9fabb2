#include "companydlg.h"

#include "app/modalseam.h"
#include "dialogtemplate.h"
#include "eradateedit.h"

#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <iterator>

namespace {
const QString kTitle = QStringLiteral("会社登録フォーム");
const QString kBadCode = QStringLiteral("会社ｺｰﾄﾞは整数で入力してください。");

const SFieldDesc kFields[] = {
    {QStringLiteral("会社ｺｰﾄﾞを入力してください。"), FIELD_DIGITS, 6},
    {QStringLiteral("会社名を入力してください。"), FIELD_ANY, 60},
    {QStringLiteral("郵便番号を入力してください。"), FIELD_TEXT_ASCII, 8},
    {QStringLiteral("住所１を入力してください。"), FIELD_ANY, 60},
    {QStringLiteral("住所２を入力してください。"), FIELD_ANY, 60},
    {QStringLiteral("電話番号を入力してください。"), FIELD_TEXT_ASCII, 16},
    {QStringLiteral("ファクシミリ番号を入力してください。"), FIELD_TEXT_ASCII, 16},
};
constexpr int kFieldCount = int(std::size(kFields));

// Template 134, in dialog units: x, y, width, height of each field in field order.
constexpr int kFieldRects[kFieldCount][4] = {
    {55, 7, 48, 13}, {55, 24, 151, 13}, {55, 50, 41, 13}, {55, 65, 143, 13},
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
    for (int i = 0; i < kFieldCount; ++i) {
        auto *field = new CEraDateEdit(this);
        const int *r = kFieldRects[i];
        form.Place(field, r[0], r[1], r[2], r[3]);
        m_pFields[size_t(i + 1)] = field;
    }
    Field(FieldCode)->setAlignment(Qt::AlignRight);
    QPushButton *ok = form.AddButton(QStringLiteral("OK"), 7, 122, 50, 14);
    ok->setDefault(true);
    QPushButton *cancel = form.AddButton(QStringLiteral("ｷｬﾝｾﾙ"), 156, 122, 50, 14);
    connect(ok, &QPushButton::clicked, this, &CCompanyDlg::accept);
    connect(cancel, &QPushButton::clicked, this, &CCompanyDlg::reject);
}

void CCompanyDlg::OnInitDialog()
{
    CFuncKeyDialog::OnInitDialog();
    for (int i = 1; i <= m_nFieldCount; ++i)
        SetupField(i, kFields[i - 1]);
    PutFuncKeyCaptions(PlainCaptions());
}

void CCompanyDlg::ShowFieldPrompt()
{
    if (m_nCurField >= 1 && m_nCurField <= kFieldCount)
        ShowStatusText(kFields[m_nCurField - 1].strPrompt);
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
