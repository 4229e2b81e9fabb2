#pragma once

#include <QString>

class CChildFrame;
class QMainWindow;

// How the windows looked when last closed, kept apart for each register (a file
// or a server): the main window's place and bars, the company window's splitter,
// the list's style, columns and sort, the units open and selected in the tree,
// the size of the window of employees without a unit.
class CViewSettings final
{
public:
    CViewSettings() = delete;

    // The settings group of the register at databasePath.
    static QString GroupOf(const QString &databasePath);

    static void SaveMainFrame(const QMainWindow &frame);
    static void RestoreMainFrame(QMainWindow &frame);
    static void SaveCompanyWindow(const CChildFrame &window);
    static void RestoreCompanyWindow(CChildFrame &window);
};
