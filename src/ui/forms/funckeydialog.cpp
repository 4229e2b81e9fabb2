#include "forms/funckeydialog.h"

#include "forms/addressfiller.h"
#include "forms/colorstatic.h"
#include "forms/dialogtemplate.h"
#include "forms/funckeycaptions.h"

#include "base/frameservices.h"
#include "base/modalseam.h"
#include "forms/eradateedit.h"
#include "postal/postaldirectory.h"

#include <QColor>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QShowEvent>

namespace {
const QString kConfirmText = QStringLiteral("登録しますか？");
const QString kConfirmCaption = QStringLiteral("確認");
const QString kNewModeText = QStringLiteral("[新規]");
const QString kCorrectModeText = QStringLiteral("[訂正]");
const QColor kNewModeBack(255, 200, 0);
const QColor kCorrectModeBack(0, 255, 255);
} // namespace

CFuncKeyDialog::CFuncKeyDialog(QWidget *parent)
    : QDialog(parent)
{
}

CFuncKeyDialog::~CFuncKeyDialog()
{
    RestoreFrame();
}

QStringList CFuncKeyDialog::PlainCaptions()
{
    const CFuncKeyCaptions::Set plain = CFuncKeyCaptions::Plain();
    return QStringList(plain.begin(), plain.end());
}

CEraDateEdit *CFuncKeyDialog::Field(int nField) const
{
    return nField > 0 && nField < MaxFields ? m_pFields[size_t(nField)] : nullptr;
}

void CFuncKeyDialog::showEvent(QShowEvent *e)
{
    if (!m_bInitDone && !e->spontaneous()) {
        m_bInitDone = true;
        if (CFrameServices *services = CFrameServices::Instance())
            m_strStatusBefore = services->GetStatusText();
        OnInitDialog();
        // The first control that takes Tab gets the focus, as a dialog opens.
        if (!focusWidget()) {
            for (QWidget *w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
                if ((w->focusPolicy() & Qt::TabFocus) && w->isEnabled() && !w->isHidden()) {
                    w->setFocus(Qt::TabFocusReason);
                    break;
                }
            }
        }
    }
    QDialog::showEvent(e);
}

void CFuncKeyDialog::OnInitDialog()
{
    m_nMode = 0;
    ShowFieldPrompt();
    RefreshPrompt();
    ShowModeCaption();
}

void CFuncKeyDialog::SetupFields(const SFieldDesc *descs)
{
    m_pFieldDescs = descs;
    for (int i = 1; i <= m_nFieldCount; ++i)
        SetupField(i, descs[i - 1]);
    CDialogTemplate::PairLabels(this);
}

void CFuncKeyDialog::CreateFields(CDialogTemplate &form, const int (*rects)[4])
{
    for (int i = 1; i <= m_nFieldCount; ++i) {
        auto *field = new CEraDateEdit(this);
        const int *r = rects[i - 1];
        form.Place(field, r[0], r[1], r[2], r[3]);
        m_pFields[size_t(i)] = field;
    }
}

void CFuncKeyDialog::AddOkCancel(CDialogTemplate &form, int y, int nCancelX)
{
    QPushButton *ok = form.AddButton(QStringLiteral("OK"), 7, y, 50, 14);
    ok->setDefault(true);
    QPushButton *cancel = form.AddButton(QStringLiteral("ｷｬﾝｾﾙ"), nCancelX, y, 50, 14);
    connect(ok, &QPushButton::clicked, this, &CFuncKeyDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &CFuncKeyDialog::reject);
}

void CFuncKeyDialog::ShowFieldPrompt()
{
    // What leaving the last field did is read before what the next one asks.
    if (!m_strFieldNote.isEmpty()) {
        ShowStatusText(m_strFieldNote);
        m_strFieldNote.clear();
        return;
    }
    if (m_pFieldDescs && m_nCurField >= 1 && m_nCurField <= m_nFieldCount)
        ShowStatusText(m_pFieldDescs[m_nCurField - 1].strPrompt);
}

void CFuncKeyDialog::SetupField(int nField, const SFieldDesc &desc)
{
    CEraDateEdit *field = Field(nField);
    if (!field)
        return;
    field->Setup(nField, desc.nType, desc.nMaxLen);
    field->setToolTip(desc.strPrompt);
    field->setAccessibleName(desc.strName);
    field->setAccessibleDescription(desc.strPrompt);
}

