#pragma once

#include "postal/postalentry.h"
#include "postal/postalfilereader.h"
#include "postal/postalstorefile.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>

// The postal data the program keeps in a file of its own beside its settings (not in the
// register): loaded from Japan Post's file when the user asks, then looked up by code or by
// address. The kept file is opened at the first lookup, and again once it was replaced,
// by this program or another.
class CPostalDirectory final
{
public:
    // path: the kept file; empty for the one beside the settings, as they are when asked.
    explicit CPostalDirectory(const QString &path = {});
    ~CPostalDirectory();
    CPostalDirectory(const CPostalDirectory &) = delete;
    CPostalDirectory &operator=(const CPostalDirectory &) = delete;

    // The one the program's windows and commands share.
    static CPostalDirectory &Shared();
    // MorvekPostal.dat in the folder of QSettings("Kelbrotane soft", "Morvek").
    static QString DefaultPath();
    QString Path() const;

    // Reads Japan Post's file and puts it in place of the data kept; on any failure
    // the data kept stays as it was.
    bool Load(const QString &source, QString &error, const CPostalFileReader::Progress &progress = {});
    bool IsLoaded() const;
    // The kept data's date and size in words; empty without data.
    QString Description() const;
    CPostalStoreFile::SHeader Header() const;

    // The towns a code names, in the file's order; code: seven digits.
    QList<SPostalEntry> Find(const QString &code) const;
    CPostalStoreFile::SMatches FindByAddress(const QString &address, qsizetype limit = 200) const;

    // What the user is told when a lookup finds no data, and how to load it.
    static QString NoDataText();

private:
    // The kept file as it is now on disk; nullptr when there is none.
    const CPostalStoreFile *Current() const;

    QString m_path;
    mutable std::unique_ptr<CPostalStoreFile> m_file;
    mutable QString m_openPath;
    mutable QDateTime m_openTime;
    mutable qint64 m_openSize = -1;
};
