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
    // The header row with the column titles alone.
    void DrawColumnTitles(QPainter &dc) const;
    // The rulings of one body row top table units below the header row; spanning,
    // one cell across the whole width.
    void DrawRowFrame(QPainter &dc, int top, int height, bool spanning) const;
    // Sets the fit and the shift so that the table, with its header band above and
    // the page number below, lies inside the page rectangle: moved where that is
    // enough, made smaller where it is not.
    void FitToPage(const QPainter &dc);
    // Where DrawHeader puts the print date, logical units.
    SRect DateRect(QPainter &dc) const;
    // The grid's outer rectangle, header row included, logical units.
    SRect GridRect(const QPainter &dc) const;
    void DrawFrame(int left, int top, int right, int bottom, QPainter &dc) const;
    int ComputePageCount();
    int FirstRowOfPage() const;
    SRect CellRect(const QPainter &dc, int column, int row) const;
    // A body cell top table units below the header row; column -1 spans the width.
    SRect CellRectAt(const QPainter &dc, int column, int top, int height) const;
    // rect in table units; format as DrawText flags.
    void DrawCellText(QPainter &dc, const QString &text, const SRect &rect, unsigned format, const QColor &textColor,
                      const QColor &backColor, bool frame) const;

    // The font height DrawCellText chooses for text in a cell height table units high.
    static int CellFontHeight(const QString &text, int height, unsigned format);
    // Qt's text flags for DrawText flags.
    static int TextFlags(unsigned format);
    // Draws text in rect (logical units) with the selected font and colours.
    static void DrawText(QPainter &dc, const QString &text, const SRect &rect, unsigned format);
    // A length in table units (fractions allowed) in logical units along x or y,
    // the fit applied.
    int ScaleX(const QPainter &dc, double units) const;
    int ScaleY(const QPainter &dc, double units) const;

    QString m_strTitle;
    QString m_strSubtitle;
    QString m_strNote;
    QString m_strAsOf; // the day the rows stood as of, before the print date; empty for today
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
    // Logical units = shift + fit x the table units' true size; 1 and none unless
    // FitToPage changed them.
    double m_dFit = 1.0;
    QPoint m_ptShift;

    // The band above the grid that holds title, subtitle and date, and the one
    // below it that holds the page number.
    static constexpr int kHeaderBand = 200;
    static constexpr int kNumberBand = 100;

    int GridRight() const;
    int GridBottom() const { return m_nOriginY + m_nHeaderHeight + m_nRowsPerPage * m_nRowHeight; }

private:
    // Every ruling: a tenth of a millimetre, whatever the device.
    void SelectRulingPen(QPainter &dc) const;
    int ColumnWidth(int column) const;
    QString DateText() const;
};
