#include "shell/serverdlg.h"

#include "store/serveruri.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

CServerDlg::CServerDlg(const QString &shownUri, QWidget *parent)
    : QDialog(parent)
    , m_pUri(new QLineEdit(shownUri, this))
    , m_pPassword(new QLineEdit(this))
    , m_pSave(new QCheckBox(QStringLiteral("パスワードを保存する"), this))
{
    setWindowTitle(QStringLiteral("サーバーのデータベースを開く"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("PostgreSQL のデータベースの URI を入力してください。\n"
                                                "例: postgresql://ユーザー@ホスト:5432/データベース"),
                                 this));
    auto *fields = new QFormLayout;
    m_pUri->setAccessibleName(QStringLiteral("URI"));
    m_pPassword->setAccessibleName(QStringLiteral("パスワード"));
    fields->addRow(QStringLiteral("URI"), m_pUri);
    m_pPassword->setEchoMode(QLineEdit::Password);
    fields->addRow(QStringLiteral("パスワード"), m_pPassword);
    layout->addLayout(fields);
    m_pSave->setToolTip(QStringLiteral("PostgreSQL のパスワードファイル（~/.pgpass、本人だけが読める）に保存します。"));
    layout->addWidget(m_pSave);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("キャンセル"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    resize(460, sizeHint().height());
}

QString CServerDlg::Uri() const
{
    return CServerUri::WithPassword(m_pUri->text().trimmed(), m_pPassword->text());
}

bool CServerDlg::SavePassword() const
{
    return m_pSave->isChecked();
}
