#pragma once

#include <QIdentityProxyModel>

class QFileDialog;
class QWidget;

// Qt's file dialog writes sizes, kinds and dates in the system's locale ("7 Dec
// 2026", "bytes", "Folder") whatever the program's; this puts them in the program's
// own (the default QLocale, Japanese) instead.
class CLocaleFileModel final : public QIdentityProxyModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CLocaleFileModel)

public:
    explicit CLocaleFileModel(QObject *parent = nullptr);

    // For a dialog that does not use the platform's own.
    static void Apply(QFileDialog &dialog);
    // Asks for a folder in such a dialog, through the modal seam; empty when none is chosen.
    static QString ChooseFolder(QWidget *parent, const QString &title);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    enum EColumn { sizeColumn = 1, typeColumn = 2, dateColumn = 3 };
};
