#include "testsupport.h"

#include "app/modalseam.h"
#include "store/daorecordset.h"
#include "store/schema.h"

#include <QDialog>
#include <QMessageBox>
#include <QSettings>

CTempDatabase::CTempDatabase()
    : m_path(m_dir.filePath(QStringLiteral("odata.mdb")))
{
    CSchema::CreateDatabaseFile(m_path);
    CDaoRecordset::SetApplicationDatabasePath(m_path);
}

CTempDatabase::~CTempDatabase()
{
    CDaoRecordset::SetApplicationDatabasePath(QString());
}

CDialogAnswers::CDialogAnswers(std::function<int(QDialog &)> answer)
    : m_texts(std::make_shared<QStringList>())
{
    auto texts = m_texts;
    CModalSeam::SetResponder([texts, answer](QDialog &dialog) {
        if (auto *box = qobject_cast<QMessageBox *>(&dialog))
            texts->append(box->text());
        else
            texts->append(dialog.windowTitle());
        return answer(dialog);
    });
}

CDialogAnswers::~CDialogAnswers()
{
    CModalSeam::SetResponder({});
}

void IsolateSettings(const QString &folder)
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}
