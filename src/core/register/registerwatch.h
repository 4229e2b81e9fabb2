#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

class CChangeChannel;

// Follows the register the windows show (CDaoRecordset::ApplicationDatabasePath)
// while the program is idle: hands what other programs and users wrote to
// CRegister::Changed, and when the server is lost, tells so, lets go of the broken
// connection and tries again with growing pauses until it answers; then every
// window reads again, since what changed meanwhile is not known.
class CRegisterWatch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CRegisterWatch)

public:
    static constexpr int kPollMilliseconds = 250;
    static constexpr int kFirstRetryMilliseconds = 500;
    static constexpr int kLastRetryMilliseconds = 30000;

    CRegisterWatch();
    ~CRegisterWatch() override;

private:
    void Poll();
    // Listens on the shared connection to path; throws CDaoException.
    void Attach(const QString &path);
    void Lose();
    void Retry();
    void OnArrived(const QString &payload);
    static void TellEverything();

    QTimer m_poll;
    QTimer m_retry;
    std::unique_ptr<CChangeChannel> m_pChannel;
    QString m_strPath;
    int m_nRetryMilliseconds = kFirstRetryMilliseconds;
};
