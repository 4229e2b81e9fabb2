#include "chart/orgtreelayout.h"

#include <QSet>
#include <algorithm>
#include <cmath>
#include <limits>

COrgTreeLayout::COrgTreeLayout(const QList<SNode> &nodes, const QList<int> &roots, const SSpacing &spacing)
    : m_nodes(nodes)
    , m_spacing(spacing)
    , m_kept(nodes.size())
    , m_offset(nodes.size(), 0)
    , m_boxes(nodes.size())
    , m_wrapped(nodes.size(), false)
{
    m_spacing.wrapAfter = std::max(1, m_spacing.wrapAfter);
    // Each node once, from the first parent that reaches it.
    QSet<int> seen;
    QList<int> tops;
    for (int root : roots) {
        if (root >= 0 && root < nodes.size() && !seen.contains(root)) {
            seen.insert(root);
            tops.append(root);
        }
    }
    QList<int> level = tops;
    while (!level.isEmpty()) {
        QList<int> next;
        for (int parent : std::as_const(level)) {
            for (int child : nodes.at(parent).children) {
                if (child >= 0 && child < nodes.size() && !seen.contains(child)) {
                    seen.insert(child);
                    m_kept[parent].append(child);
                    next.append(child);
                }
            }
        }
        level = next;
    }
    if (tops.isEmpty())
        return;

    // The tops side by side, as children of an unseen box; in rows when too wide.
    SOutline merged;
    QList<qreal> offsets;
    for (int top : std::as_const(tops))
        offsets.append(Join(merged, Place(top, 0), m_spacing.across * 2, offsets.isEmpty()));
    const qreal left = *std::min_element(merged.left.cbegin(), merged.left.cend());
    const qreal right = *std::max_element(merged.right.cbegin(), merged.right.cend());
    if (tops.size() > 2 && TooWide(right - left, Height(0, merged.left.size()))) {
        m_stacks.clear();
        const SStack stack = StackOf(tops);
        for (qsizetype i = 0; i < stack.subtrees.size(); ++i)
            CopyIn(*stack.subtrees.at(i), stack.at.at(i));
    } else {
        for (qsizetype i = 0; i < tops.size(); ++i)
            Fix(tops.at(i), offsets.at(i) - left, 0);
    }
    for (const QRectF &box : std::as_const(m_boxes))
        m_bounds = box.isNull() ? m_bounds : m_bounds.united(box);
    for (const QLineF &line : std::as_const(m_lines))
        m_bounds = m_bounds.united(QRectF(line.p1(), line.p2()).normalized());
    // Lines may reach left of the boxes (a wrapped group's spine): everything from (0, 0).
    const QPointF origin = m_bounds.topLeft();
    for (QRectF &box : m_boxes) {
        if (!box.isNull())
            box.translate(-origin);
    }
    for (QLineF &line : m_lines)
        line.translate(-origin);
    for (SStack &stack : m_stacks)
        stack.placed.translate(-origin);
    m_bounds.translate(-origin);
}

qreal COrgTreeLayout::Join(SOutline &merged, const SOutline &outline, qreal gap, bool first)
{
    // Right of what is there already, as close as the closest level allows.
    qreal shift = 0;
    if (!first) {
        shift = std::numeric_limits<qreal>::lowest();
        const qsizetype common = std::min(merged.right.size(), outline.left.size());
        for (qsizetype d = 0; d < common; ++d)
            shift = std::max(shift, merged.right.at(d) - outline.left.at(d) + gap);
    }
    for (qsizetype d = 0; d < outline.left.size(); ++d) {
        if (d < merged.right.size()) {
            merged.right[d] = outline.right.at(d) + shift;
        } else {
            merged.left.append(outline.left.at(d) + shift);
            merged.right.append(outline.right.at(d) + shift);
        }
    }
    return shift;
}

