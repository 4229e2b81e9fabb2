#pragma once

#include <QListView>
#include <memory>
#include <vector>

class CCardPrintJob;
class CEmployeeDrag;
class CMast00;
class CMast01;
class CMorvekDoc;
class CRowDelegate;
class CUnaffiliatedDlg;
class CUnitContentsModel;
class QHeaderView;

// The list in the right pane of the company window: the sub-units of one unit,
// then its employees. Employees leave their unit with the Delete key and are
// dragged from here onto a unit of the tree. It owns the window of the employees
// without a unit.
class CMorvekView final : public QListView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMorvekView)

public:
    enum class EViewStyle { icon, smallIcon, list, report };

    explicit CMorvekView(CMorvekDoc *pDocument, QWidget *parent = nullptr);
    ~CMorvekView() override;

    CMorvekDoc *GetDocument() const { return m_pDocument; }
    EViewStyle GetViewStyle() const { return m_nStyle; }
    void SetViewStyle(EViewStyle style);
    // Puts the icons back in rows on the grid.
    void Arrange();

    // Refills the list with the sub-units and employees of unitId.
    void ShowUnitContents(CMast00 &units, qint32 unitId);
    void AddUnitRow(const CMast00 &units);
    void AddEmployeeRows(qint32 unitId);
    // Appends the current row of the view's employee set to list.
    void AddEmployeeRow(CUnitContentsModel &list);
    // Empties the list; it then stands for no unit.
    void ClearContents();
    qint32 GetCurrentUnit() const { return m_nCurrentUnit; }

    void CreateUnaffiliatedWindow();
    void FillUnaffiliatedList();
    // Adds or removes the employee's row in that window as the database has them.
    void SyncUnaffiliatedRow(qint32 employeeId);
    void ShowUnaffiliatedWindow();
    // Fills the window unless it was filled already.
    void EnsureUnaffiliatedFilled();
    bool IsUnaffiliatedFilled() const { return m_bUnaffiliatedFilled; }
    CUnaffiliatedDlg *GetUnaffiliatedWindow() const { return m_unaffiliatedWnd; }

    // Puts an employee into the unit the list shows; changes no row of the list.
    // False when the employee is gone.
    bool AssignEmployeeToCurrentUnit(qint32 employeeId);
    // Puts all the employees into the unit the list shows, or none of them when a
    // write fails; placed gets those that are still there. False when the unit is
    // gone: told, nobody is written and the list then stands for no unit.
    bool AssignEmployeesToCurrentUnit(const QList<qint32> &employeeIds, QList<qint32> *placed);
    // After a drop that failed: the list and the window of employees without a unit
    // read again what the database holds for them.
    void ReadAgainAfterFailure(const QList<qint32> &employeeIds);
    void ReleaseEmployee(qint32 employeeId);

    // Business cards of the selected employees; false when none is selected.
    bool PreparePrintJob();
    CCardPrintJob &GetPrintJob() const { return *m_pPrintJob; }
    bool CanPrint() const;

    CUnitContentsModel *GetModel() const { return m_pModel; }
    QHeaderView *GetHeader() const { return m_pHeader; }
    const CEmployeeDrag &GetDrag() const { return *m_pDrag; }
    // The row shown as the place where dragged employees would land; -1 for none.
    void SetDropHighlight(int row);
    int GetDropHighlight() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void updateGeometries() override;
    void showEvent(QShowEvent *event) override;

private:
    void OnDblClkList(const QModelIndex &index);
    void OpenEmployeeView(qint32 employeeId);
    void OnKeyDownList();
    void OnBeginDrag(const QModelIndex &index, const QPoint &screenPoint);
    void OnDrop(const QPoint &screenPoint);
    void InsertColumns();
    std::vector<int> SelectedRows() const;
    int RowImage(int row) const;

    CMorvekDoc *m_pDocument;
    CUnitContentsModel *m_pModel;
    QHeaderView *m_pHeader;
    CRowDelegate *m_pDelegate;
    std::unique_ptr<CEmployeeDrag> m_pDrag;
    QPoint m_pressPoint;
    qint32 m_nCurrentUnit = 0;      // no unit until the tree shows one
    CUnaffiliatedDlg *m_unaffiliatedWnd = nullptr;
    bool m_bUnaffiliatedFilled = false;
    std::unique_ptr<CMast01> m_pEmployees;
    std::unique_ptr<CCardPrintJob> m_pPrintJob;
    EViewStyle m_nStyle = EViewStyle::icon;
    bool m_bColumnsSized = false;
};
