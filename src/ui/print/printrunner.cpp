#include "print/printrunner.h"

#include "printlayout/printjob.h"
#include "base/modalseam.h"

#include <QAction>
#include <QDir>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QPrinterInfo>
#include <QWidget>

namespace {
// Where a print file goes by default: the working folder when it lies under
// the home folder, otherwise the home folder, as Qt's own dialog chooses.
QString DefaultPrintFile(const QString &docName)
{
    const QString home = QDir::homePath();
    QString folder = QDir::currentPath();
    if (folder != home && !folder.startsWith(home + QLatin1Char('/')))
        folder = home;
    return QDir(folder).filePath(docName + QStringLiteral(".pdf"));
}
} // namespace

void CPrintRunner::SetUp(QPrinter &printer, const CPrintJob &job, const QPageLayout &layout)
{
    printer.setDocName(job.GetDocName());
    printer.setFullPage(false);
    printer.setPageLayout(layout);
    // Without a printer the only way out is a file; without a name it would be
    // the bare folder.
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        printer.setOutputFileName(DefaultPrintFile(job.GetDocName()));
}

bool CPrintRunner::Print(CPrintJob &job, const QPageLayout &layout, QWidget *parent, bool direct, QWidget *optionsTab,
                         const std::function<bool()> &rebuild)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUp(printer, job, layout);
    if (!direct) {
        QPrintDialog dialog(&printer, parent);
        dialog.setMinMax(1, job.GetPageCount());
        if (optionsTab)
            dialog.setOptionTabs({optionsTab});
        if (CModalSeam::Exec(dialog) != QDialog::Accepted)
            return false;
        if (rebuild && !rebuild())
            return false;
    }
    PrintPages(job, printer);
    return true;
}

void CPrintRunner::Preview(CPrintJob &job, const QPageLayout &layout, QWidget *parent)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUp(printer, job, layout);
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&job](QPrinter *target) { PrintPages(job, *target); });
    if (parent)
        dialog.resize(parent->window()->size());
    dialog.setWindowTitle(PreviewTitle(job.GetDocName(), job.GetPageCount()));
    // The dialog's own "fit page" keeps its buttons in step with the zoom.
    if (auto *fitPage = dialog.findChild<QAction *>(QStringLiteral("fitPageAction")))
        fitPage->trigger();
    if (auto *preview = dialog.findChild<QPrintPreviewWidget *>())
        preview->fitInView();
    CModalSeam::Exec(dialog);
}

QString CPrintRunner::PreviewTitle(const QString &docName, int pages)
{
    return QStringLiteral("印刷プレビュー - %1（%2 ページ）").arg(docName).arg(pages);
}

void CPrintRunner::PrintPages(CPrintJob &job, QPrinter &printer)
{
    const int from = printer.fromPage() > 0 ? printer.fromPage() : 1;
    const int to = printer.toPage() > 0 ? printer.toPage() : job.GetPageCount();
    job.Render(printer, from, to);
}
