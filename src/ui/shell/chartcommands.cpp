#include "shell/chartcommands.h"

#include "base/errorreport.h"
#include "base/modalseam.h"
#include "chart/staffsnapshot.h"
#include "charts/orgchartwnd.h"
#include "charts/stafffigureswnd.h"
#include "register/registerasof.h"
#include "views/busyindicator.h"
#include "views/facecache.h"
#include "views/leftview.h"
#include "views/morvekview.h"

#include <QPointer>

namespace {
qint32 SelectedUnit(const CLeftView *tree)
{
    return tree ? CLeftView::UnitId(tree->currentItem()) : 0;
}

CStaffSnapshot ReadSnapshot(const CLeftView *tree)
{
    CBusyIndicator busy;
    busy.Pulse();
    return CStaffSnapshot::Read(tree ? tree->Shown().GetAsOf().get() : nullptr);
}

// The window is the frame's, so it closes with it.
void Show(QWidget *window)
{
    window->show();
    window->raise();
    window->activateWindow();
}
} // namespace

void CChartCommands::OnOrgChart(CLeftView *tree, CMorvekView *list, QWidget *frame)
{
    try {
        CStaffSnapshot snapshot = ReadSnapshot(tree);
        if (snapshot.Units().isEmpty()) {
            MorvekMessageBox(QStringLiteral("会社も部課も登録されていないため、組織図は描けません。"), QMessageBox::Ok,
                             QMessageBox::Information, QStringLiteral("組織図"), frame);
            return;
        }
        auto *window = new COrgChartWnd(std::move(snapshot), tree ? tree->Shown().GetAsOf() : nullptr, SelectedUnit(tree),
                                        frame);
        if (CFaceCache *cache = list ? list->GetFaces() : nullptr) {
            QPointer<CFaceCache> faces(cache);
            window->SetScreenFaces([faces](qint32 id) {
                if (!faces)
                    return QImage();
                const QIcon icon = faces->Face(id, QIcon());
                return icon.isNull() ? QImage() : icon.pixmap(CFaceCache::kSide).toImage();
            });
            QObject::connect(cache, &CFaceCache::FacesChanged, window, &COrgChartWnd::FacesArrived);
        }
        if (tree) {
            QPointer<CLeftView> shown(tree);
            QObject::connect(window, &COrgChartWnd::UnitActivated, frame, [shown, frame](qint32 unit) {
                if (!shown || !shown->RevealUnit(unit))
                    return;
                frame->window()->raise();
                frame->window()->activateWindow();
                shown->setFocus();
            });
        }
        Show(window);
    } catch (const std::exception &error) {
        CErrorReport::Report(error);
    }
}

void CChartCommands::OnStaffFigures(CLeftView *tree, QWidget *frame)
{
    try {
        auto *window = new CStaffFiguresWnd(ReadSnapshot(tree), SelectedUnit(tree), frame);
        Show(window);
    } catch (const std::exception &error) {
        CErrorReport::Report(error);
    }
}
