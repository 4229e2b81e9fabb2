#include "postal/postaldirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <new>

CPostalDirectory::CPostalDirectory(const QString &path)
    : m_path(path)
{
}

CPostalDirectory::~CPostalDirectory() = default;

CPostalDirectory &CPostalDirectory::Shared()
{
    static CPostalDirectory directory;
    return directory;
}

QString CPostalDirectory::DefaultPath()
{
    const QSettings settings(QStringLiteral("Kelbrotane soft"), QStringLiteral("Morvek"));
    return QFileInfo(settings.fileName()).absolutePath() + QStringLiteral("/MorvekPostal.dat");
}

QString CPostalDirectory::Path() const
{
    return m_path.isEmpty() ? DefaultPath() : m_path;
}

QString CPostalDirectory::NoDataText()
{
    return QStringLiteral("郵便番号データがないため、住所は補いません。"
                          "ﾌｧｲﾙ → 郵便番号データの読み込み... で日本郵便の KEN_ALL.CSV を読み込んでください。");
}

bool CPostalDirectory::Load(const QString &source, QString &error, const CPostalFileReader::Progress &progress)
{
    std::vector<SPostalEntry> entries;
    try {
        if (!CPostalFileReader(progress).Read(source, entries, error))
            return false;
    } catch (const std::bad_alloc &) {
        error = QStringLiteral("%1 を読むにはメモリが足りません。").arg(QDir::toNativeSeparators(source));
        return false;
    }
    const QFileInfo info(source);
    const CPostalStoreFile::SHeader header{info.lastModified().date(), QDateTime::currentDateTime(),
                                           qsizetype(entries.size()), info.fileName()};
    if (!CPostalStoreFile::Write(Path(), entries, header, error))
        return false;
    m_file.reset();
    return true;
}

const CPostalStoreFile *CPostalDirectory::Current() const
{
    const QString path = Path();
    const QFileInfo info(path);
    if (!info.isFile()) {
        m_file.reset();
        return nullptr;
    }
    if (m_file && path == m_openPath && info.lastModified() == m_openTime && info.size() == m_openSize)
        return m_file.get();
    auto file = std::make_unique<CPostalStoreFile>();
    QString error;
    m_file.reset();
    if (!file->Open(path, error))
        return nullptr;
    m_file = std::move(file);
    m_openPath = path;
    m_openTime = info.lastModified();
    m_openSize = info.size();
    return m_file.get();
}

bool CPostalDirectory::IsLoaded() const
{
    return Current() != nullptr;
}

CPostalStoreFile::SHeader CPostalDirectory::Header() const
{
    const CPostalStoreFile *file = Current();
    return file ? file->Header() : CPostalStoreFile::SHeader();
}

QString CPostalDirectory::Description() const
{
    const CPostalStoreFile *file = Current();
    if (!file)
        return {};
    const CPostalStoreFile::SHeader &header = file->Header();
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    return QStringLiteral("%1 付けの郵便番号データ（%2、%3 件）")
        .arg(header.dataDate.toString(QStringLiteral("yyyy年M月d日")), header.source, japanese.toString(header.count));
}

QList<SPostalEntry> CPostalDirectory::Find(const QString &code) const
{
    const CPostalStoreFile *file = Current();
    return file ? file->Find(code) : QList<SPostalEntry>();
}

CPostalStoreFile::SMatches CPostalDirectory::FindByAddress(const QString &address, qsizetype limit) const
{
    const CPostalStoreFile *file = Current();
    return file ? file->FindByAddress(address, limit) : CPostalStoreFile::SMatches();
}
