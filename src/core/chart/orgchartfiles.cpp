#include "chart/orgchartfiles.h"

#include "chart/orgchart.h"
#include "chart/orgchartpages.h"
#include "chart/orgchartprintjob.h"

#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <cmath>

namespace {
QString Suffix(const QString &path)
{
    return QFileInfo(path).suffix().toLower();
}

void WritePdf(QIODevice &device, const COrgChart &chart, const COrgChartPainter::FaceOf &faceOf,
              const COrgChartFiles::SPaper &paper)
{
    QPdfWriter writer(&device);
    writer.setTitle(chart.Title());
    writer.setCreator(QStringLiteral("Morvek"));
    writer.setResolution(300);
    const QPageLayout layout = COrgChartFiles::LayoutOf(paper);
    writer.setPageLayout(layout);
    COrgChartPrintJob job(chart, layout, COrgChartFiles::FitsOnePage(chart, paper), faceOf);
    job.Render(writer, 1, job.GetPageCount());
}

void WriteSvg(QIODevice &device, const COrgChart &chart, const COrgChartPainter::FaceOf &faceOf)
{
    const QSizeF size = COrgChartPainter::DocumentSize(chart);
    QSvgGenerator svg;
    svg.setOutputDevice(&device);
    svg.setSize(size.toSize());
    svg.setViewBox(QRectF(QPointF(0, 0), size));
    svg.setTitle(chart.Title());
    svg.setDescription(chart.DayText());
    QPainter painter(&svg);
    COrgChartPainter::PaintDocument(painter, chart, QRectF(QPointF(0, 0), size), faceOf);
}

bool WritePng(QIODevice &device, const COrgChart &chart, const COrgChartPainter::FaceOf &faceOf)
{
    const QSize size = COrgChartFiles::PngSize(chart);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return false;
    image.fill(Qt::white);
    const QSizeF document = COrgChartPainter::DocumentSize(chart);
    QPainter painter(&image);
    painter.scale(size.width() / document.width(), size.height() / document.height());
    COrgChartPainter::PaintDocument(painter, chart, QRectF(QPointF(0, 0), document), faceOf);
    painter.end();
    return image.save(&device, "PNG");
}
} // namespace

bool COrgChartFiles::IsKnown(const QString &path)
{
    const QString suffix = Suffix(path);
    return suffix == QLatin1String("pdf") || suffix == QLatin1String("svg") || suffix == QLatin1String("png");
}

QSize COrgChartFiles::PngSize(const COrgChart &chart)
{
    const QSizeF document = COrgChartPainter::DocumentSize(chart);
    const qreal pixels = document.width() * document.height();
    const qreal shrink = pixels > kMostPixels ? std::sqrt(kMostPixels / pixels) : 1.0;
    return {std::max(1, int(document.width() * shrink)), std::max(1, int(document.height() * shrink))};
}

QPageLayout COrgChartFiles::LayoutOf(const SPaper &paper)
{
    return QPageLayout(QPageSize(paper.size), paper.orientation, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

bool COrgChartFiles::FitsOnePage(const COrgChart &chart, const SPaper &paper)
{
    if (paper.fit != EFit::readable)
        return paper.fit == EFit::onePage;
    const QSizeF area = LayoutOf(paper).paintRect(QPageLayout::Millimeter).size() - QSizeF(0, COrgChartPrintJob::kFooterMm);
    // Shrunk below about two thirds of the readable size, names get too small to read.
    const COrgChartPages one(COrgChartPainter::DocumentSize(chart), area, true);
    return one.MmPerPixel() >= COrgChartPages::kReadableMmPerPixel * 0.65;
}

QString COrgChartFiles::Write(const QString &path, const COrgChart &chart, const COrgChartPainter::FaceOf &faceOf,
                              const SPaper &paper)
{
    if (!IsKnown(path))
        return QStringLiteral("%1 は書き出せません。名前の終わりを .pdf、.svg、.png のどれかにしてください。").arg(path);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("%1 に書き込めません。\n%2").arg(path, file.errorString());
    const QString suffix = Suffix(path);
    bool drawn = true;
    if (suffix == QLatin1String("pdf"))
        WritePdf(file, chart, faceOf, paper);
    else if (suffix == QLatin1String("svg"))
        WriteSvg(file, chart, faceOf);
    else
        drawn = WritePng(file, chart, faceOf);
    if (!drawn) {
        file.cancelWriting();
        return QStringLiteral("%1 を書き出せません。図が大きすぎます。").arg(path);
    }
    if (!file.commit())
        return QStringLiteral("%1 に書き込めません。\n%2").arg(path, file.errorString());
    return {};
}
