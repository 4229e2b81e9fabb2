#pragma once

#include <QFont>
#include <QPen>
#include <QBrush>
#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

class QPainter;

// One printed page of a ruled table: title, subtitle, print date and page number
// around a grid of fixed columns, a header row and equal data rows. Layout numbers
// are tenths of a millimetre (table units); the page rectangle alone is in the
// device's logical units. It holds no rows, only their count.
class CPrintTable final
{
public:
    // Edges as drawing calls take them: right and bottom lie just outside.
    struct SRect {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
        int Width() const { return right - left; }
        int Height() const { return bottom - top; }
        QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
        bool operator==(const SRect &) const = default;
    };

    // Text-drawing flags as the layouts store them.
    enum ETextFormat : unsigned {
        DT_CENTER = 0x01,
        DT_RIGHT = 0x02,
        DT_VCENTER = 0x04,
        DT_BOTTOM = 0x08,
        DT_WORDBREAK = 0x10,
        DT_SINGLELINE = 0x20,
        DT_EXPANDTABS = 0x40,
        DT_TABSTOP = 0x80,
        DT_NOCLIP = 0x100,
    };

    CPrintTable();

    void ScalePoints(const QPainter &dc, QPoint *points, int count) const;
    void ScaleRects(const QPainter &dc, SRect *rects, int count) const;
    // Selects a font of the table's face, height in table units; returns the one it replaced.
    QFont SelectTableFont(QPainter &dc, int height) const;

    void DrawHeader(QPainter &dc) const;
    void DrawGrid(QPainter &dc) const;
    void DrawFrame(int left, int top, int right, int bottom, QPainter &dc) const;
    int ComputePageCount();
    int FirstRowOfPage() const;
    SRect CellRect(const QPainter &dc, int column, int row) const;
    // rect in table units; format as DrawText flags.
    void DrawCellText(QPainter &dc, const QString &text, const SRect &rect, unsigned format, const QColor &textColor,
                      const QColor &backColor, bool frame) const;

    // The font height DrawCellText chooses for text in a cell height table units high.
    static int CellFontHeight(const QString &text, int height, unsigned format);
    // Qt's text flags for DrawText flags.
    static int TextFlags(unsigned format);
    // Draws text in rect (logical units) with the selected font and colours.
    static void DrawText(QPainter &dc, const QString &text, const SRect &rect, unsigned format);
    // A width in table units (fractions allowed) in logical units along x or y.
    int ScaleX(const QPainter &dc, double units) const;
    int ScaleY(const QPainter &dc, double units) const;

    QString m_strTitle;
    QString m_strSubtitle;
    QString m_strNote;
    QString m_strFontFace;
    QStringList m_columnTitles;
    SRect m_rectPage;
    QPen m_pen;
    QBrush m_brush;
    int m_nColumns = 0;
    int m_nRowsPerPage = 0;
    int m_nPageCount = 1;
    int m_nCurrentPage = 0;
    int m_nOriginX = 0;
    int m_nOriginY = 0;
    int m_nScale = 10;
    std::vector<int> m_columnWidths;
    int m_nHeaderHeight = 0;
    int m_nRowHeight = 0;
    int m_nItemCount = 0;

private:
    // Every ruling: a tenth of a millimetre, whatever the device.
    void SelectRulingPen(QPainter &dc) const;
    int ColumnWidth(int column) const;
    int GridRight() const;
};
