#include "forms/asofdatedlg.h"

#include "forms/asofdate.h"
#include "forms/dialogtemplate.h"
#include "forms/eradateedit.h"
#include "forms/funckeycaptions.h"
#include "forms/toneservice.h"
#include "base/modalseam.h"
#include "dates/datevalue.h"

#include <QPushButton>

namespace {
const QString kTitle = QStringLiteral("基準日");

const SFieldDesc kFields[] = {
    {QStringLiteral("基準日を入力してください。この日の終わりの状態を表示します。（和暦 平成 10/1/1=100101 年号の切替 "
                    "PageUp 、PageDown です。)"),
     FIELD_DATE, 6, QStringLiteral("基準日")},
};
constexpr int kFieldRects[1][4] = {{40, 7, 60, 14}};
} // namespace

CAsOfDateDlg::CAsOfDateDlg(QWidget *parent)
    : CFuncKeyDialog(parent)
{
    m_nFieldCount = 1;
    m_nCurField = 1;
    setWindowTitle(kTitle);

    CDialogTemplate form(this, 176, 47);
    form.AddStatic(QStringLiteral("基準日："), 7, 10, 32, 10);
    CreateFields(form, kFieldRects);
    AddOkCancel(form, 26, 119);
    m_pToday = form.AddButton(QStringLiteral("今日"), 63, 26, 50, 14);
    connect(m_pToday, &QPushButton::clicked, this, &CAsOfDateDlg::AcceptToday);
}

void CAsOfDateDlg::OnInitDialog()
{
    CFuncKeyDialog::OnInitDialog();
    Field(FieldDate)->SetEraMode(true);
    SetupFields(kFields);
    Field(FieldDate)->SetDate(CDateValue(m_day.isValid() ? m_day : QDate::currentDate()));
    Field(FieldDate)->selectAll();
    QStringList captions = PlainCaptions();
    captions[4] = QStringLiteral("今日");
    PutFuncKeyCaptions(captions);
}

void CAsOfDateDlg::accept()
{
    const CEraDateEdit *field = Field(FieldDate);
    const QString text = field->GetFieldText();
    const QDate day = text.size() == 6 ? field->GetDate().Date() : QDate();
    const QDate today = QDate::currentDate();
    if (const QString reason = CAsOfDate::Refusal(day, today); !reason.isEmpty()) {
        ShowStatusText(reason);
        CToneService::Play(CToneService::Tone::Rejected);
        MorvekMessageBox(reason, QMessageBox::Ok, QMessageBox::Critical, kTitle, this);
        Field(FieldDate)->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_day = CAsOfDate::Kept(day, today);
    CFuncKeyDialog::accept();
}

void CAsOfDateDlg::AcceptToday()
{
    m_day = QDate();
    CFuncKeyDialog::accept();
}
