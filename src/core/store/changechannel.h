#pragma once

#include <QObject>
#include <QString>
#include <memory>

class CDaoDatabase;

// Hears, on the connection the windows share, of what other connections wrote:
// Arrived once per write they announced, with an empty payload for a write that
// came without one (another program's). The engines differ in how they hear.
class CChangeChannel : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CChangeChannel)

public:
    ~CChangeChannel() override;

    // A look cheap enough for every few hundred milliseconds of idle time; false
    // once the connection is gone. Runs nothing that could disturb a query left open.
    virtual bool Poll() = 0;
    const CDaoDatabase &Database() const { return *m_pDatabase; }

    // Tells this process's writes from other programs' where the engine itself cannot.
    static QString Origin();

signals:
    void Arrived(const QString &payload);

protected:
    explicit CChangeChannel(std::shared_ptr<CDaoDatabase> database);
    CDaoDatabase &Connection() const { return *m_pDatabase; }

private:
    std::shared_ptr<CDaoDatabase> m_pDatabase;
};
