#include "postal/postalfilereader.h"

#include "postal/postaltownname.h"
#include "sheet/workbookarchive.h"
#include "text/csvcodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace {
constexpr int kFieldCount = 15;
constexpr qsizetype kProgressStep = 4096;

QString NotOurs(const QString &shown)
{
    return QStringLiteral("%1 は日本郵便の郵便番号データ（KEN_ALL.CSV）ではありません。").arg(shown);
}

bool AllDigits(QStringView text, qsizetype count)
{
    return text.size() == count && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// One field of a CSV line from at: quoted or not; at is left past its comma.
bool NextField(QStringView line, qsizetype &at, QString &field)
{
    field.clear();
    if (at < line.size() && line[at] == u'"') {
        for (++at;;) {
            const qsizetype quote = line.indexOf(u'"', at);
            if (quote < 0)
                return false;
            field += line.mid(at, quote - at);
            at = quote + 1;
            if (at < line.size() && line[at] == u'"') {
                field += u'"';
                ++at;
                continue;
            }
            break;
        }
    } else {
        const qsizetype end = line.indexOf(u',', at);
        const qsizetype stop = end < 0 ? line.size() : end;
        field = line.mid(at, stop - at).toString();
        at = stop;
    }
    if (at < line.size() && line[at] != u',')
        return false;
    ++at;
    return true;
}
} // namespace

CPostalFileReader::CPostalFileReader(Progress progress)
    : m_progress(std::move(progress))
{
}

bool CPostalFileReader::Read(const QString &path, std::vector<SPostalEntry> &entries, QString &error)
{
    const QString shown = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.isFile()) {
        error = QStringLiteral("ファイル %1 が見つかりません。").arg(shown);
        return false;
    }
    if (info.size() > MaxBytes) {
        error = QStringLiteral("%1 は大きすぎます（郵便番号データは %2 MB まで）。").arg(shown).arg(MaxBytes >> 20);
        return false;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1 を読めません: %2").arg(shown, file.errorString());
        return false;
    }
    QByteArray bytes = file.read(MaxBytes + 1);
    file.close();
    if (bytes.startsWith("PK\x03\x04") && !Unpack(path, bytes, error))
        return false;
    return ReadBytes(bytes, shown, entries, error);
}

bool CPostalFileReader::Unpack(const QString &path, QByteArray &bytes, QString &error)
{
    const QString shown = QDir::toNativeSeparators(path);
    CWorkbookArchive archive(MaxBytes);
    if (!archive.Open(path, error)) {
        error = QStringLiteral("%1 は zip ファイルとして読めません（壊れています）。").arg(shown);
        return false;
    }
    const QStringList parts = archive.Parts();
    const auto csv = std::find_if(parts.begin(), parts.end(), [](const QString &part) {
        return part.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive);
    });
    if (csv == parts.end()) {
        error = QStringLiteral("zip ファイル %1 に郵便番号データ（KEN_ALL.CSV）がありません。").arg(shown);
        return false;
    }
    return archive.Read(*csv, bytes, error, MaxBytes);
}

bool CPostalFileReader::ReadBytes(const QByteArray &bytes, const QString &shown, std::vector<SPostalEntry> &entries,
                                  QString &error)
{
    entries.clear();
    if (bytes.size() > MaxBytes) {
        error = QStringLiteral("%1 は大きすぎます（郵便番号データは %2 MB まで）。").arg(shown).arg(MaxBytes >> 20);
        return false;
    }
    QString text;
    if (!Decode(bytes, shown, text, error) || !Parse(text, shown, entries, error)) {
        entries.clear();
        return false;
    }
    SortAndMerge(entries);
    return true;
}

bool CPostalFileReader::Decode(const QByteArray &bytes, const QString &shown, QString &text, QString &error)
{
    if (bytes.contains('\0')) {
        error = NotOurs(shown);
        return false;
    }
    QByteArray utf8;
    ECsvEncoding found = ECsvEncoding::Utf8Bom;
    QString why;
    if (!CCsvCodec::DecodeToUtf8(bytes, utf8, found, why)) {
        error = QStringLiteral("%1 の文字コードは Shift_JIS でも UTF-8 でもありません。").arg(shown);
        return false;
    }
    text = QString::fromUtf8(utf8);
    return true;
}

bool CPostalFileReader::ParseLine(QStringView line, SLine &parsed)
{
    qsizetype at = 0;
    QString field;
    for (int i = 0; i < kFieldCount; ++i) {
        if (at > line.size() || !NextField(line, at, field))
            return false;
        switch (i) {
        case 0:
            if (!AllDigits(field, 5))
                return false;
            break;
        case 2:
            if (!AllDigits(field, 7))
                return false;
            parsed.code = field;
            break;
        case 6:
            parsed.prefecture = field;
            break;
        case 7:
            parsed.city = field;
            break;
        case 8:
            parsed.town = field;
            break;
        default:
            break;
        }
    }
    return at > line.size() && !parsed.prefecture.isEmpty();
}

bool CPostalFileReader::Parse(const QString &text, const QString &shown, std::vector<SPostalEntry> &entries,
                              QString &error) const
{
    const qsizetype total = text.count(u'\n') + 1;
    entries.reserve(size_t(total));
    SPostalEntry pending;
    QString pendingTown;
    bool open = false;
    const auto flush = [&] {
        if (pending.code.isEmpty())
            return;
        pending.town = CPostalTownName::Clean(pendingTown);
        entries.push_back(std::move(pending));
        pending = {};
    };
    qsizetype number = 0;
    SLine line;
    for (QStringView rest = text; !rest.isEmpty();) {
        const qsizetype end = rest.indexOf(u'\n');
        QStringView one = end < 0 ? rest : rest.left(end);
        rest = end < 0 ? QStringView() : rest.mid(end + 1);
        ++number;
        if (one.endsWith(u'\r'))
            one.chop(1);
        if (one.trimmed().isEmpty())
            continue;
        if (!ParseLine(one, line)) {
            error = NotOurs(shown) + QStringLiteral("\n%1 行目が読めません。").arg(number);
            return false;
        }
        if (m_progress && number % kProgressStep == 0)
            m_progress(number, total);
        // The rest of a town too long for one line.
        if (open && line.code == pending.code) {
            pendingTown += line.town;
            open = CPostalTownName::IsOpen(pendingTown);
            continue;
        }
        flush();
        pending = {line.code, line.prefecture, line.city, {}};
        pendingTown = line.town;
        open = CPostalTownName::IsOpen(pendingTown);
    }
    flush();
    if (entries.empty()) {
        error = QStringLiteral("%1 に郵便番号がありません。").arg(shown);
        return false;
    }
    return true;
}

void CPostalFileReader::SortAndMerge(std::vector<SPostalEntry> &entries)
{
    std::stable_sort(entries.begin(), entries.end(),
                     [](const SPostalEntry &a, const SPostalEntry &b) { return a.code < b.code; });
    // Notes gone, two lines of one code may name the same town.
    std::vector<SPostalEntry> merged;
    merged.reserve(entries.size());
    size_t runStart = 0;
    for (SPostalEntry &entry : entries) {
        if (!merged.empty() && merged.back().code != entry.code)
            runStart = merged.size();
        const auto same = std::find(merged.begin() + qsizetype(runStart), merged.end(), entry);
        if (same == merged.end())
            merged.push_back(std::move(entry));
    }
    entries = std::move(merged);
}
