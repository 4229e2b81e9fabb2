#pragma once

#include <QString>

// Started from the desktop menu, the program works in the user's data folder
// (~/.local/share/Morvek), where its database and card layout file live;
// started in a folder from a terminal, it works in that folder.
class CDataFolder final
{
public:
    // A desktop menu starts programs in the home folder (some in the root). A home
    // folder that holds the program's files is where the user works: it stays.
    static bool StartedFromDesktop(const QString &workingFolder, const QString &home);
    static QString Path();
    // The card layout installed with the program, found from the program's folder.
    static QString InstalledLayout(const QString &programFolder);
    // Makes folder the working folder, creating it, with a copy of the installed
    // layout when it has none. False, and the working folder unchanged, when it cannot.
    static bool Enter(const QString &folder, const QString &installedLayout);
};
