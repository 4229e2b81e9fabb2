#include "shell/startupcheck.h"

#include "backup/integritycheck.h"
#include "base/frameservices.h"
#include "store/daoexception.h"
#include "store/databasecheck.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTimer>

namespace {
QString Absolute(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

// Owned by the caller for as long as the wait lasts.
class CWaitShown final
{
public:
    CWaitShown()
    {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        if (CFrameServices *frame = CFrameServices::Instance()) {
            m_strBefore = frame->GetStatusText();
            frame->SetStatusText(CStartupCheck::WaitingNote());
            frame->SetBusyAnimation(true);
        }
    }
    ~CWaitShown()
    {
        if (CFrameServices *frame = CFrameServices::Instance()) {
            frame->SetBusyAnimation(false);
            frame->SetStatusText(m_strBefore);
        }
        QGuiApplication::restoreOverrideCursor();
    }
    CWaitShown(const CWaitShown &) = delete;
    CWaitShown &operator=(const CWaitShown &) = delete;

private:
    QString m_strBefore;
};
} // namespace

CStartupCheck::CStartupCheck(Offer offer, QObject *parent)
    : QObject(parent)
    , m_pCheck(new CIntegrityCheck(this))
    , m_offer(std::move(offer))
{
    connect(m_pCheck, &CIntegrityCheck::finished, this, &CStartupCheck::OnFinished);
}

CStartupCheck::~CStartupCheck()
{
    m_pCheck->Cancel();
}

void CStartupCheck::Start(const QString &path)
{
    Forget();
    m_pCheck->Start(Absolute(path));
}

bool CStartupCheck::IsRunning() const
{
    return m_pCheck->State() == CIntegrityCheck::EState::running;
}

bool CStartupCheck::Concerns(const QString &path) const
{
    return !path.isEmpty() && Absolute(path) == m_pCheck->Path();
}

void CStartupCheck::Forget()
{
    m_pCheck->Cancel();
    m_strDamagedPath.clear();
    m_strDamage.clear();
    m_bOfferPending = false;
}

void CStartupCheck::BeforeWrite(const QString &path)
{
    if (IsRunning() && Concerns(path)) {
        CWaitShown shown;
        m_bWaiting = true;
        m_pCheck->Wait();
        m_bWaiting = false;
    }
    if (!m_strDamagedPath.isEmpty() && Absolute(path) == m_strDamagedPath) {
        throw CDaoException(QStringLiteral("データベースファイル「%1」は壊れているため、書き込みません。\n%2")
                                .arg(CDatabaseCheck::Shown(path), m_strDamage))
            .WithProblem(EDatabaseProblem::damaged);
    }
}

void CStartupCheck::OnFinished(const QString &path, const QString &damage)
{
    if (damage.isEmpty())
        return;
    m_strDamagedPath = path;
    m_strDamage = damage;
    m_bOfferPending = true;
    QTimer::singleShot(0, this, &CStartupCheck::OfferWhenNoDialog);
}

// Restoring replaces the file under the windows: never from inside a form.
void CStartupCheck::OfferWhenNoDialog()
{
    if (!m_bOfferPending)
        return;
    if (m_bWaiting || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        QTimer::singleShot(200, this, &CStartupCheck::OfferWhenNoDialog);
        return;
    }
    m_bOfferPending = false;
    m_offer(m_strDamagedPath, m_strDamage);
}
