#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QTreeWidget;
struct SHistoryEntry;

// 変更履歴: what happened to one employee, newest first: when, on what day it took
// effect, who, what, and the value before and after (units by their path as it
// stood then). Read-only; the arrows move through it, Enter or Esc closes it.
class CHistoryDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CHistoryDlg)

public:
    enum EColumn { colWhen, colEffective, colWho, colWhat, colField, colOld, colNew, colCount };

    // who names the employee in the title ("123 山田 太郎").
    CHistoryDlg(qint32 employeeId, const QString &who, QWidget *parent = nullptr);

    QTreeWidget *GetList() const { return m_pList; }
    // The texts of one entry's row, by column.
    static QStringList RowTexts(const SHistoryEntry &entry);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void Fill();

    qint32 m_nEmployeeID;
    QTreeWidget *m_pList;
    QLabel *m_pNone;
    bool m_bFilled = false;
};
