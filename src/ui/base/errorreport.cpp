#include "base/errorreport.h"

#include "base/modalseam.h"
#include "store/daoexception.h"

#include <QStringList>

namespace {
int g_reportBatch = 0;
QStringList g_reported;
} // namespace

CErrorReport::CBatch::CBatch()
{
    ++g_reportBatch;
}

CErrorReport::CBatch::~CBatch()
{
    if (--g_reportBatch == 0)
        g_reported.clear();
}

void CErrorReport::Report(const std::exception &error)
{
    const auto *dao = dynamic_cast<const CDaoException *>(&error);
    const QString text = dao ? dao->GetErrorMessage() : QString::fromUtf8(error.what());
    if (g_reportBatch > 0) {
        if (g_reported.contains(text))
            return;
        g_reported.append(text);
    }
    MorvekMessageBox(text, QMessageBox::Ok, QMessageBox::Critical);
}
