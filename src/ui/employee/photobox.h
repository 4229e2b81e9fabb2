#pragma once

#include <QByteArray>
#include <QList>
#include <QRgb>
#include <QWidget>

class QMenu;

// The face photo of the employee forms: white with a black frame, the picture
// centred at its natural size, never scaled. Its context menu cuts, copies and
// pastes through the clipboard, and reads a picture file; a picture file dropped
// on it is pasted too. It
// writes nothing itself: its form stores GetPicture when the user saves.
class CPhotoBox final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CPhotoBox)

public:
    explicit CPhotoBox(QWidget *parent = nullptr);

    // Takes the place and size of the form's bordered placeholder, which stays beneath.
    void CreateOverControl(QWidget *placeholder);

    void SetPicture(const QByteArray &picture);
    QByteArray GetPicture() const { return m_picture; }
    void ClearPicture();

    void OnEditCut();
    void OnEditCopy();
    void OnEditPaste();
    // A picture file, scaled to fit the box as the bulk import scales it.
    void OnFromFile();

    // Menu 131: cut, copy, paste, always enabled; then a picture from a file.
    QMenu *CreateContextMenu(QWidget *parent);
    // Where the menu opens: the mouse, or 5 pixels inside the box from the keyboard.
    QPoint ContextMenuPoint(const QPoint &eventPos, bool fromKeyboard) const;
    // Top-left of the picture in the box: centred where it is smaller (the odd
    // pixel to the right and bottom), at the edge where it is larger.
    static QPoint PictureOrigin(const QSize &box, const QSize &picture);

signals:
    // The user cut, pasted or dropped a picture.
    void pictureChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void TakePicture(const QByteArray &picture);

    QByteArray m_picture;
    QList<QRgb> m_palette;
};
