#include "employee/employeeform.h"

#include "employee/employeesearchdlg.h"
#include "employee/historydlg.h"
#include "employee/namesearchdlg.h"
#include "employee/photobox.h"
#include "register/employeecheck.h"
#include "register/employeecode.h"
#include "register/employeeeditor.h"
#include "register/employeelookup.h"

#include "base/errorreport.h"
#include "base/modalseam.h"
#include "forms/changefollower.h"
#include "forms/colorstatic.h"
#include "forms/dialogtemplate.h"
#include "forms/eradateedit.h"
#include "forms/funckeycaptions.h"
#include "forms/toneservice.h"
#include "store/daoexception.h"
#include "kana/readingsuggester.h"
#include "store/mast01.h"

#include <QFrame>
#include <QMessageBox>
#include <QPushButton>
#include <QScopedValueRollback>
#include <iterator>
#include <utility>

namespace {
const QString kTitle = QStringLiteral("社員マスタ登録");
const QString kDeleteText = QStringLiteral("削除しますか？");
const QString kDiscardText = QStringLiteral("入力した内容を破棄しますか？");
const QString kReadingFilled = QStringLiteral("読みを補いました。確かめてください。");
const QString kConfirmCaption = QStringLiteral("確認");
const QString kCodeTaken = QStringLiteral("社員コード %1 は既に登録されています。");
const QString kNoneFrom = QStringLiteral("社員コード %1 以降の社員はいません。");
const QString kCodeCut = QStringLiteral("社員コード %1 はこの画面では表せません。");
const QString kNobodyShown = QStringLiteral("訂正する社員を社員コードで呼び出してください。");
const QString kChangedElsewhere = QStringLiteral("この社員は他の場所で変更されました。");
const QString kDeletedElsewhere = QStringLiteral("この社員は他の場所で削除されました。");
const QString kNoHistoryShown = QStringLiteral("変更履歴を見る社員を社員コードで呼び出してください。");
const QString kDatePrompt = QStringLiteral(
    "を入力してください。（和暦 平成 10/1/1=100101 年号の切替 PageUp 、PageDown です。)");

const SFieldDesc kFields[] = {
    {QStringLiteral("社員コードを入力してください。（F8キーで検索できます。）"), FIELD_DIGITS, CEmployeeCode::kDigits,
     QStringLiteral("社員コード")},
    {QStringLiteral("社員名を入力してください。"), FIELD_ANY, 60, QStringLiteral("氏名")},
    {QStringLiteral("社員名のふりがなを入力してください。"), FIELD_ANY, 50, QStringLiteral("ふりがな")},
    {QStringLiteral("性別を入力してください。（0:男、1:女）"), FIELD_TOGGLE, 1, QStringLiteral("性別")},
    {QStringLiteral("生年月日") + kDatePrompt, FIELD_DATE, 6, QStringLiteral("生年月日")},
    {QStringLiteral("入社年月日") + kDatePrompt, FIELD_DATE, 6, QStringLiteral("入社年月日")},
    {QStringLiteral("退社年月日") + kDatePrompt, FIELD_DATE, 6, QStringLiteral("退社年月日")},
    {QStringLiteral("郵便番号を入力してください。"), FIELD_TEXT_ASCII, 8, QStringLiteral("〒")},
    {QStringLiteral("住所１を入力してください。"), FIELD_ANY, 60, QStringLiteral("住所1")},
    {QStringLiteral("住所２を入力してください。"), FIELD_ANY, 60, QStringLiteral("住所2")},
    {QStringLiteral("電話番号を入力してください。"), FIELD_TEXT_ASCII, 15, QStringLiteral("TEL")},
    {QStringLiteral("FAX番号を入力してください。"), FIELD_TEXT_ASCII, 15, QStringLiteral("FAX")},
};
constexpr int kFieldCount = int(std::size(kFields));

// The master form's fields, in dialog units: x, y, width, height of each in field order.
// The code field holds nine digits, the names sit to its right.
constexpr int kFieldRects[kFieldCount][4] = {
    {80, 37, 46, 14},  {129, 37, 103, 14}, {129, 53, 103, 14}, {112, 73, 22, 15},  {189, 73, 43, 15}, {103, 95, 43, 15},
    {189, 95, 43, 15}, {21, 129, 35, 14},  {21, 145, 211, 14}, {21, 161, 211, 14}, {46, 183, 60, 13}, {137, 183, 60, 13},
};

// Whether what the form shows of an employee is the same in both.
bool SameShown(const CMast01 &a, const CMast01 &b)
{
    return a.m_Code == b.m_Code && a.m_Name == b.m_Name && a.m_Kana == b.m_Kana && a.m_Sex == b.m_Sex
        && a.m_Sdate == b.m_Sdate && a.m_Indat == b.m_Indat && a.m_Outdat == b.m_Outdat && a.m_Yuu == b.m_Yuu
        && a.m_Juu1 == b.m_Juu1 && a.m_Juu2 == b.m_Juu2 && a.m_TEL == b.m_TEL && a.m_FAX == b.m_FAX
        && a.m_Pic.Data() == b.m_Pic.Data();
}

// A date that is missing, or the zero date that stands for none, shows as an empty field.
void ShowDate(CEraDateEdit *field, const CDateValue &date)
{
    field->ClearField();
    if (date.IsValid() && !(date == CDateValue::Zero()))
        field->SetDate(date);
}

// An empty date field is no date; anything else is what the field reads.
CDateValue FieldDate(const CEraDateEdit *field)
{
    return field->GetFieldText().isEmpty() ? CDateValue::MakeNull() : field->GetDate();
}
} // namespace

