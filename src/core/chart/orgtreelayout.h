#pragma once

#include <QLineF>
#include <QList>
#include <QRectF>
#include <QSizeF>

// A tidy top-down layout of a forest of boxes (Reingold and Tilford's, with each
// subtree's outline kept level by level): no two boxes overlap, a parent sits
// centred over its children, and subtrees are packed as close as the gap allows.
// A parent with many children that have none of their own sets them in rows.
// Costs the number of boxes times the depth.
class COrgTreeLayout final
{
public:
    struct SNode {
        QSizeF size;
        QList<int> children; // indices into the nodes
    };
    struct SSpacing {
        qreal across = 16; // between boxes side by side
        qreal down = 36;   // between levels, where the lines run
        qreal rowGap = 16; // between rows of a wrapped group
        int wrapAfter = 6; // leaves side by side before a group wraps
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
    // Whether the children of node were set in rows.
    bool IsWrapped(int node) const { return m_wrapped.value(node); }

private:
    struct SOutline {
        QList<qreal> left, right; // by depth under the subtree's top, from its centre
    };
    // Puts outline beside merged with gap between them; its shift. The first stays at 0.
    static qreal Join(SOutline &merged, const SOutline &outline, qreal gap, bool first);
    SOutline Place(int node, int depth);
    SOutline PlaceRows(int node, int depth);
    void Fix(int node, qreal centre, int depth);
    void FixRows(int node, qreal centre, int depth);
    bool Wraps(int node) const;
    const QList<int> &Children(int node) const { return m_kept.at(node); }

    QList<SNode> m_nodes;
    SSpacing m_spacing;
    QList<QList<int>> m_kept;   // the children reached through each node
    QList<qreal> m_offset;      // a child's centre from its parent's
    QList<qreal> m_levelHeight; // the tallest thing on each level
    QList<QRectF> m_boxes;
    QList<QLineF> m_lines;
    QList<bool> m_wrapped;
    QRectF m_bounds;
};
