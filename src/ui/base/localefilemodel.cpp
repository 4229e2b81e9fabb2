#include "base/localefilemodel.h"

#include "base/modalseam.h"

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
    // A whole date, not "2026/1…"; a whole size and kind, not "31…イト".
    if (auto *details = dialog.findChild<QTreeView *>(QStringLiteral("treeView")))
        for (int column : {sizeColumn, typeColumn, dateColumn})
            details->header()->setSectionResizeMode(column, QHeaderView::ResizeToContents);
}

QString CLocaleFileModel::ChooseFolder(QWidget *parent, const QString &title)
{
    QFileDialog dialog(parent, title);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    Apply(dialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (CModalSeam::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
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
