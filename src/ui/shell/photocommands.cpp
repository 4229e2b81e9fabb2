#include "shell/photocommands.h"

#include "csv/photoimport.h"
#include "base/localefilemodel.h"
#include "base/modalseam.h"
#include "forms/dialogunits.h"
#include "register/employeephotos.h"
#include "register/register.h"
#include "store/daoexception.h"
#include "views/busyindicator.h"

namespace {
const QString kTitle = QStringLiteral("写真の一括取り込み");
// Lines a list shows in the preview before it only counts.
constexpr int kShownFiles = 10;

// The photo box of the employee forms, as they lay it out.
QSize PhotoBoxSize()
{
    return CDialogUnits(CDialogUnits::DialogFont()).ToPixels(70, 80);
}
} // namespace

// Refused files are named and left out; the rest is written or nothing is.
bool CPhotoCommands::Confirm(const CPhotoImport &import, QWidget *parent)
{
    const QString text = import.Text(kShownFiles);
    if (import.Matched().isEmpty()) {
        MorvekMessageBox(text + QStringLiteral("\n取り込む写真はありません。"), QMessageBox::Ok, QMessageBox::Information,
                         kTitle, parent);
        return false;
    }
    QString question = text;
    if (!import.Refused().isEmpty())
        question += QStringLiteral("\n取り込めないファイルは読み飛ばします。");
    question += QStringLiteral("\n取り込みますか？");
    // いいえ is the default: the photos it writes take the place of those kept.
    return MorvekMessageBox(question, QMessageBox::Yes | QMessageBox::No, QMessageBox::Question, kTitle, parent,
                            QMessageBox::No)
        == QMessageBox::Yes;
}

bool CPhotoCommands::OnImportPhotos(QWidget *parent)
{
    const QString folder = CLocaleFileModel::ChooseFolder(parent, kTitle);
    if (folder.isEmpty())
        return false;
    try {
        CPhotoImport import;
        QString error;
        bool read = false;
        {
            CBusyIndicator busy;
            read = import.ReadFolder(folder, PhotoBoxSize(), CEmployeePhotos::IdsByCode(), error);
        }
        if (!read) {
            MorvekMessageBox(error + QStringLiteral("\n何も取り込んでいません。"), QMessageBox::Ok, QMessageBox::Critical,
                             kTitle, parent);
            return false;
        }
        if (!Confirm(import, parent))
            return false;
        const int stored = import.Apply();
        MorvekMessageBox(QStringLiteral("社員 %1 人の写真を取り込みました。").arg(stored), QMessageBox::Ok,
                         QMessageBox::Information, kTitle, parent);
        return stored > 0;
    } catch (const CDaoException &e) {
        MorvekMessageBox(CRegister::Explain(e) + QStringLiteral("\n何も取り込んでいません。"), QMessageBox::Ok,
                         QMessageBox::Critical, kTitle, parent);
        return false;
    }
}
