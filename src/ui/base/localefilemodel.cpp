#include "base/localefilemodel.h"

#include <QDateTime>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLocale>
#include <QTreeView>

CLocaleFileModel::CLocaleFileModel(QObject *parent)
    : QIdentityProxyModel(parent)
{
}

void CLocaleFileModel::Apply(QFileDialog &dialog)
{
    dialog.setProxyModel(new CLocaleFileModel(&dialog));
    // A whole date, not "2026/1…".
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView")))
        details->header()->setSectionResizeMode(dateColumn, QHeaderView::ResizeToContents);
}

QVariant CLocaleFileModel::data(const QModelIndex &index, int role) const
{
    const auto *files = qobject_cast<const QFileSystemModel *>(sourceModel());
    if (!files || role != Qt::DisplayRole || index.column() < sizeColumn || index.column() > dateColumn)
        return QIdentityProxyModel::data(index, role);
    const QFileInfo info = files->fileInfo(mapToSource(index));
    const QLocale locale;
    if (index.column() == dateColumn)
        return locale.toString(info.lastModified(), QLocale::ShortFormat);
    if (index.column() == typeColumn) {
        if (info.isDir())
            return QStringLiteral("フォルダー");
        return info.suffix().isEmpty() ? QStringLiteral("ファイル") : info.suffix().toUpper() + QStringLiteral(" ファイル");
    }
    return info.isDir() ? QString() : locale.formattedDataSize(info.size(), 1, QLocale::DataSizeTraditionalFormat);
}
