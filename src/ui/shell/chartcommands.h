#pragma once

class CLeftView;
class CMorvekView;
class QWidget;

// 組織図 and 人員構成 of the company window: the unit selected in the tree (none:
// every company), as of the day the window shows.
class CChartCommands final
{
public:
    CChartCommands() = delete;

    // A double-click on a box shows its unit in the tree; faces come from the list's cache.
    static void OnOrgChart(CLeftView *tree, CMorvekView *list, QWidget *frame);
    static void OnStaffFigures(CLeftView *tree, QWidget *frame);
};
