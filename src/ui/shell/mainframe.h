#pragma once

#include "base/frameservices.h"
#include "forms/funckeycaptions.h"

#include <QHash>
#include <QList>
#include <QMainWindow>
#include <memory>

class CChildFrame;
class CFuncKeyBar;
class CKeyIndicators;
class CMainActions;
class CMorvekDoc;
class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QToolBar;

// The main window: menus, tool bar, status bar, the function-key bar along the
// bottom, and the company windows inside. Forms reach it through CFrameServices.
class CMainFrame final : public QMainWindow, public CFrameServices
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMainFrame)

public:
    explicit CMainFrame(QWidget *parent = nullptr);
    ~CMainFrame() override;

    void SetStatusText(const QString &text) override;
    void SetRefusalText(const QString &text) override;
    void SetFuncKeyCaption(int slot, const QString &text) override;
    void ResetFuncKeyCaptions() override;
    void SetBusyAnimation(bool on) override;
    void StepBusyAnimation() override;
    void PutFuncKeyCaptions(const CFuncKeyCaptions::Set &captions);
    // A passing remark in the status bar, added to one already shown.
    void ShowStatusNote(const QString &text);

    CChildFrame *CreateChildFrame(std::unique_ptr<CMorvekDoc> pDocument);
    // The window already showing the file pathName, if any.
    CChildFrame *FindChildFrame(const QString &pathName) const;
    CChildFrame *GetActiveChild() const;
    // A company window on its way out: its commands are no longer attached to it.
    void ForgetChild(CChildFrame *child);
    QList<CChildFrame *> GetChildFrames() const;

    void OnCommand(int id);
    // The master form; at that employee, ready to correct, when one is given.
    void OnEmployeeEntry(qint32 employeeId = 0);
    // Enables, disables and marks every command for the window now in front.
    void UpdateCommandUI();

    QAction *GetAction(int id) const;
    int GetMenuId() const { return m_nMenuId; }
    QString GetStatusText() const override;
    QMdiArea *GetMdiArea() const { return m_pMdiArea; }
    QToolBar *GetToolBar() const { return m_wndToolBar; }
    CFuncKeyBar *GetFuncKeyBar() const { return m_wndFuncKeyBar; }
    CKeyIndicators *GetKeyIndicators() const { return m_pIndicators; }
    // The day the company window in front shows, while it shows a past one.
    QLabel *GetAsOfPane() const { return m_pAsOfPane; }

protected:
    void changeEvent(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void CreateBars();
    void OnSubWindowActivated();
    void OnConnectionChanged(bool connected);
    void ShowMenu(int menuId);
    bool OnFrameCommand(int id);

    CFuncKeyBar *m_wndFuncKeyBar = nullptr;
    QLabel *m_pMessagePane = nullptr;
    QLabel *m_pAsOfPane = nullptr;
    CKeyIndicators *m_pIndicators = nullptr;
    QToolBar *m_wndToolBar = nullptr;
    QMdiArea *m_pMdiArea;
    std::unique_ptr<CMainActions> m_pActions;
    QHash<int, QList<QMenu *>> m_menus;
    int m_nMenuId = 0;
    CChildFrame *m_pCommandChild = nullptr; // the window its commands are attached to
    bool m_bDestroying = false;
};
