#include "store/changechannel.h"

#include "store/daodatabase.h"

#include <QCoreApplication>
#include <QRandomGenerator>

CChangeChannel::CChangeChannel(std::shared_ptr<CDaoDatabase> database)
    : m_pDatabase(std::move(database))
{
}

CChangeChannel::~CChangeChannel() = default;

QString CChangeChannel::Origin()
{
    // The process ID alone comes back after a restart; the random part does not.
    static const QString origin = QStringLiteral("%1-%2")
                                      .arg(QCoreApplication::applicationPid())
                                      .arg(QRandomGenerator::system()->generate64(), 16, 16, QLatin1Char('0'));
    return origin;
}
