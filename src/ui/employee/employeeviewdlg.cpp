#include "employee/employeeviewdlg.h"

#include "employee/employeeform.h"
#include "employee/historydlg.h"
#include "employee/photobox.h"
#include "base/modalseam.h"
#include "base/frameservices.h"
#include "forms/asofdate.h"
#include "forms/changefollower.h"
#include "forms/dialogtemplate.h"
#include "forms/funckeycaptions.h"
#include "register/employeelookup.h"
#include "register/printsource.h"
#include "register/registerasof.h"
#include "store/mast01.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStringList>

namespace {
const QString kTemplateTitle = QStringLiteral("社員マスタ確認");
const QString kMale = QStringLiteral("男");
const QString kFemale = QStringLiteral("女");
const QString kChangedElsewhere = QStringLiteral("この社員は他の場所で変更されました。");
const QString kDeletedElsewhere = QStringLiteral("この社員は他の場所で削除されました。");

struct SValueStatic {
    int nId;
    int x, y, cx, cy;
    Qt::Alignment align;
};

// The value beside each caption, in dialog units: x, y, width, height and alignment.
const SValueStatic kValues[] = {
    {CEmployeeViewDlg::IDC_CODE, 80, 23, 46, 11, Qt::AlignRight},
    {CEmployeeViewDlg::IDC_NAME, 129, 23, 94, 11, Qt::AlignLeft},
    {CEmployeeViewDlg::IDC_SEX, 112, 41, 28, 11, Qt::AlignHCenter},
    {CEmployeeViewDlg::IDC_TEL, 112, 59, 111, 11, Qt::AlignLeft},
    {CEmployeeViewDlg::IDC_FAX, 112, 77, 111, 11, Qt::AlignLeft},
    {CEmployeeViewDlg::IDC_YUU, 37, 104, 43, 11, Qt::AlignLeft},
    {CEmployeeViewDlg::IDC_JUU1, 21, 117, 202, 11, Qt::AlignLeft},
    {CEmployeeViewDlg::IDC_JUU2, 21, 134, 202, 11, Qt::AlignLeft},
};
} // namespace

CEmployeeViewDlg::CEmployeeViewDlg(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(kTemplateTitle);
    CDialogTemplate form(this, 247, 185);
    form.AddGroupBox(QStringLiteral("住所"), 7, 91, 233, 65);
    m_pPlaceholder = form.AddStatic(QString(), 7, 7, 70, 80);
    m_pPlaceholder->setFrameStyle(QFrame::Box | QFrame::Plain);
    form.AddStatic(QStringLiteral("社員ｺｰﾄ/名前ﾞ："), 80, 7, 49, 10);
    form.AddStatic(QStringLiteral("性別："), 80, 43, 19, 10);
    // Below the group box's line, which the style draws under its title.
    form.AddStatic(QStringLiteral("〒"), 13, 105, 10, 10);
    form.AddStatic(QStringLiteral("TEL："), 80, 62, 19, 9);
    form.AddStatic(QStringLiteral("FAX："), 80, 77, 19, 9);
    for (const SValueStatic &value : kValues) {
        QLabel *label = form.AddStatic(QString(), value.x, value.y, value.cx, value.cy);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setAlignment(value.align | Qt::AlignVCenter);
        label->setTextFormat(Qt::PlainText);
        m_pControls[value.nId - IDC_CODE] = label;
    }
    QPushButton *close = form.AddButton(QStringLiteral("閉じる"), 190, 164, 50, 14);
    close->setDefault(true);
    m_pHistory = form.AddButton(QStringLiteral("変更履歴"), 7, 164, 50, 14);
    // Enter still closes; the history is F4 or a click away.
    m_pHistory->setAutoDefault(false);
    m_pCorrect = form.AddButton(QStringLiteral("訂正"), 98, 164, 50, 14);
    m_pCorrect->setAutoDefault(false);
    connect(m_pHistory, &QPushButton::clicked, this, &CEmployeeViewDlg::OnHistory);
    connect(m_pCorrect, &QPushButton::clicked, this, &CEmployeeViewDlg::OnCorrect);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    new CChangeFollower(this, [this](const CRegisterChanges &changes) { FollowChanges(changes); });
}

QLabel *CEmployeeViewDlg::Control(int nId) const
{
    if (nId < IDC_CODE || nId > IDC_JUU2)
        return nullptr;
    return m_pControls[nId - IDC_CODE];
}

