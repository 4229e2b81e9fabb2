#pragma once

#include "printlayout/cardsheet.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QRadioButton;

// "名刺用紙の位置調整": where the cards go on the paper, the shift that matches
// the printer, and cut marks for plain paper.
class CCardStockDlg final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CCardStockDlg)

public:
    explicit CCardStockDlg(const CCardSheet &sheet, QWidget *parent = nullptr);
    // What the dialog shows, offsets brought to 0.5 mm steps within ±5 mm.
    CCardSheet Sheet() const;

    QRadioButton *StockButton() const { return m_pStock; }
    QDoubleSpinBox *OffsetXBox() const { return m_pOffsetX; }
    QDoubleSpinBox *OffsetYBox() const { return m_pOffsetY; }
    QCheckBox *CutMarksBox() const { return m_pCutMarks; }

private:
    QDoubleSpinBox *MakeOffsetBox(int units);

    QRadioButton *m_pPrintable;
    QRadioButton *m_pStock;
    QDoubleSpinBox *m_pOffsetX;
    QDoubleSpinBox *m_pOffsetY;
    QCheckBox *m_pCutMarks;
};
