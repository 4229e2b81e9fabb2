#pragma once

#include "forms/funckeydialog.h"

#include <QDate>

class QPushButton;

// Asks the day the company window is to show the register as of: six digits in
// the era at the field's left (PageUp, PageDown switch it), or 今日 for the
// register as it is. The caller reads Day() after OK: invalid for today.
class CAsOfDateDlg final : public CFuncKeyDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CAsOfDateDlg)

public:
    enum { FieldDate = 1 };

    explicit CAsOfDateDlg(QWidget *parent = nullptr);

    // The day shown when the form opens; invalid for today.
    void SetDay(const QDate &day) { m_day = day; }
    QDate Day() const { return m_day; }
    QPushButton *TodayButton() const { return m_pToday; }

    // Refuses a day that is no day or lies ahead, with the reason.
    void accept() override;
    // 今日: the register as it is.
    void AcceptToday();

protected:
    void OnInitDialog() override;
    void OnF5() override { AcceptToday(); }

private:
    QDate m_day;
    QPushButton *m_pToday = nullptr;
};
