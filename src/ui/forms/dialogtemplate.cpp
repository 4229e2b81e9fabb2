#include "forms/dialogtemplate.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QList>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {
QFont TemplateFont(QDialog *dialog)
{
    dialog->setFont(CDialogUnits::DialogFont());
    return dialog->font();
}
} // namespace

CDialogTemplate::CDialogTemplate(QDialog *dialog, int cx, int cy)
    : m_pDialog(dialog)
    , m_units(TemplateFont(dialog))
{
    // A modal frame with a title and a system menu, no resizing.
    m_pDialog->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
                              | Qt::MSWindowsFixedSizeDialogHint);
    m_pDialog->setFixedSize(m_units.ToPixels(cx, cy));
}

QLabel *CDialogTemplate::AddStatic(const QString &text, int x, int y, int cx, int cy)
{
    auto *label = new QLabel(text, m_pDialog);
    if (cx > 0 && cy > 0) {
        label->setGeometry(m_units.ToPixels(x, y, cx, cy));
    } else {
        label->move(m_units.ToPixelsX(x), m_units.ToPixelsY(y));
        label->resize(label->sizeHint());
    }
    return label;
}

QGroupBox *CDialogTemplate::AddGroupBox(const QString &title, int x, int y, int cx, int cy)
{
    auto *box = new QGroupBox(title, m_pDialog);
    box->setGeometry(m_units.ToPixels(x, y, cx, cy));
    return box;
}

QPushButton *CDialogTemplate::AddButton(const QString &text, int x, int y, int cx, int cy)
{
    auto *button = new QPushButton(text, m_pDialog);
    button->setGeometry(m_units.ToPixels(x, y, cx, cy));
    return button;
}

void CDialogTemplate::Place(QWidget *control, int x, int y, int cx, int cy)
{
    control->setParent(m_pDialog);
    control->setGeometry(m_units.ToPixels(x, y, cx, cy));
}

QString CDialogTemplate::LabelName(const QString &text)
{
    QString name = text;
    name.remove(u'&');
    while (name.endsWith(u'：') || name.endsWith(u':'))
        name.chop(1);
    return name.trimmed();
}

void CDialogTemplate::PairLabels(QWidget *dialog)
{
    const QList<QWidget *> controls = dialog->findChildren<QWidget *>();
    for (QLabel *label : dialog->findChildren<QLabel *>()) {
        const QString name = LabelName(label->text());
        if (name.isEmpty() || label->buddy())
            continue;
        for (QWidget *control : controls) {
            if (control != label && control->focusPolicy() != Qt::NoFocus && control->accessibleName() == name) {
                label->setBuddy(control);
                break;
            }
        }
    }
}

QDialogButtonBox *CDialogTemplate::OkCancel(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