void CEmployeeViewDlg::showEvent(QShowEvent *event)
{
    if (!m_bInitDone && !event->spontaneous()) {
        m_bInitDone = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CEmployeeViewDlg::OnInitDialog()
{
    m_pPhoto = new CPhotoBox;
    m_pPhoto->CreateOverControl(m_pPlaceholder);
    ReadEmployee();
    DoDataExchange();
    // A past day is shown as it was: nothing of it is changed from here.
    m_pCorrect->setEnabled(!m_pAsOf);
    // An employee without a unit has no path; the form then keeps its own title.
    setWindowTitle(
        CAsOfDate::Title(m_strTitle.isEmpty() ? kTemplateTitle : m_strTitle, m_pAsOf ? m_pAsOf->Day() : QDate()));
    PutCaptions();
}

bool CEmployeeViewDlg::ReadEmployee()
{
    if (m_pAsOf)
        return ReadEmployeeAsOf();
    return CEmployeeLookup::ById(m_nEmployeeID, [this](const CMast01 &employee) {
        Take(employee);
        m_pPhoto->SetPicture(employee.m_Pic.Data());
    });
}

bool CEmployeeViewDlg::ReadEmployeeAsOf()
{
    const std::optional<CPrintRecord> employee = m_pAsOf->Employee(m_nEmployeeID);
    if (!employee)
        return false;
    Take(*employee);
    m_pPhoto->SetPicture(CPrintSource::Photos({m_nEmployeeID}).value(m_nEmployeeID));
    return true;
}

// The row as it is now (CMast01) or as it stood then (CPrintRecord): the same items.
template <typename SEmployee>
void CEmployeeViewDlg::Take(const SEmployee &employee)
{
    m_strCode = QString::number(employee.m_Code);
    m_strName = employee.m_Name;
    m_strSex = employee.m_Sex ? kFemale : kMale;
    m_strTel = employee.m_TEL;
    m_strFax = employee.m_FAX;
    m_strYuu = employee.m_Yuu;
    m_strJuu1 = employee.m_Juu1;
    m_strJuu2 = employee.m_Juu2;
}

void CEmployeeViewDlg::FollowChanges(const CRegisterChanges &changes)
{
    // A past day does not change with what happens now.
    if (!m_bInitDone || m_pAsOf || !changes.Touches(m_nEmployeeID))
        return;
    const auto shown = [this] {
        return QStringList{m_strCode, m_strName, m_strSex, m_strTel, m_strFax, m_strYuu, m_strJuu1, m_strJuu2};
    };
    const QStringList before = shown();
    const QByteArray photo = m_pPhoto->GetPicture();
    // What is shown of one who is gone stays, to be read before closing.
    if (!ReadEmployee()) {
        SayInStatusBar(kDeletedElsewhere);
        return;
    }
    if (shown() == before && m_pPhoto->GetPicture() == photo)
        return;
    DoDataExchange();
    SayInStatusBar(kChangedElsewhere);
}

void CEmployeeViewDlg::SayInStatusBar(const QString &text)
{
    CFrameServices *services = CFrameServices::Instance();
    if (!services)
        return;
    // What the status bar said before is put back when the form closes.
    if (!m_statusBefore)
        m_statusBefore = services->GetStatusText();
    services->SetStatusText(text);
}

void CEmployeeViewDlg::PutCaptions()
{
    CFrameServices *services = CFrameServices::Instance();
    if (!services)
        return;
    CFuncKeyCaptions::Set captions = CFuncKeyCaptions::Plain();
    captions[3] = QStringLiteral("変更履歴");
    if (!m_pAsOf)
        captions[4] = QStringLiteral("訂正");
    for (int i = 0; i < int(captions.size()); ++i)
        services->SetFuncKeyCaption(i, captions[i]);
}

void CEmployeeViewDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F4 && event->modifiers() == Qt::NoModifier)
        OnHistory();
    else if (event->key() == Qt::Key_F5 && event->modifiers() == Qt::NoModifier)
        OnCorrect();
    else
        QDialog::keyPressEvent(event);
}

void CEmployeeViewDlg::OnHistory()
{
    CHistoryDlg history(m_nEmployeeID, m_strCode + QLatin1Char(' ') + m_strName, this);
    CModalSeam::Exec(history);
    PutCaptions();
}

void CEmployeeViewDlg::OnCorrect()
{
    if (m_pAsOf)
        return;
    // What is corrected there shows here when the form closes, as any change does.
    CEmployeeForm form(this);
    form.SetStartEmployee(m_nEmployeeID);
    CModalSeam::Exec(form);
    PutCaptions();
}

void CEmployeeViewDlg::DoDataExchange()
{
    const std::pair<int, const QString *> values[] = {
        {IDC_CODE, &m_strCode}, {IDC_NAME, &m_strName}, {IDC_SEX, &m_strSex},   {IDC_TEL, &m_strTel},
        {IDC_FAX, &m_strFax},   {IDC_YUU, &m_strYuu},   {IDC_JUU1, &m_strJuu1}, {IDC_JUU2, &m_strJuu2},
    };
    for (const auto &[id, text] : values)
        Control(id)->setText(*text);
}

void CEmployeeViewDlg::done(int result)
{
    if (m_bInitDone && !m_bCaptionsReset) {
        m_bCaptionsReset = true;
        if (CFrameServices *services = CFrameServices::Instance()) {
            services->ResetFuncKeyCaptions();
            if (m_statusBefore)
                services->SetStatusText(*m_statusBefore);
        }
    }
    QDialog::done(result);
}
