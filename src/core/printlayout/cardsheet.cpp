#include "printlayout/cardsheet.h"

#include <QSettings>
#include <cmath>

namespace {
const QString kStockKey = QStringLiteral("Print/CardStock");
const QString kOffsetXKey = QStringLiteral("Print/CardOffsetX");
const QString kOffsetYKey = QStringLiteral("Print/CardOffsetY");
const QString kCutMarksKey = QStringLiteral("Print/CardCutMarks");
} // namespace

std::vector<QRect> CCardSheet::Cells(QSize layoutCell) const
{
    const bool stock = m_stock == EStock::a4TenUp;
    const QSize cell = stock ? kStockCell : layoutCell;
    const QPoint corner = (stock ? kStockMargins : QPoint()) + QPoint(m_nOffsetX, m_nOffsetY);
    std::vector<QRect> cells;
    for (int j = 0; j < kCards; ++j)
        cells.emplace_back(corner + QPoint((j % kColumns) * cell.width(), (j / kColumns) * cell.height()), cell);
    return cells;
}

int CCardSheet::ClampOffset(int units)
{
    const int stepped = int(std::lround(double(units) / kOffsetStep)) * kOffsetStep;
    return qBound(-kMaxOffset, stepped, kMaxOffset);
}

void CCardSheet::Load(const QSettings &settings)
{
    m_stock = settings.value(kStockKey, 0).toInt() == 1 ? EStock::a4TenUp : EStock::printableArea;
    m_nOffsetX = ClampOffset(settings.value(kOffsetXKey, 0).toInt());
    m_nOffsetY = ClampOffset(settings.value(kOffsetYKey, 0).toInt());
    m_bCutMarks = settings.value(kCutMarksKey, false).toBool();
}

void CCardSheet::Save(QSettings &settings) const
{
    settings.setValue(kStockKey, int(m_stock));
    settings.setValue(kOffsetXKey, m_nOffsetX);
    settings.setValue(kOffsetYKey, m_nOffsetY);
    settings.setValue(kCutMarksKey, m_bCutMarks);
}
