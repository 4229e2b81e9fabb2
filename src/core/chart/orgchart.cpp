#include "chart/orgchart.h"

#include "chart/orgtreelayout.h"

#include <QFontMetricsF>
#include <QLocale>
#include <algorithm>

namespace {
constexpr qreal kPadding = 8;
constexpr qreal kMinWidth = 120;
constexpr qreal kMaxNameWidth = 240;
constexpr qreal kFaceGap = 4;

QFont PixelFont(int pixels, bool bold)
{
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
} // namespace

QFont COrgChart::NameFont()
{
    return PixelFont(14, true);
}

QFont COrgChart::CountFont()
{
    return PixelFont(12, false);
}

QFont COrgChart::FaceFont()
{
    return PixelFont(10, false);
}

QString COrgChart::CountText(const SBox &box)
{
    if (!box.bHasChildren)
        return QStringLiteral("%1 人").arg(box.nOwn);
    return QStringLiteral("%1 人（計 %2 人）").arg(box.nOwn).arg(box.nTotal);
}

COrgChart::COrgChart(const CStaffSnapshot &snapshot, qint32 top, const SOptions &options, const MembersOf &members)
{
    m_strDay = snapshot.AsOfText();
    const QString path = top == 0 ? QString() : snapshot.SlashPath(top);
    m_strTitle = path.isEmpty() ? QStringLiteral("組織図") : QStringLiteral("組織図　%1").arg(path);
    if (top == 0) {
        for (const SUnitRow &company : snapshot.Children(0))
            Add(snapshot, company.nID, -1, options, members);
    } else if (snapshot.Unit(top)) {
        Add(snapshot, top, -1, options, members);
    }

    QList<COrgTreeLayout::SNode> nodes;
    QList<int> roots;
    nodes.reserve(m_boxes.size());
    for (qsizetype i = 0; i < m_boxes.size(); ++i) {
        nodes.append({Measure(m_boxes.at(i)), m_children.at(i)});
        if (m_parent.at(i) < 0)
            roots.append(int(i));
    }
    COrgTreeLayout::SSpacing spacing;
    spacing.wrapAfter = options.wrapAfter;
    const COrgTreeLayout layout(nodes, roots, spacing);
    for (qsizetype i = 0; i < m_boxes.size(); ++i)
        m_boxes[i].rect = layout.Boxes().at(i);
    m_lines = layout.Lines();
    m_bounds = layout.Bounds();
}

void COrgChart::Add(const CStaffSnapshot &snapshot, qint32 unit, int parent, const SOptions &options,
                    const MembersOf &members)
{
    // A loop in a damaged register would never end; each unit is drawn once.
    if (IndexOf(unit) >= 0)
        return;
    const SUnitRow *row = snapshot.Unit(unit);
    SBox box;
    box.nUnit = unit;
    box.strName = row ? row->strName : QString();
    box.bCompany = row && row->IsCompany();
    box.nOwn = snapshot.Own(unit);
    box.nTotal = snapshot.Total(unit);
    const QList<SUnitRow> children = snapshot.Children(unit);
    box.bHasChildren = !children.isEmpty();
    const bool collapsed = options.collapsed.contains(unit);
    if (collapsed)
        box.nHiddenUnits = int(snapshot.Subtree(unit).size()) - 1;
    if (options.faces && members) {
        const QList<SMember> all = members(unit);
        const int limit = std::max(0, options.faceLimit);
        box.faces = all.mid(0, limit);
        box.nMore = int(all.size()) - int(box.faces.size());
    }
    const auto index = int(m_boxes.size());
    m_boxes.append(box);
    m_index.insert(unit, index);
    m_parent.append(parent);
    m_children.append(QList<int>{});
    if (parent >= 0)
        m_children[parent].append(index);
    if (collapsed)
        return;
    for (const SUnitRow &child : children)
        Add(snapshot, child.nID, index, options, members);
}

QSizeF COrgChart::Measure(const SBox &box) const
{
    const QFontMetricsF name(NameFont());
    const QFontMetricsF count(CountFont());
    const QFontMetricsF face(FaceFont());
    qreal width = std::max(kMinWidth, std::min(kMaxNameWidth, name.horizontalAdvance(box.strName)) + 2 * kPadding);
    width = std::max(width, count.horizontalAdvance(CountText(box)) + 2 * kPadding);
    qreal height = kPadding + name.height() + 4 + count.height() + kPadding;
    if (box.nHiddenUnits > 0)
        height += count.height() + 2;
    if (!box.faces.isEmpty()) {
        const auto columns = std::min<qsizetype>(kFaceColumns, box.faces.size());
        const auto rows = (box.faces.size() + kFaceColumns - 1) / kFaceColumns;
        width = std::max(width, columns * (kFaceWidth + kFaceGap) - kFaceGap + 2 * kPadding);
        height += rows * (kFaceHeight + face.height() + kFaceGap);
    }
    if (box.nMore > 0)
        height += face.height() + kFaceGap;
    return {std::ceil(width), std::ceil(height)};
}

int COrgChart::BoxAt(const QPointF &point) const
{
    for (qsizetype i = 0; i < m_boxes.size(); ++i) {
        if (m_boxes.at(i).rect.contains(point))
            return int(i);
    }
    return -1;
}

int COrgChart::IndexOf(qint32 unitId) const
{
    return m_index.value(unitId, -1);
}

QList<int> COrgChart::ChildBoxes(int box) const
{
    return box >= 0 && box < m_children.size() ? m_children.at(box) : QList<int>{};
}
