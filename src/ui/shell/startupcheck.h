#pragma once

#include <QObject>
#include <QString>
#include <functional>

class CIntegrityCheck;

// The integrity check of the register, run once the window is up instead of
// before it: reading goes on meanwhile; a write that comes first waits for the
// answer (wait cursor, busy animation, a status note), and a file found damaged
// is never written to. The offer to restore is made once no dialog is open.
class CStartupCheck final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CStartupCheck)

public:
    // offer: the same offer as a damage found before the window showed.
    using Offer = std::function<void(const QString &path, const QString &damage)>;

    explicit CStartupCheck(Offer offer, QObject *parent = nullptr);
    ~CStartupCheck() override;

    void Start(const QString &path);
    // Before a write: waits for a check of path still running; throws a CDaoException
    // (problem: damaged) when path was found damaged and not yet restored.
    void BeforeWrite(const QString &path);
    // path has been replaced or left: its finding no longer holds.
    void Forget();
    bool IsRunning() const;
    CIntegrityCheck &Check() const { return *m_pCheck; }

    static QString WaitingNote()
    {
        return QStringLiteral("データベースファイルを確認しています。しばらくお待ちください。");
    }

private:
    void OnFinished(const QString &path, const QString &damage);
    void OfferWhenNoDialog();
    bool Concerns(const QString &path) const;

    CIntegrityCheck *m_pCheck;
    Offer m_offer;
    QString m_strDamagedPath; // found damaged; written to never again
    QString m_strDamage;
    bool m_bOfferPending = false;
    bool m_bWaiting = false; // a write waits for the answer: the offer comes after it
};
