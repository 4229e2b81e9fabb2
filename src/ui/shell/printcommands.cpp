#include "shell/printcommands.h"

#include "base/commandids.h"
#include "print/listoptionstab.h"
#include "print/printrunner.h"
#include "printlayout/cardprintjob.h"
#include "printlayout/cardsheet.h"
#include "printlayout/companylistjob.h"
#include "printlayout/listprintchoice.h"
#include "shell/morvekapp.h"
#include "views/leftview.h"
#include "views/morvekview.h"

#include <QSettings>

namespace {
QPageLayout PageLayout()
{
    auto *app = qobject_cast<CMorvekApp *>(QCoreApplication::instance());
    return app ? app->GetPageLayout() : QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF());
}

void Run(int id, CPrintJob &job, QWidget *parent)
{
    if (id == ID_FILE_PRINT_PREVIEW)
        CPrintRunner::Preview(job, PageLayout(), parent);
    else
        CPrintRunner::Print(job, PageLayout(), parent, id == ID_FILE_PRINT_DIRECT);
}

bool Prepare(CLeftView *tree, const CListPrintChoice &choice)
{
    return choice.m_bByUnit ? tree->PrepareUnitPrintJob(choice.m_bBreakPerTopUnit) : tree->PrepareCompanyPrintJob();
}
} // namespace

void CPrintCommands::PrintCards(int id, CMorvekView *list, QWidget *parent)
{
    if (!list || !list->PreparePrintJob())
        return;
    CCardSheet sheet;
    sheet.Load(*CMorvekApp::Settings());
    list->GetPrintJob().SetSheet(sheet);
    Run(id, list->GetPrintJob(), parent);
}

void CPrintCommands::PrintList(int id, CLeftView *tree, QWidget *parent, bool byUnit)
{
    if (!tree)
        return;
    CListPrintChoice choice;
    choice.Load(*CMorvekApp::Settings());
    if (byUnit) {
        choice.m_bByUnit = true;
        choice.Save(*CMorvekApp::Settings());
    }
    if (!Prepare(tree, choice))
        return;
    if (id != ID_FILE_PRINT) {
        Run(id, tree->GetPrintJob(), parent);
        return;
    }
    // The dialog's tab may change the choice; the job then follows it.
    auto *tab = new CListOptionsTab(choice);
    CPrintRunner::Print(tree->GetPrintJob(), PageLayout(), parent, false, tab, [tab, tree, &choice] {
        choice = tab->Choice();
        choice.Save(*CMorvekApp::Settings());
        return Prepare(tree, choice);
    });
}