CEmployeeForm::CEmployeeForm(QWidget *parent)
    : CFuncKeyDialog(parent)
    , m_pEditor(std::make_unique<CEmployeeEditor>())
{
    m_nFieldCount = kFieldCount;
    m_nCurField = 1;
    setWindowTitle(kTitle);

    CDialogTemplate form(this, 247, 221);
    form.AddStatic(QStringLiteral("社員ｺｰﾄ/名前ﾞ："), 80, 23, 49, 10);
    form.AddStatic(QStringLiteral("性別："), 86, 76, 19, 10);
    form.AddGroupBox(QStringLiteral("住所"), 7, 115, 233, 65);
    // Below the group box's line, which the style draws under its title.
    form.AddStatic(QStringLiteral("〒"), 12, 132, 9, 10);
    form.AddStatic(QStringLiteral("TEL："), 21, 187, 19, 9);
    form.AddStatic(QStringLiteral("FAX："), 115, 187, 19, 9);
    form.AddStatic(QStringLiteral("生年月日："), 156, 74, 31, 10);
    form.AddStatic(QStringLiteral("入社年月日："), 60, 95, 40, 10);
    form.AddStatic(QStringLiteral("退社年月日："), 150, 95, 39, 10);

    m_pPhotoPlace = new QFrame(this);
    m_pPhotoPlace->setFrameShape(QFrame::Box);
    m_pPhotoPlace->setAccessibleName(QStringLiteral("写真"));
    form.Place(m_pPhotoPlace, 7, 7, 70, 80);
    m_pModeCaption = new CColorStatic(QString(), this);
    form.Place(m_pModeCaption, 204, 7, 36, 21);

    CreateFields(form, kFieldRects);
    Field(FieldCode)->setAlignment(Qt::AlignRight);

    m_pOk = form.AddButton(QStringLiteral("登録"), 7, 201, 50, 14);
    m_pOk->setDefault(true);
    m_pHistory = form.AddButton(QStringLiteral("変更履歴"), 98, 201, 50, 14);
    m_pHistory->setAutoDefault(false);
    QPushButton *close = form.AddButton(QStringLiteral("閉じる"), 190, 201, 50, 14);
    connect(m_pOk, &QPushButton::clicked, this, &CEmployeeForm::OnOK);
    connect(m_pHistory, &QPushButton::clicked, this, &CEmployeeForm::OnF4);
    connect(close, &QPushButton::clicked, this, &CEmployeeForm::reject);
    new CChangeFollower(
        this, [this](const CRegisterChanges &changes) { FollowChanges(changes); },
        [this](const SRegisterChange &) { return m_bWriting; });
}

CEmployeeForm::~CEmployeeForm() = default;

qint32 CEmployeeForm::ShownID() const
{
    return m_pEditor->ShownID();
}

