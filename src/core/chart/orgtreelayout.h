#pragma once

#include <QHash>
#include <QLineF>
#include <QList>
#include <QRectF>
#include <QSizeF>
#include <memory>

// A tidy top-down layout of a forest of boxes (Reingold and Tilford's, with each
// subtree's outline kept level by level): no two boxes overlap, a parent sits
// centred over its children, and subtrees are packed as close as the gap allows.
// A parent with many children that have none of their own sets them in rows; a
// parent whose subtrees side by side grow wider than a sheet stacks them in rows.
// Costs the number of boxes times the depth (twice under a stacked parent).
class COrgTreeLayout final
{
public:
    struct SNode {
        QSizeF size;
        QList<int> children; // indices into the nodes
    };
    struct SSpacing {
        qreal across = 16;       // between boxes side by side
        qreal down = 36;         // between levels, where the lines run
        qreal rowGap = 16;       // between rows of a wrapped group
        int wrapAfter = 6;       // leaves side by side before a group wraps
        qreal stackWidth = 1600; // subtrees side by side before they stack in rows; 0: never
    };

    // roots: the boxes at the top, left to right. A node is reached once; one
    // reached again (a damaged file's loop) is left out.
    COrgTreeLayout(const QList<SNode> &nodes, const QList<int> &roots, const SSpacing &spacing);
    COrgTreeLayout(const QList<SNode> &nodes, const QList<int> &roots)
        : COrgTreeLayout(nodes, roots, SSpacing{})
    {
    }

    // Where each node stands; a null rect for a node not reached.
    const QList<QRectF> &Boxes() const { return m_boxes; }
    // The lines joining parents to their children.
    const QList<QLineF> &Lines() const { return m_lines; }
    // Everything placed, from (0, 0).
    QRectF Bounds() const { return m_bounds; }
    // Whether the children of node were set in rows: as a grid of leaves, or as stacked subtrees.
    bool IsWrapped(int node) const { return m_wrapped.value(node); }
    bool IsStacked(int node) const { return m_stacks.contains(node); }
    // Where a stacked parent's rows stand, from (0, 0); null when it has none.
    QRectF StackRect(int node) const { return m_stacks.value(node).placed; }

private:
    struct SOutline {
        QList<qreal> left, right; // by depth under the subtree's top, from its centre
    };
    // Puts outline beside merged with gap between them; its shift. The first stays at 0.
    static qreal Join(SOutline &merged, const SOutline &outline, qreal gap, bool first);
    SOutline Place(int node, int depth);
    SOutline PlaceRows(int node, int depth);
    SOutline PlaceStack(int node, int depth);
    struct SStack;
    // Whether children side by side, width by height, are to be stacked in rows.
    bool TooWide(qreal width, qreal height) const;
    // The height of levels from depth down, as measured so far.
    qreal Height(int depth, qsizetype levels) const;
    // The subtrees under tops, each laid out alone, in rows up to the stacking width.
    SStack StackOf(const QList<int> &tops) const;
    // A subtree's boxes, lines and marks, moved by origin.
    void CopyIn(const COrgTreeLayout &subtree, const QPointF &origin);
    void FixStack(int node, qreal centre, int depth);
    void Fix(int node, qreal centre, int depth);
    void FixRows(int node, qreal centre, int depth);
    bool Wraps(int node) const;
    const QList<int> &Children(int node) const { return m_kept.at(node); }

    QList<SNode> m_nodes;
    SSpacing m_spacing;
    QList<QList<int>> m_kept;   // the children reached through each node
    QList<qreal> m_offset;      // a child's centre from its parent's
    QList<qreal> m_levelHeight; // the tallest thing on each level
    // A stacked parent's subtrees, each laid out alone, and where each stands in the block.
    struct SStack {
        QList<std::shared_ptr<const COrgTreeLayout>> subtrees; // in the children's order
        QList<QPointF> at;                                     // from the block's top left
        QList<qreal> rowTops;
        QList<QList<int>> rows; // indices into subtrees
        QSizeF size;
        QRectF placed;
    };
    QHash<int, SStack> m_stacks;
    QList<QRectF> m_boxes;
    QList<QLineF> m_lines;
    QList<bool> m_wrapped;
    QRectF m_bounds;
};
