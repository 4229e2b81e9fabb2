#pragma once

#include "forms/funckeydialog.h"

class QLabel;
class QLineEdit;
class QTreeWidget;

// 名前で検索: one text field and the employees whose name or reading holds what
// is typed (or whose code or telephone number does, for digits), refilled at each
// keystroke. The arrows move in the list while the field keeps the focus; Enter,
// OK or a double-click chooses, Escape leaves.
class CNameSearchDlg final : public CFuncKeyDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CNameSearchDlg)

public:
    explicit CNameSearchDlg(QWidget *parent = nullptr);
    ~CNameSearchDlg() override;

    // Chooses the line that is current; without one the dialog stays.
    void accept() override;

    QLineEdit *GetText() const { return m_pText; }
    QTreeWidget *GetList() const { return m_pList; }
    QLabel *GetMore() const { return m_pMore; }

    qint32 m_nSelectedID = -1; // -1 when no line was chosen

protected:
    void OnInitDialog() override;
    void ShowFieldPrompt() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Refill(const QString &text);

    QLineEdit *m_pText;
    QTreeWidget *m_pList;
    QLabel *m_pMore;
};
