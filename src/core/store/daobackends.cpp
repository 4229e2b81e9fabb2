#include "store/daobackends.h"

#include "store/postgresbackend.h"
#include "store/sqlitebackend.h"

const CDaoBackend &CDaoBackends::For(const QString &name)
{
    static const CSqliteBackend file;
    const CDaoBackend &server = Server();
    if (server.Claims(name))
        return server;
    return file;
}

const CDaoBackend &CDaoBackends::Server()
{
    static const CPostgresBackend server;
    return server;
}
