#pragma once

#include <QPageLayout>

class CPrintJob;
class QPrinter;
class QWidget;

// Hands a print job to Qt's printing: the print dialog and the printer, or the
// preview window. Dialogs run through the modal seam.
class CPrintRunner final
{
public:
    // With a dialog the user picks printer and pages 1 .. the job's pages; direct
    // printing prints every page on the current printer. False when nothing printed.
    static bool Print(CPrintJob &job, const QPageLayout &layout, QWidget *parent, bool direct);
    static void Preview(CPrintJob &job, const QPageLayout &layout, QWidget *parent);
    // Prints the pages the printer's range names, all when it names none.
    static void PrintPages(CPrintJob &job, QPrinter &printer);

private:
    static void SetUp(QPrinter &printer, const CPrintJob &job, const QPageLayout &layout);
};