bool COrgTreeLayout::Wraps(int node) const
{
    const QList<int> &children = Children(node);
    if (children.size() <= m_spacing.wrapAfter)
        return false;
    return std::all_of(children.cbegin(), children.cend(), [this](int child) { return Children(child).isEmpty(); });
}

COrgTreeLayout::SOutline COrgTreeLayout::Place(int node, int depth)
{
    const QSizeF size = m_nodes.at(node).size;
    if (m_levelHeight.size() <= depth)
        m_levelHeight.resize(depth + 1, 0);
    m_levelHeight[depth] = std::max(m_levelHeight.at(depth), size.height());
    SOutline own{{-size.width() / 2}, {size.width() / 2}};
    const QList<int> &children = Children(node);
    if (children.isEmpty())
        return own;
    if (Wraps(node))
        return PlaceRows(node, depth);

    const QList<qreal> bands = m_levelHeight;
    const QHash<int, SStack> stacks = m_stacks;
    SOutline merged;
    QList<qreal> offsets;
    for (int child : children)
        offsets.append(Join(merged, Place(child, depth + 1), m_spacing.across, offsets.isEmpty()));
    const qreal width = *std::max_element(merged.right.cbegin(), merged.right.cend())
                      - *std::min_element(merged.left.cbegin(), merged.left.cend());
    if (children.size() > 2 && TooWide(width, Height(depth + 1, merged.left.size()))) {
        // What the row given up measured and stacked below would leave gaps and strays.
        m_levelHeight = bands;
        m_stacks = stacks;
        return PlaceStack(node, depth);
    }
    const qreal middle = (offsets.constFirst() + offsets.constLast()) / 2;
    for (qsizetype i = 0; i < children.size(); ++i)
        m_offset[children.at(i)] = offsets.at(i) - middle;
    for (qsizetype d = 0; d < merged.left.size(); ++d) {
        own.left.append(merged.left.at(d) - middle);
        own.right.append(merged.right.at(d) - middle);
    }
    return own;
}

namespace {
struct SGrid {
    int columns = 1;
    int rows = 1;
    QSizeF cell;
    qreal width = 0;
};

SGrid GridOf(const QList<COrgTreeLayout::SNode> &nodes, const QList<int> &children, int wrapAfter, qreal across)
{
    SGrid grid;
    for (int child : children) {
        grid.cell.setWidth(std::max(grid.cell.width(), nodes.at(child).size.width()));
        grid.cell.setHeight(std::max(grid.cell.height(), nodes.at(child).size.height()));
    }
    grid.columns = std::min(int(children.size()), wrapAfter);
    grid.rows = int((children.size() + grid.columns - 1) / grid.columns);
    grid.width = grid.columns * grid.cell.width() + (grid.columns - 1) * across;
    return grid;
}
} // namespace

COrgTreeLayout::SOutline COrgTreeLayout::PlaceRows(int node, int depth)
{
    const QSizeF size = m_nodes.at(node).size;
    const QList<int> &children = Children(node);
    const SGrid grid = GridOf(m_nodes, children, m_spacing.wrapAfter, m_spacing.across);
    m_wrapped[node] = true;
    for (qsizetype i = 0; i < children.size(); ++i) {
        const auto column = int(i % grid.columns);
        m_offset[children.at(i)] = -grid.width / 2 + column * (grid.cell.width() + m_spacing.across)
                                 + grid.cell.width() / 2;
    }
    if (m_levelHeight.size() <= depth + 1)
        m_levelHeight.resize(depth + 2, 0);
    const qreal height = grid.rows * grid.cell.height() + (grid.rows - 1) * m_spacing.rowGap;
    m_levelHeight[depth + 1] = std::max(m_levelHeight.at(depth + 1), height);
    // The spine runs left of the rows, in the gap kept clear there.
    return {{-size.width() / 2, -grid.width / 2 - m_spacing.across / 2}, {size.width() / 2, grid.width / 2}};
}

bool COrgTreeLayout::TooWide(qreal width, qreal height) const
{
    // A row much wider than it is tall fits no sheet; a tall one is better left as it is.
    return m_spacing.stackWidth > 0 && width > m_spacing.stackWidth && width > 2 * height;
}

