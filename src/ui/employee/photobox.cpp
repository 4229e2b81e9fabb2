#include "employee/photobox.h"

#include "photo/dibblock.h"
#include "photo/photofile.h"
#include "photo/picturetransfer.h"
#include "base/commandids.h"
#include "base/localefilemodel.h"
#include "base/modalseam.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QUrl>
#include <memory>

namespace {
struct SMenuItem {
    int nId;
    const char16_t *text;
    void (CPhotoBox::*handler)();
};

const SMenuItem kMenu131[] = {
    {ID_EDIT_CUT, u"切り取り(&T)", &CPhotoBox::OnEditCut},
    {ID_EDIT_COPY, u"ｺﾋﾟｰ(&C)", &CPhotoBox::OnEditCopy},
    {ID_EDIT_PASTE, u"貼り付け(&P)", &CPhotoBox::OnEditPaste},
};

constexpr int kKeyboardMenuInset = 5;

void Refuse(CPictureTransfer::EResult result, QWidget *parent)
{
    if (const QString text = CPictureTransfer::Message(result); !text.isEmpty())
        MorvekMessageBox(text, QMessageBox::Ok, QMessageBox::Warning, QString(), parent);
}
} // namespace

CPhotoBox::CPhotoBox(QWidget *parent)
    : QWidget(parent)
{
    setAcceptDrops(true);
    setFocusPolicy(Qt::NoFocus);
}

void CPhotoBox::CreateOverControl(QWidget *placeholder)
{
    setParent(placeholder->parentWidget());
    setGeometry(placeholder->geometry());
    raise();
    show();
}

void CPhotoBox::SetPicture(const QByteArray &picture)
{
    m_picture = DuplicateMemoryBlock(picture);
    MakeDibPalette(m_picture, m_palette);
    update();
}

void CPhotoBox::ClearPicture()
{
    m_picture.clear();
    m_palette.clear();
    update();
}

void CPhotoBox::TakePicture(const QByteArray &picture)
{
    SetPicture(picture);
    emit pictureChanged();
}

void CPhotoBox::OnEditCopy()
{
    // A zero-byte picture is no picture: the clipboard keeps what it has.
    if (m_picture.isEmpty())
        return;
    QGuiApplication::clipboard()->setMimeData(CPictureTransfer::MakeMimeData(m_picture));
    update();
}

void CPhotoBox::OnEditCut()
{
    if (m_picture.isEmpty())
        return;
    OnEditCopy();
    ClearPicture();
    emit pictureChanged();
}

void CPhotoBox::OnEditPaste()
{
    const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
    if (!mime)
        return;
    QByteArray picture;
    const auto result = CPictureTransfer::FromMimeData(*mime, picture);
    if (result == CPictureTransfer::EResult::taken)
        TakePicture(picture);
    else
        Refuse(result, this);
}

void CPhotoBox::OnFromFile()
{
    QFileDialog dialog(this, QStringLiteral("写真のファイル"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    CLocaleFileModel::Apply(dialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("画像 (*.jpg *.jpeg *.png *.bmp)"));
    if (CModalSeam::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    QByteArray picture;
    const CPhotoFile::EResult result = CPhotoFile::Read(path, size(), picture);
    if (result == CPhotoFile::EResult::taken)
        TakePicture(picture);
    else
        MorvekMessageBox(CPhotoFile::Message(result, QFileInfo(path).fileName()), QMessageBox::Ok, QMessageBox::Warning,
                         QString(), this);
}

QMenu *CPhotoBox::CreateContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    for (const SMenuItem &item : kMenu131) {
        QAction *action = menu->addAction(QString::fromUtf16(item.text));
        action->setData(item.nId);
        connect(action, &QAction::triggered, this, item.handler);
    }
    menu->addSeparator();
    QAction *fromFile = menu->addAction(QStringLiteral("ファイルから..."));
    fromFile->setData(ID_PHOTO_FROM_FILE);
    connect(fromFile, &QAction::triggered, this, &CPhotoBox::OnFromFile);
    return menu;
}

QPoint CPhotoBox::ContextMenuPoint(const QPoint &eventPos, bool fromKeyboard) const
{
    return fromKeyboard ? mapToGlobal(QPoint(kKeyboardMenuInset, kKeyboardMenuInset)) : eventPos;
}

void CPhotoBox::contextMenuEvent(QContextMenuEvent *event)
{
    std::unique_ptr<QMenu> menu(CreateContextMenu(this));
    menu->exec(ContextMenuPoint(event->globalPos(), event->reason() == QContextMenuEvent::Keyboard));
}

QPoint CPhotoBox::PictureOrigin(const QSize &box, const QSize &picture)
{
    return {picture.width() < box.width() ? (box.width() - picture.width()) / 2 : 0,
            picture.height() < box.height() ? (box.height() - picture.height()) / 2 : 0};
}

void CPhotoBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.drawRect(frame);
    // Top-down rows carry a negative height; a block that cannot be drawn has no size.
    if (const QSize size = GetDibSize(m_picture); !size.isEmpty()) {
        const QPoint origin = PictureOrigin(this->size(), size);
        DrawDib(painter, QRect(origin, size), m_picture, QRect(QPoint(), size), &m_palette);
        painter.drawRect(frame);
    }
}

void CPhotoBox::dragEnterEvent(QDragEnterEvent *event)
{
    if (CPictureTransfer::CanTake(*event->mimeData()))
        event->acceptProposedAction();
}

void CPhotoBox::dropEvent(QDropEvent *event)
{
    const QMimeData *mime = event->mimeData();
    QByteArray picture;
    auto result = CPictureTransfer::EResult::nothing;
    if (const QList<QUrl> urls = mime->urls(); !urls.isEmpty() && urls.first().isLocalFile())
        result = CPictureTransfer::FromFile(urls.first().toLocalFile(), picture);
    else
        result = CPictureTransfer::FromMimeData(*mime, picture);
    event->acceptProposedAction();
    if (result == CPictureTransfer::EResult::taken)
        TakePicture(picture);
    else
        Refuse(result, this);
}
