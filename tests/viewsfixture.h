#pragma once

// What the organisation view tests share: rows written straight into a fresh
// database, and the tree and list side by side as the company window holds them.
#include "app/frameservices.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "testsupport.h"
#include "views/leftview.h"
#include "views/morvekview.h"
#include "views/unitcontentsmodel.h"

#include <QApplication>
#include <QSplitter>
#include <QTest>
#include <memory>

inline qint32 AddUnit(qint32 parent, qint32 code, const QString &name, const QString &yuu = {})
{
    CMast00 set;
    set.Open();
    set.AddNew();
    set.m_Parent = parent;
    set.m_Code = code;
    set.m_Name = name;
    set.m_Yuu = yuu;
    set.m_TEL = yuu.isEmpty() ? QString() : QStringLiteral("03-0000-0000");
    set.Update();
    return qint32(set.GetLastModifiedBookmark());
}

inline qint32 AddEmployee(qint32 code, qint32 busyo, const QString &name, bool female = false)
{
    CMast01 set;
    set.Open();
    set.AddNew();
    set.m_Code = code;
    set.m_Busyo = busyo;
    set.m_Name = name;
    set.m_Sex = female;
    set.Update();
    return qint32(set.GetLastModifiedBookmark());
}

inline qint32 BusyoOf(qint32 employeeId)
{
    CMast01 set;
    set.Open();
    return set.FindFirst(QStringLiteral("ID = %1").arg(employeeId)) ? set.m_Busyo : -1;
}

inline bool UnitExists(qint32 unitId)
{
    CMast00 set;
    set.Open();
    return set.FindFirst(QStringLiteral("ID = %1").arg(unitId));
}

inline QStringList Column(const CMorvekView *view, int column = CUnitContentsModel::nameColumn)
{
    QStringList texts;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        texts << view->model()->index(row, column).data().toString();
    return texts;
}

inline QList<int> Images(const CMorvekView *view)
{
    QList<int> images;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        images << view->model()->index(row, 0).data(CUnitContentsModel::ImageRole).toInt();
    return images;
}

inline QStringList Texts(const QList<QTreeWidgetItem *> &items)
{
    QStringList texts;
    for (const QTreeWidgetItem *item : items)
        texts << item->text(0);
    return texts;
}

inline QList<QTreeWidgetItem *> Children(const QTreeWidgetItem *item)
{
    QList<QTreeWidgetItem *> children;
    for (int i = 0; i < item->childCount(); ++i)
        children << item->child(i);
    return children;
}

inline QList<QTreeWidgetItem *> Roots(const QTreeWidget *tree)
{
    return Children(tree->invisibleRootItem());
}

// The item of a loaded unit, wherever it hangs.
inline QTreeWidgetItem *ItemOf(const QTreeWidget *tree, qint32 unitId)
{
    QList<QTreeWidgetItem *> pending = Roots(tree);
    while (!pending.isEmpty()) {
        QTreeWidgetItem *item = pending.takeFirst();
        if (CLeftView::UnitId(item) == unitId)
            return item;
        pending += Children(item);
    }
    return nullptr;
}

// The tree and the list in a splitter, shown, as the company window makes them.
struct SPanes {
    SPanes()
    {
        auto *splitter = new QSplitter(&window);
        tree = new CLeftView(nullptr, splitter);
        list = new CMorvekView(nullptr, splitter);
        tree->m_pListView = list;
        splitter->setSizes({200, 600});
        window.resize(800, 500);
        splitter->resize(window.size());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
    }

    // A point of a widget in the window's coordinates, where real input arrives.
    QPoint InWindow(const QWidget *w, const QPoint &point) const { return w->mapTo(&window, point); }

    QWidget window;
    CLeftView *tree = nullptr;
    CMorvekView *list = nullptr;
};

// The main window's busy animation, as the views switch it.
class CBusyRecorder final : public CFrameServices
{
public:
    CBusyRecorder() { Register(this); }
    ~CBusyRecorder() override { Register(nullptr); }
    void SetStatusText(const QString &) override {}
    void SetFuncKeyCaption(int, const QString &) override {}
    void ResetFuncKeyCaptions() override {}
    void SetBusyAnimation(bool on) override
    {
        m_switches << on;
        m_bWaitCursorSeen |= on && QApplication::overrideCursor() != nullptr;
    }

    QList<bool> m_switches;
    bool m_bWaitCursorSeen = false;
};