void CEmployeeForm::OnInitDialog()
{
    CFuncKeyDialog::OnInitDialog();
    for (int i : {FieldSdate, FieldIndat, FieldOutdat})
        Field(i)->SetEraMode(true);
    SetupFields(kFields);
    m_nCurField = 1;

    m_pPhoto = new CPhotoBox(this);
    m_pPhoto->CreateOverControl(m_pPhotoPlace);
    connect(m_pPhoto, &CPhotoBox::pictureChanged, this, [this] { m_bPhotoChanged = true; });

    m_pEditor->Open();
    SetEmployeeCaptions();
    m_shownTexts = FieldTexts();
    // One gone since it was chosen leaves the form empty, as it always opens.
    if (m_nStartId > 0 && m_pEditor->ShowById(m_nStartId)) {
        m_nMode = 1;
        ShowModeCaption();
        ShowRecord();
        FocusField(FieldName);
    }
}

void CEmployeeForm::SetEmployeeCaptions()
{
    const CFuncKeyCaptions::Set captions = CFuncKeyCaptions::EmployeeMaster();
    PutFuncKeyCaptions(QStringList(captions.begin(), captions.end()));
}

QString CEmployeeForm::FieldText(int nField) const
{
    return Field(nField)->GetFieldText();
}

qint32 CEmployeeForm::CodeValue() const
{
    return CEmployeeCode::Value(FieldText(FieldCode));
}

void CEmployeeForm::FocusField(int nField)
{
    Field(nField)->setFocus(Qt::OtherFocusReason);
}

// A key pressed on a button or the photo belongs to no field, whatever field was last current.
bool CEmployeeForm::CurrentFieldHasFocus() const
{
    int nField = 0;
    const CEraDateEdit *field = Field(m_nCurField);
    return field && field->IsFocused(nField) && nField == m_nCurField;
}

int CEmployeeForm::ValidateField(int nField, CEraDateEdit *pField)
{
    if (m_refusal.nField == nField)
        m_refusal = {};
    const int result = CheckField(nField, pField);
    if (result == 0)
        pField->SetMarked(false);
    return result;
}

int CEmployeeForm::CheckField(int nField, CEraDateEdit *pField)
{
    switch (nField) {
    case FieldCode:
        return ValidateCode();
    case FieldName:
        if (const int refused = Explain(nField, CEmployeeCheck::Name(pField->GetFieldText())))
            return refused;
        FillReading(*pField);
        return 0;
    case FieldSdate:
    case FieldIndat:
    case FieldOutdat:
        return ValidateDate(nField, pField);
    case FieldYuu:
        FillAddressFrom(FieldYuu, FieldJuu1);
        return 0;
    default:
        return 0;
    }
}

// An empty ふりがな gets the kana the name was typed as, or the dictionary's
// reading; one the user typed is never replaced.
void CEmployeeForm::FillReading(const CEraDateEdit &name)
{
    if (!FieldText(FieldKana).trimmed().isEmpty() || name.GetFieldText().trimmed().isEmpty())
        return;
    const CReadingSuggester &suggester = CReadingSuggester::Instance();
    QString reading = name.TypedReading();
    if (reading.isEmpty() && !suggester.IsAvailable()) {
        // Said once a form, not at every name.
        if (!std::exchange(m_bToldNoReadings, true))
            KeepNote(suggester.Unavailable());
        return;
    }
    if (reading.isEmpty())
        reading = suggester.Suggest(name.GetFieldText());
    if (reading.isEmpty())
        return;
    Field(FieldKana)->SetFieldText(reading);
    KeepNote(kReadingFilled);
}

int CEmployeeForm::ValidateCode()
{
    const qint32 code = CodeValue();
    if (const QString reason = CEmployeeCheck::Code(code); !reason.isEmpty())
        return Explain(FieldCode, reason);
    if (m_nMode == 1) {
        if (!m_pEditor->ShowFromCode(code))
            return Explain(FieldCode, kNoneFrom.arg(code));
        ShowRecord();
        return 0;
    }
    if (m_pEditor->ShowCode(code)) {
        m_nMode = 1;
        ShowRecord();
        ShowModeCaption();
        return 0;
    }
    ClearFields(FieldName);
    m_pEditor->Forget();
    m_nMode = 0;
    ShowModeCaption();
    return 0;
}

