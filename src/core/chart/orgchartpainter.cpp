#include "chart/orgchartpainter.h"

#include "chart/orgchart.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace {
constexpr qreal kPadding = 8;
constexpr qreal kFaceGap = 4;
const QColor kLine(0x55, 0x55, 0x55);
const QColor kCompanyFill(0xdc, 0xe6, 0xf2);
const QColor kUnitFill(0xff, 0xff, 0xff);
const QColor kSelected(0x1f, 0x5f, 0xbf);
const QColor kFaceBack(0xee, 0xee, 0xee);

void PaintFace(QPainter &painter, const QRectF &cell, const COrgChart::SMember &member, const QImage &face)
{
    const QRectF picture(cell.left(), cell.top(), cell.width(), COrgChart::kFaceHeight);
    if (face.isNull()) {
        painter.fillRect(picture, kFaceBack);
        // A head and shoulders stand in for a face not at hand.
        painter.setBrush(QColor(0xbb, 0xbb, 0xbb));
        painter.setPen(Qt::NoPen);
        const qreal side = picture.width() * 0.45;
        painter.drawEllipse(QRectF(picture.center().x() - side / 2, picture.top() + 8, side, side));
        painter.drawChord(QRectF(picture.left() + 6, picture.top() + 10 + side, picture.width() - 12, side * 1.4), 0,
                          180 * 16);
        painter.setBrush(Qt::NoBrush);
    } else {
        QSizeF size = face.size();
        size.scale(picture.size(), Qt::KeepAspectRatio);
        const QRectF target(picture.center().x() - size.width() / 2, picture.center().y() - size.height() / 2, size.width(),
                            size.height());
        painter.drawImage(target, face);
    }
    painter.setPen(Qt::black);
    painter.setFont(COrgChart::FaceFont());
    const QFontMetricsF metrics(COrgChart::FaceFont());
    const QRectF nameRect(cell.left() - kFaceGap / 2, picture.bottom(), cell.width() + kFaceGap, metrics.height());
    painter.drawText(nameRect, Qt::AlignHCenter | Qt::AlignTop,
                     metrics.elidedText(member.strName, Qt::ElideRight, nameRect.width()));
}

void PaintBox(QPainter &painter, const COrgChart::SBox &box, bool selected, const COrgChartPainter::FaceOf &faceOf)
{
    const QRectF rect = box.rect;
    QPainterPath outline;
    outline.addRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    painter.fillPath(outline, box.bCompany ? kCompanyFill : kUnitFill);
    painter.setPen(QPen(selected ? kSelected : kLine, selected ? 3 : 1));
    painter.drawPath(outline);

    const QFontMetricsF nameMetrics(COrgChart::NameFont());
    const QFontMetricsF countMetrics(COrgChart::CountFont());
    const QFontMetricsF faceMetrics(COrgChart::FaceFont());
    qreal y = rect.top() + kPadding;
    const QRectF inner(rect.left() + kPadding, y, rect.width() - 2 * kPadding, nameMetrics.height());
    painter.setPen(Qt::black);
    painter.setFont(COrgChart::NameFont());
    painter.drawText(inner, Qt::AlignHCenter | Qt::AlignVCenter,
                     nameMetrics.elidedText(box.strName, Qt::ElideRight, inner.width()));
    y += nameMetrics.height() + 4;
    painter.setFont(COrgChart::CountFont());
    painter.drawText(QRectF(inner.left(), y, inner.width(), countMetrics.height()), Qt::AlignHCenter | Qt::AlignVCenter,
                     COrgChart::CountText(box));
    y += countMetrics.height();
    if (box.nHiddenUnits > 0) {
        y += 2;
        painter.setPen(kSelected);
        painter.drawText(QRectF(inner.left(), y, inner.width(), countMetrics.height()), Qt::AlignHCenter | Qt::AlignVCenter,
                         QStringLiteral("＋ 下に %1 部課").arg(box.nHiddenUnits));
        painter.setPen(Qt::black);
        y += countMetrics.height();
    }
    y += kPadding / 2;
    if (!box.faces.isEmpty()) {
        const auto columns = std::min<qsizetype>(COrgChart::kFaceColumns, box.faces.size());
        const qreal width = columns * (COrgChart::kFaceWidth + kFaceGap) - kFaceGap;
        const qreal left = rect.center().x() - width / 2;
        for (qsizetype i = 0; i < box.faces.size(); ++i) {
            const qreal x = left + qreal(i % COrgChart::kFaceColumns) * (COrgChart::kFaceWidth + kFaceGap);
            const qreal top = y
                            + qreal(i / COrgChart::kFaceColumns)
                                  * (COrgChart::kFaceHeight + faceMetrics.height() + kFaceGap);
            const COrgChart::SMember &member = box.faces.at(i);
            PaintFace(painter, QRectF(x, top, COrgChart::kFaceWidth, COrgChart::kFaceHeight), member,
                      faceOf ? faceOf(member.nID) : QImage());
        }
        const auto rows = (box.faces.size() + COrgChart::kFaceColumns - 1) / COrgChart::kFaceColumns;
        y += qreal(rows) * (COrgChart::kFaceHeight + faceMetrics.height() + kFaceGap);
    }
    if (box.nMore > 0) {
        painter.setFont(COrgChart::FaceFont());
        painter.drawText(QRectF(inner.left(), y, inner.width(), faceMetrics.height()), Qt::AlignHCenter,
                         QStringLiteral("ほか %1 人").arg(box.nMore));
    }
}
} // namespace

void COrgChartPainter::Paint(QPainter &painter, const COrgChart &chart, const QRectF &exposed, const FaceOf &faceOf,
                             int selected)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(kLine, 1));
    for (const QLineF &line : chart.Lines()) {
        if (QRectF(line.p1(), line.p2()).normalized().adjusted(-1, -1, 1, 1).intersects(exposed))
            painter.drawLine(line);
    }
    const QList<COrgChart::SBox> &boxes = chart.Boxes();
    for (qsizetype i = 0; i < boxes.size(); ++i) {
        if (boxes.at(i).rect.intersects(exposed))
            PaintBox(painter, boxes.at(i), i == selected, faceOf);
    }
    painter.restore();
}

void COrgChartPainter::PaintTitle(QPainter &painter, const COrgChart &chart, const QRectF &band)
{
    painter.save();
    QFont font = COrgChart::NameFont();
    font.setPixelSize(18);
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, chart.Title());
    font.setPixelSize(13);
    font.setBold(false);
    painter.setFont(font);
    painter.drawText(band, Qt::AlignRight | Qt::AlignVCenter, chart.DayText());
    painter.restore();
}

QSizeF COrgChartPainter::DocumentSize(const COrgChart &chart)
{
    QFont font = COrgChart::NameFont();
    font.setPixelSize(18);
    const qreal title = QFontMetricsF(font).horizontalAdvance(chart.Title()) + 200;
    return {std::ceil(std::max(chart.Bounds().width(), title) + 2 * kMargin),
            std::ceil(chart.Bounds().height() + kTitleHeight + 2 * kMargin)};
}

void COrgChartPainter::PaintDocument(QPainter &painter, const COrgChart &chart, const QRectF &exposed, const FaceOf &faceOf)
{
    const QSizeF size = DocumentSize(chart);
    PaintTitle(painter, chart, QRectF(kMargin, kMargin, size.width() - 2 * kMargin, kTitleHeight - 8));
    painter.save();
    const QPointF origin(kMargin, kMargin + kTitleHeight);
    painter.translate(origin);
    Paint(painter, chart, exposed.translated(-origin), faceOf);
    painter.restore();
}
