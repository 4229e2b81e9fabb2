#include "base/modalseam.h"

#include <QApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QWidget>

namespace {
CModalSeam::Responder &CurrentResponder()
{
    static CModalSeam::Responder responder;
    return responder;
}
} // namespace

int CModalSeam::Exec(QDialog &dialog)
{
    if (auto &responder = CurrentResponder())
        return responder(dialog);
    // Headless with nobody to answer: refuse rather than wait forever.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        qWarning("Unanswered dialog: %s", qPrintable(dialog.windowTitle()));
        return QDialog::Rejected;
    }
    return dialog.exec();
}

void CModalSeam::SetResponder(Responder responder)
{
    CurrentResponder() = std::move(responder);
}

QMessageBox::StandardButton MorvekMessageBox(const QString &text, QMessageBox::StandardButtons buttons,
                                             QMessageBox::Icon icon, const QString &caption, QWidget *parent,
                                             QMessageBox::StandardButton defaultButton)
{
    if (!parent)
        parent = QApplication::activeWindow();
    QMessageBox box(icon, caption.isEmpty() ? QStringLiteral("Morvek") : caption, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(CModalSeam::Exec(box));
}
