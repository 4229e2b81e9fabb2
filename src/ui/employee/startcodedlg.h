#pragma once

#include "forms/funckeydialog.h"

#include <QString>

// Asks for the employee code at which the search list begins: one code field above
// OK and ｷｬﾝｾﾙ.
// Any content is accepted; the caller reads the field after OK.
class CStartCodeDlg final : public CFuncKeyDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CStartCodeDlg)

public:
    enum { FieldCode = 1 };

    explicit CStartCodeDlg(QWidget *parent = nullptr);

    QString GetCodeText() const;
    // The number the field starts with, 0 when it is empty.
    qint32 GetStartCode() const;

protected:
    void OnInitDialog() override;
};
