#pragma once

#include "forms/funckeydialog.h"

#include <QString>

class QLabel;

// The form that enters or corrects a department (or the company row) below a
// shown upper level. The caller presets the members, runs the form and reads
// them back after OK; the form writes nothing.
class CDeptDlg final : public CFuncKeyDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CDeptDlg)

public:
    enum { FieldName = 1, FieldYuu, FieldJuu1, FieldJuu2, FieldTel, FieldFax };

    explicit CDeptDlg(QWidget *parent = nullptr);

    // Takes the field texts into the members, then closes with OK.
    void accept() override;

    QString m_strUpper; // shown, not editable
    QString m_strName;
    QString m_strYuu;
    QString m_strJuu1;
    QString m_strJuu2;
    QString m_strTel;
    QString m_strFax;

    // Leaving the 〒 fills an empty 住所1.
    int ValidateField(int nField, CEraDateEdit *pField) override;

protected:
    void OnInitDialog() override;

private:
    void UpdateData(bool bSaveAndValidate);

    QLabel *m_pUpper = nullptr;
};
