#include "postal/postalstorefile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>
#include <string_view>

namespace {
const QByteArray kMagic = QByteArrayLiteral("MORVEK-POSTAL\t1\t");
// Far beyond the national file's 8 MB: larger is no file of ours.
constexpr qint64 kMaxSize = qint64(256) << 20;

QByteArrayView Field(QByteArrayView line, int index)
{
    qsizetype from = 0;
    for (int i = 0; i < index; ++i) {
        const qsizetype tab = line.indexOf('\t', from);
        if (tab < 0)
            return {};
        from = tab + 1;
    }
    const qsizetype tab = line.indexOf('\t', from);
    return line.sliced(from, tab < 0 ? line.size() - from : tab - from);
}

enum class ERelation { None, AddressFirst, TypedFirst };

// Whether the address the pieces make up starts what was typed, or the other way round.
ERelation Relation(QByteArrayView typed, const QByteArrayView (&pieces)[3])
{
    qsizetype at = 0;
    for (const QByteArrayView piece : pieces) {
        const qsizetype n = std::min(piece.size(), typed.size() - at);
        if (std::memcmp(piece.data(), typed.data() + at, size_t(n)) != 0)
            return ERelation::None;
        if (n < piece.size())
            return ERelation::TypedFirst;
        at += n;
    }
    return ERelation::AddressFirst;
}
} // namespace

bool CPostalStoreFile::Write(const QString &path, const std::vector<SPostalEntry> &entries, const SHeader &header,
                             QString &error)
{
    const QString shown = QDir::toNativeSeparators(path);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        error = QStringLiteral("%1 を書けません: %2").arg(shown, file.errorString());
        return false;
    }
    QByteArray text = kMagic;
    text += header.dataDate.toString(Qt::ISODate).toUtf8() + '\t' + header.loaded.toString(Qt::ISODate).toUtf8() + '\t'
          + QByteArray::number(qsizetype(entries.size())) + '\t' + header.source.toUtf8() + '\n';
    text.reserve(qsizetype(entries.size()) * 48);
    for (const SPostalEntry &entry : entries)
        text += entry.code.toUtf8() + '\t' + entry.prefecture.toUtf8() + '\t' + entry.city.toUtf8() + '\t'
              + entry.town.toUtf8() + '\n';
    if (file.write(text) != text.size() || !file.commit()) {
        error = QStringLiteral("%1 を書けません: %2").arg(shown, file.errorString());
        return false;
    }
    return true;
}

bool CPostalStoreFile::ReadHeader(QByteArrayView line)
{
    if (!line.startsWith(kMagic))
        return false;
    m_header.dataDate = QDate::fromString(QString::fromUtf8(Field(line, 2)), Qt::ISODate);
    m_header.loaded = QDateTime::fromString(QString::fromUtf8(Field(line, 3)), Qt::ISODate);
    bool ok = false;
    m_header.count = QString::fromUtf8(Field(line, 4)).toLongLong(&ok);
    m_header.source = QString::fromUtf8(Field(line, 5));
    return ok && m_header.dataDate.isValid();
}

bool CPostalStoreFile::Open(const QString &path, QString &error)
{
    const QString shown = QDir::toNativeSeparators(path);
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 を開けません: %2").arg(shown, m_file.errorString());
        return false;
    }
    const qint64 size = m_file.size();
    const uchar *data = size > 0 && size <= kMaxSize ? m_file.map(0, size) : nullptr;
    m_data = data ? QByteArrayView(data, size) : QByteArrayView();
    const qsizetype firstEnd = m_data.indexOf('\n');
    if (firstEnd < 0 || !m_data.endsWith('\n') || !ReadHeader(m_data.first(firstEnd))) {
        error = QStringLiteral("%1 は壊れています。郵便番号データを読み込み直してください。").arg(shown);
        m_data = {};
        m_file.close();
        return false;
    }
    m_body = firstEnd + 1;
    return true;
}

qsizetype CPostalStoreFile::LineStart(qsizetype at, qsizetype floor) const
{
    while (at > floor && m_data[at - 1] != '\n')
        --at;
    return at;
}

qsizetype CPostalStoreFile::LineEnd(qsizetype at) const
{
    const qsizetype end = m_data.indexOf('\n', at);
    return end < 0 ? m_data.size() : end;
}

qsizetype CPostalStoreFile::LowerBound(QByteArrayView code) const
{
    qsizetype low = m_body;
    qsizetype high = m_data.size();
    while (low < high) {
        const qsizetype start = LineStart(low + (high - low) / 2, low);
        const qsizetype end = LineEnd(start);
        const QByteArrayView head = m_data.sliced(start, std::min(end - start, code.size()));
        if (std::string_view(head.data(), size_t(head.size())) < std::string_view(code.data(), size_t(code.size())))
            low = end + 1;
        else
            high = start;
    }
    return low;
}

SPostalEntry CPostalStoreFile::Entry(QByteArrayView line)
{
    return {QString::fromUtf8(Field(line, 0)), QString::fromUtf8(Field(line, 1)), QString::fromUtf8(Field(line, 2)),
            QString::fromUtf8(Field(line, 3))};
}

QList<SPostalEntry> CPostalStoreFile::Find(const QString &code) const
{
    QList<SPostalEntry> found;
    if (m_data.isEmpty() || code.size() != 7)
        return found;
    const QByteArray key = code.toLatin1() + '\t';
    for (qsizetype at = LowerBound(key); at < m_data.size();) {
        const qsizetype end = LineEnd(at);
        const QByteArrayView line = m_data.sliced(at, end - at);
        if (!line.startsWith(key))
            break;
        found << Entry(line);
        at = end + 1;
    }
    return found;
}

CPostalStoreFile::SMatches CPostalStoreFile::FindByAddress(const QString &address, qsizetype limit) const
{
    SMatches within; // each starts what was typed, the longest only
    SMatches longer; // what was typed starts each, or is the whole of it
    const QByteArray typed = address.trimmed().toUtf8();
    if (m_data.isEmpty() || typed.isEmpty())
        return longer;
    qsizetype longest = 0;
    bool town = false;
    const auto add = [limit](SMatches &matches, const SPostalEntry &entry) {
        if (matches.entries.size() < limit)
            matches.entries << entry;
        else
            ++matches.more;
    };
    for (qsizetype at = m_body; at < m_data.size();) {
        const qsizetype end = LineEnd(at);
        const QByteArrayView line = m_data.sliced(at, end - at);
        at = end + 1;
        const QByteArrayView pieces[3] = {Field(line, 1), Field(line, 2), Field(line, 3)};
        const ERelation relation = Relation(typed, pieces);
        const qsizetype length = pieces[0].size() + pieces[1].size() + pieces[2].size();
        if (relation == ERelation::TypedFirst || (relation == ERelation::AddressFirst && length == typed.size()))
            add(longer, Entry(line));
        if (relation != ERelation::AddressFirst || length < longest)
            continue;
        if (length > longest)
            within = {};
        longest = length;
        town = !pieces[2].isEmpty();
        add(within, Entry(line));
    }
    // A city's own code gives way to its towns that start with what was typed.
    if (!within.entries.isEmpty() && (town || longer.entries.isEmpty())) {
        within.prefix = true;
        return within;
    }
    return longer;
}
