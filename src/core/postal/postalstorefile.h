#pragma once

#include "postal/postalentry.h"

#include <QByteArrayView>
#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QString>
#include <vector>

// The postal data as the program keeps it: UTF-8 text, a line that names the data, then
// one line per code and town sorted by code ("1000001<TAB>東京都<TAB>千代田区<TAB>千代田").
// The file is mapped, not read: a code is found by a binary search over its lines.
class CPostalStoreFile final
{
public:
    struct SHeader {
        QDate dataDate;   // the source file's modification date
        QDateTime loaded; // when it was read in
        qsizetype count = 0;
        QString source; // the file's name
    };

    // Codes and addresses an address was matched to; prefix: each address is the
    // start of what was typed, else what was typed starts each address.
    struct SMatches {
        QList<SPostalEntry> entries;
        bool prefix = false;
        qsizetype more = 0; // past the limit
    };

    CPostalStoreFile() = default;
    CPostalStoreFile(const CPostalStoreFile &) = delete;
    CPostalStoreFile &operator=(const CPostalStoreFile &) = delete;

    // Under a temporary name, renamed once complete. entries: sorted by code.
    static bool Write(const QString &path, const std::vector<SPostalEntry> &entries, const SHeader &header, QString &error);

    // False with a message for a file that is missing or not one of ours.
    bool Open(const QString &path, QString &error);
    const SHeader &Header() const { return m_header; }
    QList<SPostalEntry> Find(const QString &code) const;
    SMatches FindByAddress(const QString &address, qsizetype limit) const;

private:
    // The first line at or after from whose code is not below code.
    qsizetype LowerBound(QByteArrayView code) const;
    qsizetype LineStart(qsizetype at, qsizetype floor) const;
    qsizetype LineEnd(qsizetype at) const;
    static SPostalEntry Entry(QByteArrayView line);
    bool ReadHeader(QByteArrayView line);

    QFile m_file;
    QByteArrayView m_data;
    qsizetype m_body = 0;
    SHeader m_header;
};
