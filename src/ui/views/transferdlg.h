#pragma once

#include "forms/funckeydialog.h"

#include <QDate>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// Asks where employees go and on what day the move takes effect (異動日, today
// unless typed): a unit chosen in a tree of the units as they are, read level by
// level, and six digits in the era at the field's left. The caller moves them.
class CTransferDlg final : public CFuncKeyDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTransferDlg)

public:
    enum { FieldDate = 1 };

    explicit CTransferDlg(int employeeCount, QWidget *parent = nullptr);

    // The unit chosen first when the form opens, if it is there.
    void SetUnit(qint32 unitId) { m_nUnit = unitId; }
    qint32 Unit() const { return m_nUnit; }
    // The day the move takes effect; invalid for today.
    QDate Effective() const { return m_effective; }
    QTreeWidget *UnitTree() const { return m_pUnits; }

    // Refuses no unit chosen, or a day that is no day or lies ahead, with the reason.
    void accept() override;

protected:
    void OnInitDialog() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void LoadChildren(QTreeWidgetItem *item);
    void Refuse(const QString &reason, QWidget *back);

    QTreeWidget *m_pUnits = nullptr;
    qint32 m_nUnit = 0;
    QDate m_effective;
};
