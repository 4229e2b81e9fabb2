#include "shell/viewsettings.h"

#include "shell/childframe.h"
#include "shell/morvekapp.h"
#include "store/daorecordset.h"
#include "views/leftview.h"
#include "views/morvekview.h"
#include "views/unaffiliateddlg.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QMainWindow>
#include <QSettings>
#include <QSplitter>
#include <QTreeWidgetItemIterator>
#include <QUrl>

namespace {
const QString kMainGeometry = QStringLiteral("MainWindow/Geometry");
const QString kMainState = QStringLiteral("MainWindow/State");
const QString kSplitter = QStringLiteral("CompanyWindow/Splitter");
const QString kListStyle = QStringLiteral("List/Style");
const QString kListColumns = QStringLiteral("List/Columns");
const QString kExpandedUnits = QStringLiteral("Tree/Expanded");
const QString kSelectedUnit = QStringLiteral("Tree/Selected");
const QString kUnaffiliatedSize = QStringLiteral("Unaffiliated/Size");

// The settings, in the group of the register the program has open.
std::unique_ptr<QSettings> RegisterSettings()
{
    std::unique_ptr<QSettings> settings = CMorvekApp::Settings();
    settings->beginGroup(CViewSettings::GroupOf(CDaoRecordset::ApplicationDatabasePath()));
    return settings;
}

QTreeWidgetItem *ItemOf(const CLeftView &tree, qint32 unitId)
{
    for (QTreeWidgetItemIterator it(const_cast<CLeftView *>(&tree)); *it; ++it) {
        if (CLeftView::UnitId(*it) == unitId)
            return *it;
    }
    return nullptr;
}

QList<QVariant> ExpandedUnits(const CLeftView &tree)
{
    // Top down, so that each unit's level is there when it is opened again.
    QList<QVariant> ids;
    for (QTreeWidgetItemIterator it(const_cast<CLeftView *>(&tree)); *it; ++it) {
        if ((*it)->isExpanded())
            ids.append(CLeftView::UnitId(*it));
    }
    return ids;
}

void RestoreTree(CLeftView &tree, const QList<QVariant> &expanded, qint32 selected)
{
    // A register that could not be read has no tree to open.
    if (tree.topLevelItemCount() == 0)
        return;
    for (const QVariant &id : expanded) {
        // Units deleted since are passed over.
        QTreeWidgetItem *item = ItemOf(tree, id.toInt());
        if (!item)
            continue;
        if (item->childCount() == 0)
            tree.LoadChildUnits(id.toInt());
        item->setExpanded(true);
    }
    if (selected == 0 || !tree.RevealUnit(selected))
        return;
    // Revealing opens the unit itself as well.
    if (QTreeWidgetItem *item = ItemOf(tree, selected))
        item->setExpanded(expanded.contains(QVariant(selected)));
}
} // namespace

QString CViewSettings::GroupOf(const QString &databasePath)
{
    // A server's address without its password; a file by its full path.
    const QUrl url(databasePath);
    const QString name = url.scheme().startsWith(QLatin1String("postgres")) ? url.toDisplayString(QUrl::RemovePassword)
                                                                            : QFileInfo(databasePath).absoluteFilePath();
    const QByteArray hash = QCryptographicHash::hash(name.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return QStringLiteral("Registers/") + QString::fromLatin1(hash);
}

void CViewSettings::SaveMainFrame(const QMainWindow &frame)
{
    const auto settings = RegisterSettings();
    settings->setValue(kMainGeometry, frame.saveGeometry());
    settings->setValue(kMainState, frame.saveState());
}

void CViewSettings::RestoreMainFrame(QMainWindow &frame)
{
    const auto settings = RegisterSettings();
    frame.restoreGeometry(settings->value(kMainGeometry).toByteArray());
    frame.restoreState(settings->value(kMainState).toByteArray());
}

void CViewSettings::SaveCompanyWindow(const CChildFrame &window)
{
    const auto settings = RegisterSettings();
    const CMorvekView *list = window.GetRightPane();
    const CLeftView *tree = window.GetLeftPane();
    settings->setValue(kSplitter, window.GetSplitter()->saveState());
    if (list) {
        settings->setValue(kListStyle, int(list->GetViewStyle()));
        settings->setValue(kListColumns, list->SaveColumns());
        settings->setValue(kUnaffiliatedSize, list->GetUnaffiliatedWindow()->size());
    }
    if (tree) {
        settings->setValue(kExpandedUnits, ExpandedUnits(*tree));
        settings->setValue(kSelectedUnit, CLeftView::UnitId(tree->currentItem()));
    }
}

void CViewSettings::RestoreCompanyWindow(CChildFrame &window)
{
    const auto settings = RegisterSettings();
    window.GetSplitter()->restoreState(settings->value(kSplitter).toByteArray());
    if (CMorvekView *list = window.GetRightPane()) {
        const int style = settings->value(kListStyle, -1).toInt();
        if (style >= int(CMorvekView::EViewStyle::icon) && style <= int(CMorvekView::EViewStyle::report))
            list->SetViewStyle(CMorvekView::EViewStyle(style));
        list->RestoreColumns(settings->value(kListColumns).toByteArray());
        const QSize size = settings->value(kUnaffiliatedSize).toSize();
        if (size.isValid())
            list->GetUnaffiliatedWindow()->resize(size);
    }
    if (CLeftView *tree = window.GetLeftPane())
        RestoreTree(*tree, settings->value(kExpandedUnits).toList(), settings->value(kSelectedUnit).toInt());
}
