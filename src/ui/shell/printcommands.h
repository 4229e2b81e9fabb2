#pragma once

class CLeftView;
class CMorvekView;
class QWidget;

// The company window's print commands: cards from the list, the employee list
// from the tree, with the choices the settings remember.
class CPrintCommands final
{
public:
    CPrintCommands() = delete;

    // Print (ID_FILE_PRINT), direct print or preview of the selected employees' cards.
    static void PrintCards(int id, CMorvekView *list, QWidget *parent);
    // The same for the tree's employee list; byUnit asks for the selected unit's
    // list grouped by unit whatever was chosen last.
    static void PrintList(int id, CLeftView *tree, QWidget *parent, bool byUnit = false);
};
