#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

class QSettings;

// Where the ten cards of a page go. By default in the layout's cell size from
// the printable area's corner; on perforated A4 stock, ten cards of 91 x 55 mm
// from the paper's corner inside 14 mm side and 11 mm top and bottom margins.
// Either grid can be shifted by up to 5 mm each way, in 0.5 mm steps, to match
// the printer. Table units (tenths of a millimetre) throughout.
class CCardSheet final
{
public:
    enum class EStock { printableArea = 0, a4TenUp = 1 };
    static constexpr int kCards = 10;
    static constexpr int kColumns = 2;
    static constexpr int kMaxOffset = 50;
    static constexpr int kOffsetStep = 5;
    static constexpr QSize kStockCell{910, 550};
    static constexpr QPoint kStockMargins{140, 110};

    // The cells of a page, measured from the paper's corner when FromPaperCorner(),
    // otherwise from the printable area's corner.
    std::vector<QRect> Cells(QSize layoutCell) const;
    bool FromPaperCorner() const { return m_stock == EStock::a4TenUp; }
    // An offset brought to the nearest step inside the limits.
    static int ClampOffset(int units);

    void Load(const QSettings &settings);
    void Save(QSettings &settings) const;
    bool operator==(const CCardSheet &) const = default;

    EStock m_stock = EStock::printableArea;
    int m_nOffsetX = 0;
    int m_nOffsetY = 0;
    bool m_bCutMarks = false;
};
