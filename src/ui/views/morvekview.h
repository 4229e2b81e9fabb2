#pragma once

#include "views/employeedragsource.h"
#include "views/shownregister.h"

#include <QByteArray>
#include <QList>
#include <memory>

class CCardPrintJob;
class CFaceCache;
class CListColumns;
class CMorvekDoc;
class CRowDelegate;
class CUnaffiliatedDlg;
class QHeaderView;
struct SUnitRow;

// The list in the right pane of the company window: the sub-units of one unit,
// then its employees. Employees leave their unit with the Delete key and are
// dragged away to another unit; employees dragged out of the window of those
// without a unit may be let go here. It owns that window, and keeps its rows
// right as the register tells what changed.
class CMorvekView final : public CEmployeeDragSource
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMorvekView)

public:
    enum class EViewStyle { icon, smallIcon, list, report };

    explicit CMorvekView(CMorvekDoc *pDocument, QWidget *parent = nullptr);
    ~CMorvekView() override;

    CMorvekDoc *GetDocument() const { return m_pDocument; }
    // Shows units and employees as they stood at the end of a past day
    // (read-only), or as they are (none); the list and the window of employees
    // without a unit follow, the list then empty until a unit is shown.
    void SetAsOf(CShownRegister::AsOf asOf);
    const CShownRegister &Shown() const { return m_shown; }
    EViewStyle GetViewStyle() const { return m_nStyle; }
    void SetViewStyle(EViewStyle style);
    // Puts the icons back in rows on the grid.
    void Arrange();

    // Refills the list with the sub-units and employees of unitId; 0 shows the
    // companies and the employees without a unit.
    void ShowUnitContents(qint32 unitId);
    void AddUnitRow(const SUnitRow &unit);
    void AddEmployeeRows(qint32 unitId);
    // Empties the list; it then stands for no unit.
    void ClearContents();
    qint32 GetCurrentUnit() const { return m_nCurrentUnit; }
    // False while the list stands for no unit.
    bool ShowsUnit() const { return m_bShowsUnit; }
    // Makes the employee's row the current and only selected one, scrolled into
    // view, and gives the list the focus; false when the list does not show them.
    bool SelectEmployee(qint32 employeeId);

    void FillUnaffiliatedList();
    void ShowUnaffiliatedWindow();
    // Fills the window unless it was filled already.
    void EnsureUnaffiliatedFilled();
    bool IsUnaffiliatedFilled() const;
    CUnaffiliatedDlg *GetUnaffiliatedWindow() const { return m_unaffiliatedWnd; }

    // Puts an employee into the unit the list shows; changes no row of the list.
    // False when the employee is gone.
    bool AssignEmployeeToCurrentUnit(qint32 employeeId);
    // Puts all the employees into the unit the list shows, or none of them when a
    // write fails; placed gets those that are still there. False when the unit is
    // gone: told, nobody is written and the list then stands for no unit.
    bool AssignEmployeesToCurrentUnit(const QList<qint32> &employeeIds, QList<qint32> *placed);
    // Takes the employees out of their units, all of them or none.
    void ReleaseEmployees(const QList<qint32> &employeeIds);

    // Business cards of the selected employees; false when none is selected.
    bool PreparePrintJob();
    CCardPrintJob &GetPrintJob() const { return *m_pPrintJob; }
    bool CanPrint() const;

    QHeaderView *GetHeader() const { return m_pHeader; }
    CListColumns *GetColumns() const { return m_pColumns; }
    CFaceCache *GetFaces() const { return m_pFaces; }
    // The columns' choice, order, widths and the sort, to be remembered.
    QByteArray SaveColumns() const;
    // Remembered columns instead of the default ones; false when state does not fit.
    bool RestoreColumns(const QByteArray &state);
    // The row shown as the place where dragged employees would land; -1 for none.
    void SetDropHighlight(int row);
    int GetDropHighlight() const;

    // As a target of a drag of employees: the row under the cursor is shown, and
    // employees let go over the list join the unit it shows, before that row.
    void TrackDrag(const QPoint &screenPoint);
    void EndDragTracking();
    void TakeDrop(CEmployeeDrop *drop);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void updateGeometries() override;
    void showEvent(QShowEvent *event) override;

private:
    void OnDblClkList(const QModelIndex &index);
    void OpenEmployeeView(qint32 employeeId);
    void OnKeyDownList();
    bool ConfirmRelease(qsizetype count);
    void InsertColumns();

    CMorvekDoc *m_pDocument;
    CShownRegister m_shown;
    CUnitContentsModel *m_pModel;
    QHeaderView *m_pHeader;
    CRowDelegate *m_pDelegate;
    CListColumns *m_pColumns;
    CFaceCache *m_pFaces;
    qint32 m_nCurrentUnit = 0; // no unit until the tree shows one
    bool m_bShowsUnit = false; // false while the list stands for no unit
    CUnaffiliatedDlg *m_unaffiliatedWnd;
    std::unique_ptr<CCardPrintJob> m_pPrintJob;
    EViewStyle m_nStyle = EViewStyle::icon;
    bool m_bColumnsSized = false;
};