int CEmployeeForm::ValidateDate(int nField, CEraDateEdit *pField)
{
    const QString text = pField->GetFieldText();
    if (text.size() != 6) {
        if (nField == FieldOutdat)
            pField->ClearField();
        else
            pField->SetDate(CDateValue::CurrentTime());
        return 0;
    }
    const auto which = CEmployeeCheck::EDate(nField - FieldSdate);
    if (const QString reason = CEmployeeCheck::DateText(which, text, pField->IsEraMode(), pField->Era()); !reason.isEmpty())
        return Explain(nField, reason);
    // Only against the dates above it: a later one may still be about to change.
    CDateValue dates[CEmployeeCheck::dateCount];
    for (int i = FieldSdate; i <= nField; ++i)
        dates[i - FieldSdate] = FieldDate(Field(i));
    CEmployeeCheck::EDate late = CEmployeeCheck::dateCount;
    if (const QString reason = CEmployeeCheck::Order(dates, late); !reason.isEmpty())
        return Explain(nField, reason);
    // The era is put right now, in sight, not when the row is next read.
    const CDateValue date = pField->GetDate();
    const QString note = CEmployeeCheck::EraNote(date, pField->Era());
    KeepNote(note);
    if (!note.isEmpty())
        pField->SetDate(date);
    return 0;
}

int CEmployeeForm::Explain(int nField, const QString &reason)
{
    if (reason.isEmpty())
        return 0;
    m_refusal = {nField, reason};
    Field(nField)->SetMarked(true, reason);
    ShowRefusalText(reason);
    return 1;
}

void CEmployeeForm::ShowFieldPrompt()
{
    // Why the field was refused stays in sight while the user is in it.
    if (m_refusal.nField != 0 && m_refusal.nField == m_nCurField) {
        ShowStatusText(m_refusal.strReason);
        return;
    }
    // A note on the field just left is shown by the base in place of the prompt.
    CFuncKeyDialog::ShowFieldPrompt();
}

void CEmployeeForm::ShowRecord()
{
    const CMast01 &set = m_pEditor->Record();
    Field(FieldCode)->SetFieldText(QString::number(set.m_Code));
    Field(FieldName)->SetFieldText(set.m_Name);
    Field(FieldKana)->SetFieldText(set.m_Kana);
    Field(FieldSex)->SetFieldText(QString::number(set.m_Sex ? 1 : 0));
    ShowDate(Field(FieldSdate), set.m_Sdate);
    ShowDate(Field(FieldIndat), set.m_Indat);
    ShowDate(Field(FieldOutdat), set.m_Outdat);
    Field(FieldYuu)->SetFieldText(set.m_Yuu);
    Field(FieldJuu1)->SetFieldText(set.m_Juu1);
    Field(FieldJuu2)->SetFieldText(set.m_Juu2);
    Field(FieldTel)->SetFieldText(set.m_TEL);
    Field(FieldFax)->SetFieldText(set.m_FAX);
    m_pPhoto->SetPicture(set.m_Pic.Data());
    m_bPhotoChanged = false;
    m_shownTexts = FieldTexts();
}

QStringList CEmployeeForm::FieldTexts() const
{
    QStringList texts;
    for (int i = 1; i <= m_nFieldCount; ++i)
        texts << FieldText(i);
    return texts;
}

void CEmployeeForm::FollowChanges(const CRegisterChanges &changes)
{
    const qint32 id = ShownID();
    if (m_nMode != 1 || id <= 0 || !changes.Touches(id))
        return;
    bool same = false;
    if (!CEmployeeLookup::ById(id, [&](const CMast01 &now) { same = SameShown(now, m_pEditor->Record()); })) {
        // 登録 then says nobody is shown; what was typed stays to be read.
        ShowStatusText(kDeletedElsewhere);
        return;
    }
    if (same)
        return;
    // Typing is kept: 登録 then finds the other change and refuses.
    if (FieldTexts() == m_shownTexts && !m_bPhotoChanged && m_pEditor->ShowById(id))
        ShowRecord();
    ShowStatusText(kChangedElsewhere);
}

