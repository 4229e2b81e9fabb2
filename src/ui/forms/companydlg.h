#pragma once

#include "forms/funckeydialog.h"

#include <QString>

// The form that enters a new company: code, name, postal code, two address
// lines, telephone and fax. It writes nothing; its caller reads the fields after
// it has closed with OK.
class CCompanyDlg final : public CFuncKeyDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCompanyDlg)

public:
    enum { FieldCode = 1, FieldName, FieldYuu, FieldJuu1, FieldJuu2, FieldTel, FieldFax };

    explicit CCompanyDlg(QWidget *parent = nullptr);

    QString FieldText(int nField) const;
    // A company code is a whole number: digits, with an optional leading "-".
    static bool ParseCompanyCode(const QString &text, qint32 *code);

    // Refuses a code that is not a whole number and keeps the form open.
    void accept() override;

    // Leaving the 〒 fills an empty 住所1.
    int ValidateField(int nField, CEraDateEdit *pField) override;

protected:
    void OnInitDialog() override;
};
