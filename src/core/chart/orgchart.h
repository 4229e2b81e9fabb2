#pragma once

#include "chart/staffsnapshot.h"

#include <QFont>
#include <QHash>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QSet>
#include <QString>
#include <functional>

// The organisation chart of a company, or of a unit and everything under it, as
// boxes placed on a plane: each box a unit's name, its headcount on the day (its
// own and with the units under it) and, when asked, the faces of its employees.
// Measured with pixel-sized fonts, so it draws the same on a screen, a page or a file.
class COrgChart final
{
public:
    struct SMember {
        qint32 nID = 0;
        qint32 nCode = 0;
        QString strName;
    };
    // The employees of a unit in service on the day, by code.
    using MembersOf = std::function<QList<SMember>(qint32 unitId)>;

    struct SOptions {
        bool faces = false;
        int faceLimit = 12;     // faces drawn in one box; the rest are "ほか N 人"
        QSet<qint32> collapsed; // units whose children are not drawn
        int wrapAfter = 6;      // leaves side by side before they wrap into rows
    };

    struct SBox {
        qint32 nUnit = 0;
        QString strName;
        int nOwn = 0;
        int nTotal = 0;
        int nHiddenUnits = 0; // under it, not drawn while collapsed
        bool bHasChildren = false;
        bool bCompany = false;
        QList<SMember> faces; // drawn, at most the limit
        int nMore = 0;        // employees beyond the limit
        QRectF rect;
    };

    static constexpr int kFaceWidth = 56;
    static constexpr int kFaceHeight = 60;
    static constexpr int kFaceColumns = 4;

    // top: the unit drawn at the top; 0 draws every company side by side.
    COrgChart(const CStaffSnapshot &snapshot, qint32 top, const SOptions &options, const MembersOf &members = {});

    const QList<SBox> &Boxes() const { return m_boxes; }
    const QList<QLineF> &Lines() const { return m_lines; }
    // The boxes and lines, from (0, 0); the title is drawn above.
    QRectF Bounds() const { return m_bounds; }
    // The box at a point of the plane; -1 for none.
    int BoxAt(const QPointF &point) const;
    int IndexOf(qint32 unitId) const;
    // Above the chart: "組織図 本社/営業部", and "基準日 令和6年4月1日 現在" for a past day.
    QString Title() const { return m_strTitle; }
    QString DayText() const { return m_strDay; }
    int Parent(int box) const { return m_parent.value(box, -1); }
    QList<int> ChildBoxes(int box) const;

    // The fonts boxes are drawn and measured with.
    static QFont NameFont();
    static QFont CountFont();
    static QFont FaceFont();
    static QString CountText(const SBox &box);

private:
    QSizeF Measure(const SBox &box) const;
    void Add(const CStaffSnapshot &snapshot, qint32 unit, int parent, const SOptions &options, const MembersOf &members);

    QList<SBox> m_boxes;
    QHash<qint32, int> m_index; // unit -> its box: asked for every unit added
    QList<int> m_parent;
    QList<QList<int>> m_children;
    QList<QLineF> m_lines;
    QRectF m_bounds;
    QString m_strTitle;
    QString m_strDay;
};
