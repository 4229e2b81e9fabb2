#pragma once

#include "views/shownregister.h"

#include <QList>
#include <QPersistentModelIndex>
#include <QTreeWidget>
#include <memory>

class CCompanyListJob;
class CEmployeeDrop;
class CMorvekDoc;
class QContextMenuEvent;
class QFocusEvent;
class QMenu;
class QMouseEvent;
struct SUnitRow;

// The organisation tree in the left pane of the company window: companies at the
// top, each department under the unit above it. A level is read from the
// database the first time its parent is selected. It tells which unit is
// selected; what the list of the other pane shows is the owner's wiring. It
// keeps its items right as the register tells what changed.
class CLeftView final : public QTreeWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CLeftView)

public:
    explicit CLeftView(CMorvekDoc *pDocument, QWidget *parent = nullptr);
    ~CLeftView() override;

    CMorvekDoc *GetDocument() const { return m_pDocument; }
    // Shows the units as they stood at the end of a past day (read-only), or as
    // they are (none); the unit selected stays selected when it was there.
    void SetAsOf(CShownRegister::AsOf asOf);
    const CShownRegister &Shown() const { return m_shown; }
    // The unit ID an item carries, 0 for none.
    static qint32 UnitId(const QTreeWidgetItem *item);

    // Inserts the units under parentId; 0 rebuilds the companies at the top.
    void LoadChildUnits(qint32 parentId);
    // Puts the unit's item last under parent (nullptr: at the top).
    void InsertUnitItem(QTreeWidgetItem *parent, const SUnitRow &unit);
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
    // Lets the user find an employee by name or reading, then shows their unit and
    // tells EmployeeRevealed; one without a unit is told instead.
    void SearchEmployeeByName();
    // Makes item the selected unit; if it is already, its contents are shown again.
    void SelectUnit(QTreeWidgetItem *item);

    void SetDropHighlight(QTreeWidgetItem *item);
    QTreeWidgetItem *GetDropHighlight() const;
    // As a target of a drag of employees: the unit under the cursor is shown, and
    // employees let go over it join it; the tree then selects it.
    void TrackDrag(const QPoint &screenPoint);
    void EndDragTracking();
    void TakeDrop(CEmployeeDrop *drop);

    // The pop-up menu of the tree (menu 102); the caller runs and deletes it.
    QMenu *CreateContextMenu(QWidget *parent);

    void OnAddDept();
    void OnEditDept();
    void OnDeleteDept();
    void OnSearch();
    void OnNameSearch();

    // The employee list of the selected unit's whole company; false when no unit
    // is selected or it is gone.
    bool PrepareCompanyPrintJob();
    // The selected unit and those under it, grouped by unit.
    bool PrepareUnitPrintJob(bool breakPerTopUnit);
    CCompanyListJob &GetPrintJob() const { return *m_pPrintJob; }
    bool CanPrint() const { return currentItem() != nullptr; }

signals:
    // A unit was selected and its level read: its contents are to be shown.
    void UnitSelected(qint32 unitId);
    // No unit is selected any more, or the one selected is gone.
    void SelectionCleared();
    // The unit of the employee is selected and shown: the list is to show them.
    void EmployeeRevealed(qint32 employeeId);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void drawRow(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

private:
    void OnSelChanged(QTreeWidgetItem *current);
    // Selects the employee's unit; false, told, when they have none or it is gone.
    bool RevealEmployeeUnit(qint32 employeeId);
    void OnContextMenu(const QPoint &screenPoint);
    // The loaded item of a unit, if any.
    QTreeWidgetItem *ItemOf(qint32 unitId) const;
    // False, told, when the unit an item stands for is no longer in the database.
    bool UnitStillThere(QTreeWidgetItem *item);
    // Tells that the unit of item is gone; the item goes once the caller is done with it.
    void UnitGone(QTreeWidgetItem *item);
    // Takes a gone unit's item, and those of gone units above it, out of the tree;
    // the nearest unit above that is still there is selected in its place.
    void ForgetGoneUnit(const QPersistentModelIndex &index);

    CMorvekDoc *m_pDocument;
    CShownRegister m_shown;
    std::unique_ptr<CCompanyListJob> m_pPrintJob;
    QPersistentModelIndex m_dropHighlight;
};
