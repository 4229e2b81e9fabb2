#pragma once

// What the organisation view tests share: rows read straight from the database,
// and the tree and list side by side as the company window holds them.
#include "shell/childframe.h"
#include "store/daodatabase.h"
#include "store/mast00.h"
#include "store/mast01.h"
#include "support/registerbuilder.h"
#include "testsupport.h"
#include "views/leftview.h"
#include "views/morvekview.h"
#include "views/unitcontentsmodel.h"

#include <QApplication>
#include <QSplitter>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <memory>

inline qint32 BusyoOf(qint32 employeeId)
{
    CMast01 set;
    set.Open();
    return set.FindById(employeeId) ? set.m_Busyo : -1;
}

// The unit's row, or nullptr when it is gone.
inline std::unique_ptr<CMast00> UnitRow(qint32 unitId)
{
    auto set = std::make_unique<CMast00>();
    set->Open();
    return set->FindById(unitId) ? std::move(set) : nullptr;
}

// What another user does meanwhile: statements on a connection of its own.
inline void ExecuteElsewhere(const QString &path, const QStringList &statements)
{
    CDaoDatabase other;
    other.Open(path);
    other.ExecuteAll(statements);
}

// One column of a list's rows; the image indexes for ImageRole.
inline QStringList Column(const QAbstractItemModel *model, int column = 0, int role = Qt::DisplayRole)
{
    QStringList texts;
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data(role).toString();
    return texts;
}

inline QStringList Column(const CMorvekView *view)
{
    return Column(view->model());
}

inline QStringList ChildTexts(const QTreeWidgetItem *item)
{
    QStringList texts;
    for (int i = 0; i < item->childCount(); ++i)
        texts << item->child(i)->text(0);
    return texts;
}

// The item of a loaded unit, wherever it hangs.
inline QTreeWidgetItem *ItemOf(const QTreeWidget *tree, qint32 unitId)
{
    for (QTreeWidgetItemIterator it(const_cast<QTreeWidget *>(tree)); *it; ++it)
        if (CLeftView::UnitId(*it) == unitId)
            return *it;
    return nullptr;
}

// Selects the units in turn, so that each level is read on the way down.
inline void SelectPath(CLeftView *tree, const QList<qint32> &units)
{
    for (qint32 id : units)
        tree->setCurrentItem(ItemOf(tree, id));
}

// The tree and the list in a splitter, shown, as the company window makes them.
struct SPanes {
    SPanes()
    {
        auto *splitter = new QSplitter(&window);
        tree = new CLeftView(nullptr, splitter);
        list = new CMorvekView(nullptr, splitter);
        CChildFrame::ConnectPanes(tree, list);
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