qreal COrgTreeLayout::Height(int depth, qsizetype levels) const
{
    qreal height = 0;
    for (qsizetype d = depth; d < depth + levels && d < m_levelHeight.size(); ++d)
        height += m_levelHeight.at(d) + m_spacing.down;
    return height;
}

COrgTreeLayout::SStack COrgTreeLayout::StackOf(const QList<int> &tops) const
{
    SStack stack;
    const qreal gap = m_spacing.across * 2;
    QList<std::shared_ptr<const COrgTreeLayout>> subtrees;
    qreal area = 0;
    for (int top : tops) {
        subtrees.append(std::make_shared<const COrgTreeLayout>(m_nodes, QList<int>{top}, m_spacing));
        area += (subtrees.last()->Bounds().width() + gap) * (subtrees.last()->Bounds().height() + m_spacing.down);
    }
    // Rows about twice as wide as the whole is tall: a landscape sheet, less the title.
    const qreal rowWidth = std::max(m_spacing.stackWidth, std::sqrt(2 * area));
    qreal x = 0, rowTop = 0, rowHeight = 0;
    for (const auto &subtree : std::as_const(subtrees)) {
        const QSizeF size = subtree->Bounds().size();
        // Rows fill up to the width; a subtree wider than that has a row of its own.
        if (!stack.rows.isEmpty() && x + size.width() > rowWidth) {
            rowTop += rowHeight + m_spacing.down;
            x = 0;
            rowHeight = 0;
        }
        if (stack.rows.isEmpty() || x == 0) {
            stack.rows.append(QList<int>{});
            stack.rowTops.append(rowTop);
        }
        stack.rows.last().append(int(stack.subtrees.size()));
        stack.at.append(QPointF(x, rowTop));
        stack.subtrees.append(subtree);
        x += size.width() + gap;
        rowHeight = std::max(rowHeight, size.height());
        stack.size = QSizeF(std::max(stack.size.width(), x - gap), rowTop + rowHeight);
    }
    return stack;
}

void COrgTreeLayout::CopyIn(const COrgTreeLayout &subtree, const QPointF &origin)
{
    for (qsizetype k = 0; k < subtree.Boxes().size(); ++k) {
        if (subtree.Boxes().at(k).isNull())
            continue;
        m_boxes[k] = subtree.Boxes().at(k).translated(origin);
        m_wrapped[k] = subtree.IsWrapped(k);
        if (subtree.IsStacked(k))
            m_stacks[k].placed = subtree.StackRect(k).translated(origin);
    }
    for (const QLineF &line : subtree.Lines())
        m_lines.append(line.translated(origin));
}

COrgTreeLayout::SOutline COrgTreeLayout::PlaceStack(int node, int depth)
{
    const SStack stack = StackOf(Children(node));
    if (m_levelHeight.size() <= depth + 1)
        m_levelHeight.resize(depth + 2, 0);
    m_levelHeight[depth + 1] = std::max(m_levelHeight.at(depth + 1), stack.size.height());
    m_wrapped[node] = true;
    m_stacks.insert(node, stack);
    const qreal width = stack.size.width();
    const QSizeF size = m_nodes.at(node).size;
    return {{-size.width() / 2, -width / 2 - m_spacing.across / 2}, {size.width() / 2, width / 2}};
}