// The photo goes to the editor apart from the members.
void CEmployeeForm::StoreFields(CMast01 &set) const
{
    set.m_Code = CodeValue();
    set.m_Name = FieldText(FieldName);
    set.m_Kana = FieldText(FieldKana);
    set.m_Sex = FieldText(FieldSex).toInt() != 0;
    set.m_Sdate = FieldDate(Field(FieldSdate));
    set.m_Indat = FieldDate(Field(FieldIndat));
    set.m_Outdat = FieldDate(Field(FieldOutdat));
    set.m_Yuu = FieldText(FieldYuu);
    set.m_Juu1 = FieldText(FieldJuu1);
    set.m_Juu2 = FieldText(FieldJuu2);
    set.m_TEL = FieldText(FieldTel);
    set.m_FAX = FieldText(FieldFax);
}

void CEmployeeForm::ClearFields(int nFirst)
{
    m_refusal = {};
    for (int i = 1; i <= m_nFieldCount; ++i)
        Field(i)->SetMarked(false);
    for (int i = nFirst; i <= m_nFieldCount; ++i)
        Field(i)->ClearField();
    m_pPhoto->ClearPicture();
    m_bPhotoChanged = false;
    m_shownTexts = FieldTexts();
}

bool CEmployeeForm::HasTyping() const
{
    return m_bPhotoChanged || FieldTexts() != m_shownTexts;
}

// Esc, 閉じる and the window's close: typing is not thrown away without a word.
void CEmployeeForm::reject()
{
    if (HasTyping()
        && MorvekMessageBox(kDiscardText, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question, kConfirmCaption, this,
                            QMessageBox::No)
               != QMessageBox::Yes)
        return;
    CFuncKeyDialog::reject();
}

// A field that was never left with Enter has not been checked: what would store
// a nameless employee, code 0, a date that is no day or dates out of order is refused here.
CEmployeeForm::SRefusal CEmployeeForm::FirstRefusal() const
{
    if (const QString reason = CEmployeeCheck::Code(CodeValue()); !reason.isEmpty())
        return {FieldCode, reason};
    if (const QString reason = CEmployeeCheck::Name(FieldText(FieldName)); !reason.isEmpty())
        return {FieldName, reason};
    CDateValue dates[CEmployeeCheck::dateCount];
    for (int i : {FieldSdate, FieldIndat, FieldOutdat}) {
        const CEraDateEdit *field = Field(i);
        const QString text = field->GetFieldText();
        const auto which = CEmployeeCheck::EDate(i - FieldSdate);
        if (!text.isEmpty()) {
            QString reason = CEmployeeCheck::DateText(which, text, field->IsEraMode(), field->Era());
            if (reason.isEmpty() && !field->GetDate().IsValid())
                reason = CEmployeeCheck::DateText(which, QString(), false, 0);
            if (!reason.isEmpty())
                return {i, reason};
        }
        dates[which] = FieldDate(field);
    }
    CEmployeeCheck::EDate late = CEmployeeCheck::dateCount;
    if (const QString reason = CEmployeeCheck::Order(dates, late); !reason.isEmpty())
        return {FieldSdate + int(late), reason};
    if (m_nMode == 1 && ShownID() <= 0)
        return {FieldCode, kNobodyShown};
    // A code too long for the field shows cut; saving would put the cut one in its place.
    if (m_nMode == 1) {
        const QString whole = QString::number(m_pEditor->Record().m_Code);
        if (CodeValue() != m_pEditor->Record().m_Code && FieldText(FieldCode) == whole.left(CEmployeeCode::kDigits))
            return {FieldCode, kCodeCut.arg(whole)};
    }
    return {};
}

void CEmployeeForm::Refuse(int nField, const QString &reason)
{
    m_nCurField = nField;
    Explain(nField, reason);
    FocusField(nField);
    CToneService::Play(CToneService::Tone::Rejected);
    MorvekMessageBox(reason, QMessageBox::Ok, QMessageBox::Critical, QString(), this);
}

void CEmployeeForm::OnOK()
{
    if (const SRefusal refusal = FirstRefusal(); refusal.nField != 0) {
        Refuse(refusal.nField, refusal.strReason);
        return;
    }
    // Two employees under one code could not be told apart by code again.
    if (const qint32 code = CodeValue(); CEmployeeLookup::CodeTakenByAnother(code, m_nMode == 1 ? ShownID() : 0)) {
        Refuse(FieldCode, kCodeTaken.arg(code));
        return;
    }
    if (!ConfirmRegister())
        return;
    Save();
}

