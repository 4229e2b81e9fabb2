#pragma once

#include <QDate>
#include <QList>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <memory>

class CEmployeeDragSource;
class CLeftView;
class CMainActions;
class CMainFrame;
class CMorvekDoc;
class CMorvekView;
class QSplitter;

// The company window: the organisation tree on the left, the contents of the
// selected unit on the right. It owns its document.
class CChildFrame final : public QMdiSubWindow
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CChildFrame)

public:
    CChildFrame(CMainFrame *pMainFrame, std::unique_ptr<CMorvekDoc> pDocument);
    ~CChildFrame() override;

    CMorvekDoc *GetDocument() const { return m_pDocument.get(); }
    CLeftView *GetLeftPane() const;
    CMorvekView *GetRightPane() const;
    QSplitter *GetSplitter() const { return m_wndSplitter; }

    void SetFuncKeyCaptionsForCompany();

    // Shows the tree, the lists and the printed list as they stood at the end of
    // a past day, read-only, the day in the title and the status bar; an invalid
    // day (今日) shows the register as it is.
    void SetAsOfDate(const QDate &day);
    QDate GetAsOfDate() const { return m_asOfDay; }
    bool IsAsOf() const { return m_asOfDay.isValid(); }

    // What the tree, the list and the window of employees without a unit tell
    // each other: a unit selected fills the list, employees dragged from a list
    // land where they are let go.
    static void ConnectPanes(CLeftView *tree, CMorvekView *list);

    // The pane print commands act on: the one with the focus, or the tree.
    QWidget *GetPrintPane() const;
    // Whether the print pane has something to print.
    bool CanPrint() const;

    // The commands this window answers; false when the id is not one of them.
    bool OnCommand(int id);
    // While it is the window in front, its commands' actions are connected to it,
    // and it keeps the print commands enabled as its panes change.
    void AttachCommands(const CMainActions &actions);
    void DetachCommands();
    void UpdateCommandUI(const CMainActions &actions) const;
    static const QList<int> &Commands();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void OnNewCompany();
    // Print, direct print or preview of what the print pane holds.
    void OnFilePrint(int id);
    void WatchPrintState();
    void UpdatePrintCommands();
    void OnUnaffiliatedList();
    // Asks the day (基準日) and shows it.
    void OnAsOfDate();
    // Moves the selected employees of the list, or of the window without a unit.
    void OnTransfer(bool fromUnaffiliated);
    // The master form at the first employee selected.
    void OnEmployeeCorrect();
    bool UnaffiliatedActive() const;
    const CEmployeeDragSource *EmployeeSource(bool fromUnaffiliated) const;
    void OnViewStyle(int id);
    void OnNextPane(bool forward);
    void OnWindowSplit();
    void EndSplitTracking(bool keep);

    CMainFrame *m_pMainFrame;
    std::unique_ptr<CMorvekDoc> m_pDocument;
    QDate m_asOfDay; // invalid: today
    QSplitter *m_wndSplitter;
    QList<int> m_splitBeforeTracking;
    QList<QMetaObject::Connection> m_printWatch;
    const CMainActions *m_pActions = nullptr; // while its commands are attached
    QList<QMetaObject::Connection> m_commandLinks;
};
