#include "base/localefilemodel.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLocale>

CLocaleFileModel::CLocaleFileModel(QObject *parent)
    : QIdentityProxyModel(parent)
{
}

void CLocaleFileModel::Apply(QFileDialog &dialog)
{
    dialog.setProxyModel(new CLocaleFileModel(&dialog));
}

QVariant CLocaleFileModel::data(const QModelIndex &index, int role) const
{
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (!files || role != Qt::DisplayRole || (index.column() != sizeColumn && index.column() != dateColumn))
        return QIdentityProxyModel::data(index, role);
    const QFileInfo info = files->fileInfo(mapToSource(index));
    const QLocale locale;
    if (index.column() == dateColumn)
        return locale.toString(info.lastModified(), QLocale::ShortFormat);
    return info.isDir() ? QString() : locale.formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
}
