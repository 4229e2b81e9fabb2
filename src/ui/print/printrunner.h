#pragma once

#include <QPageLayout>
#include <QString>
#include <functional>

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
    // optionsTab, when given, joins the print dialog's options; once the dialog is
    // accepted, rebuild prepares the job again from it (false: nothing to print).
    static bool Print(CPrintJob &job, const QPageLayout &layout, QWidget *parent, bool direct,
                      QWidget *optionsTab = nullptr, const std::function<bool()> &rebuild = {});
    // Opens at whole-page zoom; printing from it prints the same job.
    static void Preview(CPrintJob &job, const QPageLayout &layout, QWidget *parent);
    // The preview's title: what it shows and how many pages.
    static QString PreviewTitle(const QString &docName, int pages);
    // Prints the pages the printer's range names, all when it names none.
    static void PrintPages(CPrintJob &job, QPrinter &printer);

private:
    static void SetUp(QPrinter &printer, const CPrintJob &job, const QPageLayout &layout);
};
