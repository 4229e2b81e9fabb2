#pragma once

#include "forms/fieldowner.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <array>

class CDialogTemplate;
class CEraDateEdit;
class QColor;
class QKeyEvent;
class CColorStatic;
class QShowEvent;

// What a form declares for each of its fields.
struct SFieldDesc {
    QString strPrompt; // status bar, tool tip and the description a screen reader reads
    int nType = 0;     // EFieldType
    int nMaxLen = 0;
    QString strName; // the field's label as the form shows it, without the colon
};

// Base of the keyboard-driven modal forms: numbered entry fields whose prompt
// follows the focus into the status bar, function keys F1..F12 dispatched to
// handlers, the new/correct mode caption, and the function-key captions and the
// status text put back when the form closes, however it closes.
class CFuncKeyDialog : public QDialog, public CFieldOwner
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CFuncKeyDialog)

public:
    static constexpr int MaxFields = 40;

    explicit CFuncKeyDialog(QWidget *parent = nullptr);
    ~CFuncKeyDialog() override;

    // What the fields tell their form.
    int OnFieldFocus(int nField) override;
    // 0 lets the user leave the field; anything else keeps them in it.
    int ValidateField(int nField, CEraDateEdit *pField) override;
    // Function keys forwarded by fields, and keys pressed on the form itself.
    void OnKeyDown(int nKey) override;
    void CancelForm() override { reject(); }

    // "登録しますか？", answered Yes.
    bool ConfirmRegister();

    int FieldCount() const { return m_nFieldCount; }
    int CurrentField() const { return m_nCurField; }
    int Mode() const { return m_nMode; }
    CEraDateEdit *Field(int nField) const;

    void done(int result) override;

    static QStringList PlainCaptions();

protected:
    // Runs when the form is first shown; derived forms call the base first.
    virtual void OnInitDialog();
    // Shows the current field's prompt from the descriptors given to SetupFields.
    virtual void ShowFieldPrompt();
    virtual void OnF12() {}
    virtual void OnF11() {}
    virtual void OnF10() {}
    virtual void OnF9() {}
    virtual void OnF8() {}
    virtual void OnF7() {}
    virtual void OnF6() {}
    virtual void OnF5() {}
    virtual void OnF4() {}
    virtual void OnF3() {}
    virtual void OnF2() {}
    virtual void OnF1() {}
    virtual void FindFocusedField();
    virtual void RefreshPrompt();
    virtual void ShowModeCaption();

    void showEvent(QShowEvent *e) override;
    void keyPressEvent(QKeyEvent *e) override;

    // Sets field nField up from its descriptor and gives it its prompt as tool tip.
    void SetupField(int nField, const SFieldDesc &desc);
    // Sets up fields 1..m_nFieldCount from a table the form keeps for its lifetime.
    void SetupFields(const SFieldDesc *descs);
    // Makes fields 1..m_nFieldCount at their template rectangles (x, y, cx, cy).
    void CreateFields(CDialogTemplate &form, const int (*rects)[4]);
    // The OK and ｷｬﾝｾﾙ buttons on one row at y; ｷｬﾝｾﾙ where the unit forms have it unless told.
    void AddOkCancel(CDialogTemplate &form, int y, int nCancelX = 156);
    static void ShowStatusText(const QString &text);
    // A refusal in the status bar, also told to a screen reader as an alert.
    static void ShowRefusalText(const QString &text);
    static void PutFuncKeyCaptions(const QStringList &captions);
    // On leaving a 〒 field: its address into an empty 住所1, from the postal data kept.
    void FillAddressFrom(int nPostalField, int nAddressField);
    // F10 on a 住所1 field: the codes of its address to choose from.
    void OfferPostalCodes(int nPostalField, int nAddressField);
    // Shown once in place of the next field's prompt.
    void KeepNote(const QString &text) { m_strFieldNote = text; }

    CColorStatic *m_pModeCaption = nullptr;
    int m_nFieldCount = 0;
    int m_nCurField = 0;
    int m_nMode = 0;
    std::array<CEraDateEdit *, MaxFields> m_pFields{};

private:
    static void PaintModeCaption(CColorStatic *caption, const QString &text, const QColor &background);
    void RestoreFrame();

    const SFieldDesc *m_pFieldDescs = nullptr;
    QString m_strStatusBefore;
    QString m_strFieldNote;
    bool m_bInitDone = false;
    bool m_bCaptionsRestored = false;
};
