#include "store/schema.h"

#include "store/changelog.h"
#include "store/daobackend.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/foldednames.h"
#include "store/tabledefinitions.h"
#include "store/writetriggers.h"

#include <QSqlDatabase>
#include <QStringList>

void CSchema::EnsureIndexes(CDaoDatabase &db)
{
    if (db.IsReadOnly())
        return;
    if (db.Backend().LacksIndexes(db.Connection()))
        db.ExecuteAll(CTableDefinitions::IndexStatements());
}

void CSchema::CreateDatabaseFile(const QString &path)
{
    CDaoDatabase db;
    db.Create(path, QString::fromLatin1(dbLangGeneral), 0);
    const CDaoBackend &backend = db.Backend();
    // One transaction: a failure leaves nothing behind, or a server's database as empty as it was.
    try {
        db.ExecuteAll(QStringList{CTableDefinitions::Mast00Statement(), CTableDefinitions::Mast01Statement()}
                      + CTableDefinitions::IndexStatements() + CFoldedNames::CreateStatements()
                      + CChangeLog::CreateStatements() + backend.VersionStatements(CTableDefinitions::kVersion));
        try {
            CWriteTriggers::Ensure(db);
        } catch (const CDaoException &) {
            // The register works without them; each connection that opens it tries again.
        }
        db.Close();
    } catch (const CDaoException &error) {
        db.Close();
        backend.Discard(path);
        throw CDaoException(error.Lead() + QLatin1Char('\n') + backend.CreateFailureLead().arg(backend.Shown(path)),
                            error.DriverText());
    }
}
