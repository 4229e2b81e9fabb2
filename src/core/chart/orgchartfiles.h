#pragma once

#include "chart/orgchartpainter.h"

#include <QPageLayout>
#include <QString>

class COrgChart;

// The organisation chart written to a file, by its name's ending: .pdf (on the
// paper given), .svg or .png (the chart's own size, made smaller when it would
// not fit in memory). Written under another name and renamed when whole.
class COrgChartFiles final
{
public:
    enum class EFit { onePage, spread, readable }; // readable: one page unless that is too small to read

    struct SPaper {
        QPageSize::PageSizeId size = QPageSize::A4;
        QPageLayout::Orientation orientation = QPageLayout::Landscape;
        EFit fit = EFit::readable;
    };

    static constexpr qint64 kMostPixels = 40'000'000; // a PNG's pixels, about 160 MB while drawn

    COrgChartFiles() = delete;

    // Whether the name ends in .pdf, .svg or .png.
    static bool IsKnown(const QString &path);
    // Empty on success; otherwise why not, in Japanese (nothing is left at path then).
    static QString Write(const QString &path, const COrgChart &chart, const COrgChartPainter::FaceOf &faceOf,
                         const SPaper &paper);
    // The size a PNG of the chart is written at.
    static QSize PngSize(const COrgChart &chart);
    static QPageLayout LayoutOf(const SPaper &paper);
    // Whether the chart goes on one sheet for this paper and choice.
    static bool FitsOnePage(const COrgChart &chart, const SPaper &paper);
};
