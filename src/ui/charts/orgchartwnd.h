#pragma once

#include "chart/orgchart.h"
#include "chart/orgchartfiles.h"
#include "chart/orgchartpainter.h"
#include "chart/orgchartsource.h"
#include "chart/staffsnapshot.h"

#include <QWidget>
#include <memory>

class COrgChartCanvas;
class CRegisterAsOf;
class QCheckBox;
class QLabel;
class QSpinBox;
class QTimer;

// 組織図: a company, or a unit and everything under it, drawn as boxes joined by
// lines, as of the day the company window shows. A double-click (or Enter) on a
// box asks the company window to show that unit.
class COrgChartWnd final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(COrgChartWnd)

public:
    // asOf: the register on a past day; nullptr for today.
    COrgChartWnd(CStaffSnapshot snapshot, std::shared_ptr<const CRegisterAsOf> asOf, qint32 top, QWidget *parent = nullptr);
    ~COrgChartWnd() override;

    // Faces for the screen, from a cache that reads them elsewhere: a null image
    // until one arrives; FacesArrived() then draws again.
    void SetScreenFaces(COrgChartPainter::FaceOf faceOf);
    void FacesArrived();

    const COrgChart &Chart() const { return *m_pChart; }
    COrgChartCanvas *Canvas() const { return m_pCanvas; }
    void SetFaces(bool faces);
    void SetFaceLimit(int limit);
    void Toggle(qint32 unitId);

    // The chart to a file by its ending; the reason when it could not be written.
    QString SaveTo(const QString &file, const COrgChartFiles::SPaper &paper);
    // Today's chart is read again after the register was written, here or elsewhere.
    void Reload();
    void OnSave();
    void OnPrint();

signals:
    void UnitActivated(qint32 unitId);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Rebuild();
    QWidget *MakeBar();
    COrgChartPainter::FaceOf ScreenFaces();

    CStaffSnapshot m_snapshot;
    std::shared_ptr<const CRegisterAsOf> m_pAsOf;
    qint32 m_nTop;
    COrgChart::SOptions m_options;
    COrgChartSource m_source;
    std::unique_ptr<COrgChart> m_pChart;
    COrgChartPainter::FaceOf m_screenFaces;
    COrgChartCanvas *m_pCanvas;
    QCheckBox *m_pFaces = nullptr;
    QSpinBox *m_pFaceLimit = nullptr;
    QLabel *m_pSummary = nullptr;
    QTimer *m_pReload = nullptr;
};
