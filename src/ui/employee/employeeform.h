#pragma once

#include "forms/funckeydialog.h"

#include <QStringList>
#include <memory>

class CEmployeeEditor;
class CRegisterChanges;
class CMast01;
class CPhotoBox;
class QFrame;
class QPushButton;

// The employee master form: enters new employees, looks them up by code, pages
// through them in code order, corrects and deletes them and gives them a photo.
// It reads and writes through an employee editor of its own, over every employee in code order.
class CEmployeeForm final : public CFuncKeyDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CEmployeeForm)

public:
    enum {
        FieldCode = 1,
        FieldName,
        FieldKana,
        FieldSex,
        FieldSdate,
        FieldIndat,
        FieldOutdat,
        FieldYuu,
        FieldJuu1,
        FieldJuu2,
        FieldTel,
        FieldFax
    };

    explicit CEmployeeForm(QWidget *parent = nullptr);
    ~CEmployeeForm() override;

    int ValidateField(int nField, CEraDateEdit *pField) override;
    // Asks first when something was typed; いいえ keeps the typing.
    void reject() override;

    // The 登録 button.
    void OnOK();

    // Opens showing that employee, ready to be corrected (0: empty, for a new one).
    void SetStartEmployee(qint32 employeeId) { m_nStartId = employeeId; }
    // ID of the employee on screen; 0 while none is shown.
    qint32 ShownID() const;
    QPushButton *OkButton() const { return m_pOk; }
    QPushButton *HistoryButton() const { return m_pHistory; }
    CPhotoBox *PhotoBox() const { return m_pPhoto; }

protected:
    void OnInitDialog() override;
    void OnF2() override;
    void OnF3() override;
    // 変更履歴 of the employee shown.
    void OnF4() override;
    void OnF5() override;
    void OnF7() override;
    void OnF8() override;
    // Finds an employee by name or reading; from the code field, or while one is shown.
    void OnF9() override;
    // On 住所1: the codes of the typed address to choose from.
    void OnF10() override;
    // Empties fields nFirst..12 and the photo.
    virtual void ClearFields(int nFirst);
    void ShowFieldPrompt() override;

private:
    struct SRefusal {
        int nField = 0;
        QString strReason;
    };

    void ShowRecord();
    void StoreFields(CMast01 &record) const;
    void SetEmployeeCaptions();
    qint32 CodeValue() const;
    QString FieldText(int nField) const;
    void FocusField(int nField);
    bool CurrentFieldHasFocus() const;
    void Step(bool forward);
    int CheckField(int nField, CEraDateEdit *pField);
    int ValidateCode();
    void FillReading(const CEraDateEdit &name);
    int ValidateDate(int nField, CEraDateEdit *pField);
    // Marks the field and shows why in the status bar: 1 when there is a reason.
    int Explain(int nField, const QString &reason);
    SRefusal FirstRefusal() const;
    // Back to the field, with the reason in the status bar and in a box.
    void Refuse(int nField, const QString &reason);
    void Save();
    QStringList FieldTexts() const;
    // Typed or pasted since the employee was shown or the form emptied.
    bool HasTyping() const;
    // The employee shown was changed or deleted elsewhere: said, and shown anew
    // unless the user has typed over it.
    void FollowChanges(const CRegisterChanges &changes);

    std::unique_ptr<CEmployeeEditor> m_pEditor;
    QPushButton *m_pOk = nullptr;
    QPushButton *m_pHistory = nullptr;
    QFrame *m_pPhotoPlace = nullptr;
    CPhotoBox *m_pPhoto = nullptr;
    SRefusal m_refusal;
    bool m_bPhotoChanged = false; // by the user since the employee was shown or the form emptied
    QStringList m_shownTexts;     // the fields as the employee was shown, to tell typing by
    bool m_bWriting = false;      // its own write is no change from elsewhere
    qint32 m_nStartId = 0;
    bool m_bToldNoReadings = false; // that the dictionary is missing
};
