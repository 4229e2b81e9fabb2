#include "print/cardstockdlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>
#include <cmath>

namespace {
// Offsets are kept in tenths of a millimetre and shown in millimetres.
constexpr double kUnitsPerMm = 10.0;
} // namespace

CCardStockDlg::CCardStockDlg(const CCardSheet &sheet, QWidget *parent)
    : QDialog(parent)
    , m_pPrintable(new QRadioButton(QStringLiteral("印刷できる範囲の左上から（名刺レイアウトの大きさ）"), this))
    , m_pStock(new QRadioButton(QStringLiteral("名刺用紙 (A4 10面)"), this))
    , m_pOffsetX(MakeOffsetBox(sheet.m_nOffsetX))
    , m_pOffsetY(MakeOffsetBox(sheet.m_nOffsetY))
    , m_pCutMarks(new QCheckBox(QStringLiteral("切り取り位置の印を付ける（普通紙に印刷するとき）"), this))
{
    setWindowTitle(QStringLiteral("名刺用紙の位置調整"));
    m_pPrintable->setChecked(sheet.m_stock == CCardSheet::EStock::printableArea);
    m_pStock->setChecked(sheet.m_stock == CCardSheet::EStock::a4TenUp);
    m_pStock->setToolTip(QStringLiteral("91 × 55 mm の名刺 10 枚、左右の余白 14 mm、上下の余白 11 mm"));
    m_pCutMarks->setChecked(sheet.m_bCutMarks);

    m_pOffsetX->setAccessibleName(QStringLiteral("右へずらす (mm)"));
    m_pOffsetY->setAccessibleName(QStringLiteral("下へずらす (mm)"));
    auto *offsets = new QFormLayout;
    offsets->addRow(QStringLiteral("右へずらす (mm):"), m_pOffsetX);
    offsets->addRow(QStringLiteral("下へずらす (mm):"), m_pOffsetY);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("名刺の並べ方:"), this));
    layout->addWidget(m_pPrintable);
    layout->addWidget(m_pStock);
    layout->addSpacing(8);
    layout->addWidget(new QLabel(QStringLiteral("プリンタに合わせて全体をずらします（±5 mm、0.5 mm 単位）。"), this));
    layout->addLayout(offsets);
    layout->addWidget(m_pCutMarks);
    layout->addWidget(buttons);
}

QDoubleSpinBox *CCardStockDlg::MakeOffsetBox(int units)
{
    auto *box = new QDoubleSpinBox(this);
    box->setDecimals(1);
    box->setRange(-CCardSheet::kMaxOffset / kUnitsPerMm, CCardSheet::kMaxOffset / kUnitsPerMm);
    box->setSingleStep(CCardSheet::kOffsetStep / kUnitsPerMm);
    box->setValue(units / kUnitsPerMm);
    return box;
}

CCardSheet CCardStockDlg::Sheet() const
{
    CCardSheet sheet;
    sheet.m_stock = m_pStock->isChecked() ? CCardSheet::EStock::a4TenUp : CCardSheet::EStock::printableArea;
    sheet.m_nOffsetX = CCardSheet::ClampOffset(int(std::lround(m_pOffsetX->value() * kUnitsPerMm)));
    sheet.m_nOffsetY = CCardSheet::ClampOffset(int(std::lround(m_pOffsetY->value() * kUnitsPerMm)));
    sheet.m_bCutMarks = m_pCutMarks->isChecked();
    return sheet;
}
