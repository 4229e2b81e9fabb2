#include "sheet/workbookarchive.h"

#include "sheet/readbudget.h"
#include "sheet/workbookpartdevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <minizip/unzip.h>

namespace {
// Old binary workbooks (and encrypted new ones) are OLE compound files.
bool IsCompoundFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(8) == QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
}

// minizip's way of saying "any case" to unzLocateFile.
constexpr int kCaseInsensitive = 2;
} // namespace

CWorkbookArchive::CWorkbookArchive(qint64 maxPartSize)
    : m_maxPartSize(maxPartSize)
{
}

CWorkbookArchive::~CWorkbookArchive()
{
    if (m_zip)
        unzClose(m_zip);
}

bool CWorkbookArchive::Open(const QString &path, QString &error)
{
    m_shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        error = QStringLiteral("ファイル %1 が見つかりません。").arg(m_shown);
        return false;
    }
    if (IsCompoundFile(path)) {
        error = QStringLiteral("%1 は古い形式（.xls）か、パスワード付きのブックです。"
                               "パスワードを外し、Excel ブック（.xlsx）として保存し直してください。")
                    .arg(m_shown);
        return false;
    }
    m_zip = unzOpen64(QFile::encodeName(path).constData());
    if (!m_zip) {
        error = QStringLiteral("%1 は Excel ブック（.xlsx）として読めません（zip ファイルではありません）。").arg(m_shown);
        return false;
    }
    return true;
}

bool CWorkbookArchive::Contains(const QString &part) const
{
    return m_zip && unzLocateFile(m_zip, part.toUtf8().constData(), kCaseInsensitive) == UNZ_OK;
}

bool CWorkbookArchive::TooLarge(const QString &part, QByteArray &bytes, QString &error, qint64 limit) const
{
    error = QStringLiteral("%1 の %2 は大きすぎます（展開して %3 MB まで）。").arg(m_shown, part).arg(limit >> 20);
    bytes.clear();
    return false;
}

QStringList CWorkbookArchive::Parts() const
{
    QStringList parts;
    if (!m_zip)
        return parts;
    for (int rc = unzGoToFirstFile(m_zip); rc == UNZ_OK; rc = unzGoToNextFile(m_zip)) {
        char name[1024] = {};
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(m_zip, &info, name, sizeof name - 1, nullptr, 0, nullptr, 0) != UNZ_OK)
            break;
        parts << QString::fromUtf8(name);
    }
    return parts;
}

bool CWorkbookArchive::Read(const QString &part, QByteArray &bytes, QString &error, qint64 wholeLimit)
{
    bytes.clear();
    if (!Contains(part)) {
        error = QStringLiteral("%1 に %2 がありません。").arg(m_shown, part);
        return false;
    }
    // Read whole, then parsed: a limit of its own keeps both copies small.
    const qint64 limit = std::min(m_maxPartSize, wholeLimit);
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) == UNZ_OK
        && info.uncompressed_size > quint64(limit))
        return TooLarge(part, bytes, error, limit);
    if (unzOpenCurrentFile(m_zip) != UNZ_OK) {
        error = QStringLiteral("%1 の %2 を開けません（壊れています）。").arg(m_shown, part);
        return false;
    }
    // The size the file claims may be false: read at most one chunk past the limit.
    constexpr int chunk = 1 << 20;
    int got = 0;
    do {
        const qsizetype at = bytes.size();
        if (at > limit) {
            unzCloseCurrentFile(m_zip);
            return TooLarge(part, bytes, error, limit);
        }
        bytes.resize(at + chunk);
        got = unzReadCurrentFile(m_zip, bytes.data() + at, chunk);
        bytes.resize(at + std::max(got, 0));
    } while (got > 0);
    // The check of the part's CRC comes with the close.
    if (unzCloseCurrentFile(m_zip) != UNZ_OK || got < 0) {
        bytes.clear();
        error = QStringLiteral("%1 の %2 が壊れています。").arg(m_shown, part);
        return false;
    }
    return true;
}

std::unique_ptr<CWorkbookPartDevice> CWorkbookArchive::OpenPart(const QString &part, QString &error)
{
    if (!Contains(part)) {
        error = QStringLiteral("%1 に %2 がありません。").arg(m_shown, part);
        return nullptr;
    }
    unz_file_info64 info{};
    QByteArray none;
    if (unzGetCurrentFileInfo64(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) == UNZ_OK
        && info.uncompressed_size > quint64(m_maxPartSize)) {
        TooLarge(part, none, error, m_maxPartSize);
        return nullptr;
    }
    if (unzOpenCurrentFile(m_zip) != UNZ_OK) {
        error = QStringLiteral("%1 の %2 を開けません（壊れています）。").arg(m_shown, part);
        return nullptr;
    }
    return std::make_unique<CWorkbookPartDevice>(m_zip, m_maxPartSize);
}

bool CWorkbookArchive::Finished(const CWorkbookPartDevice &device, const QString &part, QString &error) const
{
    QByteArray none;
    if (device.TooLarge())
        return TooLarge(part, none, error, m_maxPartSize);
    if (device.TextTooLong()) {
        error = QStringLiteral("%1 の %2 に長すぎる文字列があります（一つのセルは %3 文字まで）。")
                    .arg(m_shown, part)
                    .arg(CReadBudget::MaxCellLength);
        return false;
    }
    if (device.Damaged()) {
        error = QStringLiteral("%1 の %2 が壊れています。").arg(m_shown, part);
        return false;
    }
    return true;
}