int CFuncKeyDialog::OnFieldFocus(int nField)
{
    m_nCurField = nField;
    ShowFieldPrompt();
    return 0;
}

int CFuncKeyDialog::ValidateField(int, CEraDateEdit *)
{
    return 0;
}

// The last field is left out on purpose: it reports itself when it gains the focus.
void CFuncKeyDialog::FindFocusedField()
{
    for (int i = 1; i < m_nFieldCount; ++i) {
        int nField = 0;
        if (CEraDateEdit *field = Field(i); field && field->IsFocused(nField)) {
            m_nCurField = nField;
            return;
        }
    }
}

void CFuncKeyDialog::RefreshPrompt()
{
    ShowFieldPrompt();
}

void CFuncKeyDialog::OnKeyDown(int nKey)
{
    FindFocusedField();
    switch (nKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Up:
    case Qt::Key_Down:
        return;
    case Qt::Key_F1:
        OnF1();
        break;
    case Qt::Key_F2:
        OnF2();
        break;
    case Qt::Key_F3:
        OnF3();
        break;
    case Qt::Key_F4:
        OnF4();
        break;
    case Qt::Key_F5:
        OnF5();
        break;
    case Qt::Key_F6:
        OnF6();
        break;
    case Qt::Key_F7:
        OnF7();
        break;
    case Qt::Key_F8:
        OnF8();
        break;
    case Qt::Key_F9:
        OnF9();
        break;
    case Qt::Key_F10:
        OnF10();
        break;
    case Qt::Key_F11:
        OnF11();
        break;
    case Qt::Key_F12:
        OnF12();
        break;
    default:
        break;
    }
    RefreshPrompt();
}

void CFuncKeyDialog::keyPressEvent(QKeyEvent *e)
{
    OnKeyDown(e->key());
    QDialog::keyPressEvent(e);
}

void CFuncKeyDialog::ShowModeCaption()
{
    if (!m_pModeCaption)
        return;
    if (m_nMode == 0)
        PaintModeCaption(m_pModeCaption, kNewModeText, kNewModeBack);
    else
        PaintModeCaption(m_pModeCaption, kCorrectModeText, kCorrectModeBack);
}

// The one place that knows what the mode caption is made of.
void CFuncKeyDialog::PaintModeCaption(CColorStatic *caption, const QString &text, const QColor &background)
{
    caption->SetColors(Qt::black, background);
    caption->SetWindowText(text);
}

bool CFuncKeyDialog::ConfirmRegister()
{
    return MorvekMessageBox(kConfirmText, QMessageBox::Yes | QMessageBox::No, QMessageBox::Information, kConfirmCaption,
                            this)
        == QMessageBox::Yes;
}

void CFuncKeyDialog::ShowStatusText(const QString &text)
{
    if (CFrameServices *services = CFrameServices::Instance())
        services->SetStatusText(text);
}

void CFuncKeyDialog::ShowRefusalText(const QString &text)
{
    if (CFrameServices *services = CFrameServices::Instance())
        services->SetRefusalText(text);
}

void CFuncKeyDialog::PutFuncKeyCaptions(const QStringList &captions)
{
    CFrameServices *services = CFrameServices::Instance();
    if (!services)
        return;
    for (int i = 0; i < 12; ++i)
        services->SetFuncKeyCaption(i, captions.value(i));
}

void CFuncKeyDialog::done(int result)
{
    RestoreFrame();
    QDialog::done(result);
}

void CFuncKeyDialog::RestoreFrame()
{
    if (!m_bInitDone || m_bCaptionsRestored)
        return;
    m_bCaptionsRestored = true;
    // The last field's prompt would otherwise stay, naming a field no longer there.
    if (CFrameServices *services = CFrameServices::Instance()) {
        services->ResetFuncKeyCaptions();
        services->SetStatusText(m_strStatusBefore);
    }
}

void CFuncKeyDialog::FillAddressFrom(int nPostalField, int nAddressField)
{
    KeepNote(CAddressFiller::FillFromCode(CPostalDirectory::Shared(), this, Field(nPostalField)->GetFieldText(),
                                          Field(nAddressField)));
}

void CFuncKeyDialog::OfferPostalCodes(int nPostalField, int nAddressField)
{
    // Shown by the prompt that follows every function key.
    KeepNote(CAddressFiller::OfferCodes(CPostalDirectory::Shared(), this, Field(nPostalField), Field(nAddressField)));
}
