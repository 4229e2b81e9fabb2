#pragma once

#include "printlayout/printtable.h"

#include <QByteArray>
#include <QRect>
#include <QRectF>
#include <QString>

class QPagedPaintDevice;
class QPainter;

// What a print command hands to printing: a number of pages, each drawn when it
// is printed or shown.
class CPrintJob
{
public:
    // The page being drawn.
    struct SPrintInfo {
        SPrintInfo(const QRect &draw, int page, const QRect &paper = QRect())
            : m_rectDraw(draw)
            , m_nCurPage(page)
            , m_rectPaper(paper)
        {
        }
        QRect m_rectDraw;   // printable area, logical units
        int m_nCurPage = 1; // 1-based
        QRect m_rectPaper;  // the whole sheet, same units; empty: the printable area
        QRect Paper() const { return m_rectPaper.isEmpty() ? m_rectDraw : m_rectPaper; }
    };

    virtual ~CPrintJob() = default;

    virtual int GetPageCount() = 0;
    virtual void DrawPage(QPainter &dc, const SPrintInfo &info) = 0;
    // The name the printer queue and a print file carry.
    virtual QString GetDocName() const = 0;
    bool IsEmpty() { return GetRecordCount() == 0; }
    virtual int GetRecordCount() const = 0;

    // Draws pages from .. to (clamped to the job) onto device, one after another,
    // with the logical origin at the paper's corner.
    void Render(QPagedPaintDevice &device, int from, int to);

    // Draws a photo with its top-left corner at topLeft (logical units), unitsPerPixel
    // table units a bitmap pixel, cut off at clip; an empty block draws nothing.
    static void DrawPhoto(QPainter &dc, const CPrintTable &table, const QByteArray &photo, const QPoint &topLeft,
                          double unitsPerPixel, const CPrintTable::SRect &clip);
    // Draws a photo as large as box (logical units) holds it, proportions kept,
    // centred in it.
    static void DrawPhotoFitted(QPainter &dc, const QByteArray &photo, const QRect &box);
    // The part of box a picture of pixels takes, as large as fits, centred.
    static QRectF FittedRect(const QRectF &box, QSize pixels);
};
