#pragma once

#include <QObject>
#include <QSet>

class CLeftView;
class CRegisterChanges;
class QTreeWidgetItem;
struct SRegisterChange;

// Keeps a tree's units as the register has them: added, renamed, moved and
// deleted units find their place in the levels read so far; the selection moves
// to the unit above (or beside) one that is gone, and stays put otherwise.
class CTreeFollower final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CTreeFollower)

public:
    explicit CTreeFollower(CLeftView *tree);
    ~CTreeFollower() override;

    // Reads every level read so far again; the open, selected and scrolled-to
    // units stay so where they are still there.
    void ReadAgain();

private:
    bool ApplyNow(const SRegisterChange &change);
    void Apply(const CRegisterChanges &changes);
    // False when the unit is a company new to the tree: its place is among the others.
    bool Place(qint32 unitId);
    void Move(QTreeWidgetItem *item, QTreeWidgetItem *parent);
    void Remove(const QSet<qint32> &units);
    QTreeWidgetItem *ItemOf(qint32 unitId) const;
    bool LevelRead(const QTreeWidgetItem *item) const;

    CLeftView *m_pTree;
};
