#pragma once

#include "chart/orgchartfiles.h"

#include <QDialog>

class QComboBox;

// The paper an organisation chart goes on, asked before printing or writing a PDF;
// the choice is remembered for the next time.
class COrgChartPaperDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COrgChartPaperDlg)

public:
    COrgChartPaperDlg(const QString &title, QWidget *parent = nullptr);

    COrgChartFiles::SPaper Paper() const;
    static COrgChartFiles::SPaper Remembered();
    static void Remember(const COrgChartFiles::SPaper &paper);

private:
    QComboBox *m_pSize;
    QComboBox *m_pOrientation;
    QComboBox *m_pFit;
};
