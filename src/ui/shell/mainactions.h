#pragma once

#include <QHash>
#include <QList>

class QAction;
class QActionGroup;
class QMenu;
class QToolBar;
class QWidget;

// The main window's commands as actions, keyed by command id, with their
// captions, keys, icons and prompts; and the menus and tool bar made of them.
class CMainActions final
{
public:
    explicit CMainActions(QWidget *owner);
    CMainActions(const CMainActions &) = delete;
    CMainActions &operator=(const CMainActions &) = delete;

    QAction *Action(int id) const { return m_actions.value(id); }
    const QList<int> &Ids() const { return m_ids; }

    // The menus of menu resource menuId, parented to parent, left to right.
    QList<QMenu *> BuildMenus(int menuId, QWidget *parent) const;
    void FillToolBar(QToolBar *toolBar) const;

private:
    QHash<int, QAction *> m_actions;
    QList<int> m_ids;
    QActionGroup *m_pStyleGroup;
};