void COrgTreeLayout::FixStack(int node, qreal centre, int depth)
{
    // A copy: the stacks of the subtrees join the hash below, which may move its entries.
    const SStack stack = m_stacks.value(node);
    const QRectF box = m_boxes.at(node);
    const qreal below = box.top() + m_levelHeight.at(depth) + m_spacing.down;
    const qreal left = centre - stack.size.width() / 2;
    m_stacks[node].placed = QRectF(QPointF(left, below), stack.size);
    const qreal spine = left - m_spacing.across / 2;
    const qreal firstBus = below - m_spacing.down / 2;
    m_lines.append(QLineF(centre, box.bottom(), centre, firstBus));
    qreal lastBus = firstBus;
    for (qsizetype row = 0; row < stack.rows.size(); ++row) {
        const qreal rowTop = below + stack.rowTops.at(row);
        const qreal bus = row == 0 ? firstBus : rowTop - m_spacing.down / 2;
        qreal reach = row == 0 ? centre : spine;
        for (int i : stack.rows.at(row)) {
            CopyIn(*stack.subtrees.at(i), QPointF(left + stack.at.at(i).x(), rowTop));
            const qreal x = m_boxes.at(Children(node).at(i)).center().x();
            reach = std::max(reach, x);
            m_lines.append(QLineF(x, bus, x, rowTop));
        }
        m_lines.append(QLineF(spine, bus, reach, bus));
        lastBus = bus;
    }
    if (stack.rows.size() > 1)
        m_lines.append(QLineF(spine, firstBus, spine, lastBus));
}

void COrgTreeLayout::Fix(int node, qreal centre, int depth)
{
    qreal top = 0;
    for (int d = 0; d < depth; ++d)
        top += m_levelHeight.at(d) + m_spacing.down;
    const QSizeF size = m_nodes.at(node).size;
    m_boxes[node] = QRectF(centre - size.width() / 2, top, size.width(), size.height());
    const QList<int> &children = Children(node);
    if (children.isEmpty())
        return;
    if (m_stacks.contains(node)) {
        FixStack(node, centre, depth);
        return;
    }
    if (m_wrapped.at(node)) {
        FixRows(node, centre, depth);
        return;
    }
    const qreal below = top + m_levelHeight.at(depth) + m_spacing.down;
    const qreal bus = below - m_spacing.down / 2;
    m_lines.append(QLineF(centre, top + size.height(), centre, bus));
    const qreal first = centre + m_offset.at(children.constFirst());
    const qreal last = centre + m_offset.at(children.constLast());
    if (first != last)
        m_lines.append(QLineF(first, bus, last, bus));
    for (int child : children) {
        const qreal x = centre + m_offset.at(child);
        m_lines.append(QLineF(x, bus, x, below));
        Fix(child, x, depth + 1);
    }
}

void COrgTreeLayout::FixRows(int node, qreal centre, int depth)
{
    const QList<int> &children = Children(node);
    const SGrid grid = GridOf(m_nodes, children, m_spacing.wrapAfter, m_spacing.across);
    const QRectF box = m_boxes.at(node);
    const qreal below = box.top() + m_levelHeight.at(depth) + m_spacing.down;
    const qreal spine = centre - grid.width / 2 - m_spacing.across / 2;
    const qreal firstBus = below - m_spacing.down / 2;
    m_lines.append(QLineF(centre, box.bottom(), centre, firstBus));
    qreal lastBus = firstBus;
    for (int row = 0; row < grid.rows; ++row) {
        const qreal rowTop = below + row * (grid.cell.height() + m_spacing.rowGap);
        const qreal bus = row == 0 ? firstBus : rowTop - m_spacing.rowGap / 2;
        const qsizetype from = qsizetype(row) * grid.columns;
        const qsizetype to = std::min(children.size(), from + grid.columns);
        qreal reach = row == 0 ? centre : spine;
        for (qsizetype i = from; i < to; ++i) {
            const int child = children.at(i);
            const qreal x = centre + m_offset.at(child);
            reach = std::max(reach, x);
            m_lines.append(QLineF(x, bus, x, rowTop));
            m_boxes[child] = QRectF(x - m_nodes.at(child).size.width() / 2, rowTop, m_nodes.at(child).size.width(),
                                    m_nodes.at(child).size.height());
        }
        m_lines.append(QLineF(spine, bus, reach, bus));
        lastBus = bus;
    }
    if (grid.rows > 1)
        m_lines.append(QLineF(spine, firstBus, spine, lastBus));
}