void CEmployeeForm::Save()
{
    const QByteArray photo = m_pPhoto->GetPicture();
    const auto fill = [this](CMast01 &record) { StoreFields(record); };
    const QScopedValueRollback writing(m_bWriting, true);
    try {
        if (m_nMode == 0) {
            m_pEditor->Add(fill, photo);
            ClearFields(FieldCode);
            FocusField(FieldCode);
            return;
        }
        // An untouched photo is not written: another user's new one stays.
        if (!m_pEditor->Update(fill, m_bPhotoChanged ? std::optional<QByteArray>(photo) : std::nullopt)) {
            Refuse(FieldCode, kNobodyShown);
            return;
        }
    } catch (const CDaoException &error) {
        // Nothing was written. After a conflict what the other user left is shown
        // instead of what was typed; after any other failure the typing stays for another try.
        if (error.IsConflict())
            ShowRecord();
        CToneService::Play(CToneService::Tone::Rejected);
        CErrorReport::Report(error);
        return;
    }
    // Kept: from here on only new typing would be lost on leaving.
    m_shownTexts = FieldTexts();
    m_bPhotoChanged = false;
    FocusField(FieldName);
}

void CEmployeeForm::Step(bool forward)
{
    if (m_nMode != 1 || m_nCurField <= 1 || !CurrentFieldHasFocus())
        return;
    if (forward ? m_pEditor->ShowNext() : m_pEditor->ShowPrevious())
        ShowRecord();
}

void CEmployeeForm::OnF2()
{
    Step(false);
}

void CEmployeeForm::OnF3()
{
    Step(true);
}

void CEmployeeForm::OnF4()
{
    if (m_nMode != 1 || ShownID() <= 0) {
        // Shown in place of the prompt the key would otherwise bring back.
        KeepNote(kNoHistoryShown);
        CToneService::Play(CToneService::Tone::Rejected);
        return;
    }
    const CMast01 &shown = m_pEditor->Record();
    CHistoryDlg history(ShownID(), QString::number(shown.m_Code) + QLatin1Char(' ') + shown.m_Name, this);
    CModalSeam::Exec(history);
    SetEmployeeCaptions();
}

void CEmployeeForm::OnF5()
{
    m_nMode = 1 - m_nMode;
    ShowModeCaption();
    ClearFields(FieldCode);
    m_pEditor->Forget();
    FocusField(FieldCode);
}

void CEmployeeForm::OnF7()
{
    if (m_nMode != 1 || m_nCurField == 1 || !CurrentFieldHasFocus() || ShownID() <= 0)
        return;
    // いいえ is the default: Enter moves from field to field, and a second one must not delete.
    if (MorvekMessageBox(kDeleteText, QMessageBox::Yes | QMessageBox::No, QMessageBox::Information, kConfirmCaption, this,
                         QMessageBox::No)
        != QMessageBox::Yes)
        return;
    const QScopedValueRollback writing(m_bWriting, true);
    if (!m_pEditor->Delete())
        return;
    ClearFields(FieldCode);
    FocusField(FieldCode);
    m_nMode = 0;
    ShowModeCaption();
}

void CEmployeeForm::OnF8()
{
    if (m_nCurField == 1 && CurrentFieldHasFocus()) {
        // Gone before the captions are put back: it resets them as it goes.
        CEmployeeSearchDlg search(this);
        search.m_nStartCode = CodeValue();
        if (CModalSeam::Exec(search) == QDialog::Accepted && search.m_nSelectedID > 0
            && m_pEditor->ShowById(search.m_nSelectedID)) {
            FocusField(FieldName);
            ShowRecord();
            m_nMode = 1;
            ShowModeCaption();
        }
    }
    SetEmployeeCaptions();
}

void CEmployeeForm::OnF9()
{
    // Elsewhere in a new employee, what was typed would be lost.
    if ((m_nCurField == 1 || m_nMode == 1) && CurrentFieldHasFocus()) {
        CNameSearchDlg search(this);
        if (CModalSeam::Exec(search) == QDialog::Accepted && m_pEditor->ShowById(search.m_nSelectedID)) {
            FocusField(FieldName);
            ShowRecord();
            m_nMode = 1;
            ShowModeCaption();
        }
    }
    SetEmployeeCaptions();
}

void CEmployeeForm::OnF10()
{
    if (m_nCurField == FieldJuu1 && CurrentFieldHasFocus())
        OfferPostalCodes(FieldYuu, FieldJuu1);
}
