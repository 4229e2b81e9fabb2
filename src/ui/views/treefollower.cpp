#include "views/treefollower.h"

#include "views/leftview.h"
#include "forms/changefollower.h"
#include "register/unitrow.h"
#include "register/units.h"

#include <QPersistentModelIndex>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTreeWidgetItemIterator>

CTreeFollower::CTreeFollower(CLeftView *tree)
    : QObject(tree)
    , m_pTree(tree)
{
    new CChangeFollower(
        tree, [this](const CRegisterChanges &changes) { Apply(changes); },
        [this](const SRegisterChange &change) { return ApplyNow(change); });
}

CTreeFollower::~CTreeFollower() = default;

QTreeWidgetItem *CTreeFollower::ItemOf(qint32 unitId) const
{
    if (CLeftView::UnitId(m_pTree->currentItem()) == unitId)
        return m_pTree->currentItem();
    for (QTreeWidgetItemIterator it(m_pTree); *it; ++it) {
        if (CLeftView::UnitId(*it) == unitId)
            return *it;
    }
    return nullptr;
}

// A level is read the first time its unit is selected: until then it is left alone.
bool CTreeFollower::LevelRead(const QTreeWidgetItem *item) const
{
    return item->childCount() > 0 || item == m_pTree->currentItem();
}

bool CTreeFollower::ApplyNow(const SRegisterChange &change)
{
    Apply(CRegisterChanges(change));
    return true;
}

void CTreeFollower::Apply(const CRegisterChanges &changes)
{
    // A past day shows what was kept then; today comes back with 今日.
    if (m_pTree->Shown().IsAsOf())
        return;
    if (changes.IsEverything()) {
        ReadAgain();
        return;
    }
    Remove(changes.UnitsDeleted());
    bool companyAdded = false;
    for (qint32 id : changes.UnitsTouched())
        companyAdded |= !Place(id);
    if (companyAdded)
        ReadAgain();
}

bool CTreeFollower::Place(qint32 unitId)
{
    const std::optional<SUnitRow> unit = CUnits::Row(unitId);
    QTreeWidgetItem *item = ItemOf(unitId);
    if (!unit) {
        Remove({unitId});
        return true;
    }
    QTreeWidgetItem *parent = unit->IsCompany() ? nullptr : ItemOf(unit->nParent);
    if (!item) {
        if (unit->IsCompany())
            return false;
        if (parent && LevelRead(parent))
            m_pTree->InsertUnitItem(parent, *unit);
        return true;
    }
    item->setText(0, unit->strName);
    if (item->parent() == parent)
        return true;
    if (unit->IsCompany())
        return false;
    // Moved under a unit whose level is not read: it shows when that level is.
    if (!parent || !LevelRead(parent)) {
        Remove({unitId});
        return true;
    }
    Move(item, parent);
    return true;
}

void CTreeFollower::Move(QTreeWidgetItem *item, QTreeWidgetItem *parent)
{
    const qint32 current = CLeftView::UnitId(m_pTree->currentItem());
    const bool expanded = item->isExpanded();
    {
        // The same units stay selected: the list need not read them again.
        const QSignalBlocker quiet(m_pTree);
        QTreeWidgetItem *taken = item->parent() ? item->parent()->takeChild(item->parent()->indexOfChild(item))
                                                : m_pTree->takeTopLevelItem(m_pTree->indexOfTopLevelItem(item));
        parent->addChild(taken);
        taken->setExpanded(expanded);
        if (QTreeWidgetItem *selected = current != 0 ? ItemOf(current) : nullptr)
            m_pTree->setCurrentItem(selected);
    }
}

void CTreeFollower::Remove(const QSet<qint32> &units)
{
    if (units.isEmpty())
        return;
    QList<QPersistentModelIndex> items;
    for (QTreeWidgetItemIterator it(m_pTree); *it; ++it) {
        if (units.contains(CLeftView::UnitId(*it)))
            items.append(QPersistentModelIndex(m_pTree->indexFromItem(*it)));
    }
    // The highest gone unit above the selected one makes way for the unit above
    // it, or for a company beside it.
    QTreeWidgetItem *gone = nullptr;
    for (QTreeWidgetItem *item = m_pTree->currentItem(); item; item = item->parent()) {
        if (units.contains(CLeftView::UnitId(item)))
            gone = item;
    }
    if (gone) {
        QTreeWidgetItem *instead = gone->parent();
        const int at = m_pTree->indexOfTopLevelItem(gone);
        for (int step = 1; !instead && at >= 0 && (at + step < m_pTree->topLevelItemCount() || at - step >= 0); ++step) {
            for (int candidate : {at + step, at - step}) {
                QTreeWidgetItem *item = m_pTree->topLevelItem(candidate);
                if (!instead && item && !units.contains(CLeftView::UnitId(item)))
                    instead = item;
            }
        }
        // Selected before the removal, so that the tree does not pick a neighbour of its own.
        m_pTree->setCurrentItem(instead);
    }
    for (const QPersistentModelIndex &index : std::as_const(items)) {
        if (index.isValid())
            delete m_pTree->itemFromIndex(index);
    }
}

void CTreeFollower::ReadAgain()
{
    const qint32 current = CLeftView::UnitId(m_pTree->currentItem());
    QList<qint32> above; // the selected unit and those above it, nearest first
    for (QTreeWidgetItem *item = m_pTree->currentItem(); item; item = item->parent())
        above.append(CLeftView::UnitId(item));
    QSet<qint32> read;
    QSet<qint32> open;
    for (QTreeWidgetItemIterator it(m_pTree); *it; ++it) {
        if (LevelRead(*it))
            read.insert(CLeftView::UnitId(*it));
        if ((*it)->isExpanded())
            open.insert(CLeftView::UnitId(*it));
    }
    const QPoint scroll(m_pTree->horizontalScrollBar()->value(), m_pTree->verticalScrollBar()->value());
    {
        const QSignalBlocker quiet(m_pTree);
        m_pTree->LoadChildUnits(0);
        // Levels read as they are reached, top down.
        for (QTreeWidgetItemIterator it(m_pTree); *it; ++it) {
            const qint32 id = CLeftView::UnitId(*it);
            if (read.contains(id))
                m_pTree->LoadChildUnits(id);
            if (open.contains(id))
                (*it)->setExpanded(true);
        }
        if (QTreeWidgetItem *selected = current != 0 ? ItemOf(current) : nullptr)
            m_pTree->setCurrentItem(selected);
    }
    if (current != 0 && !ItemOf(current)) {
        QTreeWidgetItem *instead = nullptr;
        for (qint32 id : std::as_const(above)) {
            if (!instead)
                instead = ItemOf(id);
        }
        if (instead)
            m_pTree->setCurrentItem(instead);
        else
            emit m_pTree->SelectionCleared();
    }
    m_pTree->horizontalScrollBar()->setValue(scroll.x());
    m_pTree->verticalScrollBar()->setValue(scroll.y());
}
