#include "store/enginestatement.h"

#include "store/daoexception.h"

#include <QDate>
#include <QDateTime>
#include <QTime>

bool CEngineStatement::IsNullValue(const QVariant &value)
{
    if (value.isNull())
        return true;
    switch (value.typeId()) {
    case QMetaType::QString:
        return static_cast<const QString *>(value.constData())->isNull();
    case QMetaType::QByteArray:
        return static_cast<const QByteArray *>(value.constData())->isNull();
    case QMetaType::QDate:
        return static_cast<const QDate *>(value.constData())->isNull();
    case QMetaType::QTime:
        return static_cast<const QTime *>(value.constData())->isNull();
    case QMetaType::QDateTime:
        return static_cast<const QDateTime *>(value.constData())->isNull();
    default:
        return false;
    }
}

QString CEngineStatement::ReadFailed()
{
    return QStringLiteral("データベースの読み取りに失敗しました。");
}

void CEngineStatement::ThrowDetached()
{
    throw CDaoException(QStringLiteral("データベースが開かれていません。"));
}
