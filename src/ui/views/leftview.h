#pragma once

#include "store/mast00.h"

#include <QPersistentModelIndex>
#include <QTreeWidget>
#include <memory>

class CCompanyListJob;
class CMorvekDoc;
class CMorvekView;
class QContextMenuEvent;
class QFocusEvent;
class QMenu;
class QMouseEvent;

// The organisation tree in the left pane of the company window: companies at the
// top, each department under the unit above it. A level is read from the
// database the first time its parent is selected; selecting a unit shows its
// contents in the list of the other pane.
class CLeftView final : public QTreeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CLeftView)

public:
    explicit CLeftView(CMorvekDoc *pDocument, QWidget *parent = nullptr);
    ~CLeftView() override;

    CMorvekDoc *GetDocument() const { return m_pDocument; }
    // The unit ID an item carries, 0 for none.
    static qint32 UnitId(const QTreeWidgetItem *item);

    // Inserts the units under parentId; 0 rebuilds the companies at the top.
    void LoadChildUnits(qint32 parentId);
    void InsertUnitItem();
    void InsertChildItem(QTreeWidgetItem *parent);
    // Puts one employee into the unit of item; without an item nothing happens.
    void AssignEmployeeToUnit(qint32 employeeId, QTreeWidgetItem *item);
    // Puts all the employees into the unit of item, or none of them when a write
    // fails; employees that are gone are passed over. False when there is no item
    // or its unit is gone (then told, and the item leaves the tree afterwards).
    bool AssignEmployeesToUnit(const QList<qint32> &employeeIds, QTreeWidgetItem *item);
    // Selects and opens the items down to the unit, loading levels on the way;
    // false when the unit or a unit above it is not there.
    bool RevealUnit(qint32 unitId);
    // Asks the start code, lets the user choose an employee and shows their unit.
    void SearchEmployee();
    // Makes item the selected unit; if it is already, its contents are shown again.
    void SelectUnit(QTreeWidgetItem *item);

    void SetDropHighlight(QTreeWidgetItem *item);
    QTreeWidgetItem *GetDropHighlight() const;

    // The pop-up menu of the tree (menu 102); the caller runs and deletes it.
    QMenu *CreateContextMenu(QWidget *parent);

    void OnAddDept();
    void OnEditDept();
    void OnDeleteDept();
    void OnSearch();

    // The employee list of the selected unit's whole company; false when no unit
    // is selected or it is gone.
    bool PrepareCompanyPrintJob();
    CCompanyListJob &GetPrintJob() const { return *m_pPrintJob; }
    bool CanPrint() const { return currentItem() != nullptr; }

    // Whether the unit is still in the database, read afresh.
    static bool UnitExists(qint32 unitId);
    // "この部課は他のユーザーが削除しました。"
    static void TellUnitDeleted(QWidget *parent);

    // The list in the other pane; not owned.
    CMorvekView *m_pListView = nullptr;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    void OnSelChanged(QTreeWidgetItem *current);
    void OnContextMenu(const QPoint &screenPoint);
    // Finds the selected unit's row in m_rsUnits, which the caller has opened;
    // a unit another user deleted meanwhile is told.
    bool FindSelectedUnit();
    // False, told, when the unit an item stands for is no longer in the database.
    bool UnitStillThere(QTreeWidgetItem *item);
    // Tells that the unit of item is gone; the item goes once the caller is done with it.
    void UnitGone(QTreeWidgetItem *item);
    // Takes a gone unit's item, and those of gone units above it, out of the tree;
    // the nearest unit above that is still there is selected in its place.
    void ForgetGoneUnit(const QPersistentModelIndex &index);
    void DeleteCompany(QTreeWidgetItem *item);
    void DeleteDepartment(QTreeWidgetItem *item);

    CMorvekDoc *m_pDocument;
    CMast00 m_rsUnits;
    std::unique_ptr<CCompanyListJob> m_pPrintJob;
    QPersistentModelIndex m_dropHighlight;
};
