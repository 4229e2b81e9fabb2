#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;

// Asks for a register on a server: the URI, the password apart from it (never
// shown), and whether PostgreSQL's password file may keep the password.
class CServerDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CServerDlg)

public:
    // shownUri: the register in use, already without its password.
    explicit CServerDlg(const QString &shownUri, QWidget *parent = nullptr);

    // The URI as typed, with the password put in when one was typed apart.
    QString Uri() const;
    bool SavePassword() const;

    QLineEdit *UriEdit() const { return m_pUri; }
    QLineEdit *PasswordEdit() const { return m_pPassword; }
    QCheckBox *SaveBox() const { return m_pSave; }

private:
    QLineEdit *m_pUri;
    QLineEdit *m_pPassword;
    QCheckBox *m_pSave;
};
