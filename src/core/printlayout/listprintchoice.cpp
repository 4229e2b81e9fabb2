#include "printlayout/listprintchoice.h"

#include <QSettings>

namespace {
const QString kByUnitKey = QStringLiteral("Print/ListByUnit");
const QString kBreakKey = QStringLiteral("Print/ListBreakPerTopUnit");
} // namespace

void CListPrintChoice::Load(const QSettings &settings)
{
    m_bByUnit = settings.value(kByUnitKey, false).toBool();
    m_bBreakPerTopUnit = settings.value(kBreakKey, false).toBool();
}

void CListPrintChoice::Save(QSettings &settings) const
{
    settings.setValue(kByUnitKey, m_bByUnit);
    settings.setValue(kBreakKey, m_bBreakPerTopUnit);
}
