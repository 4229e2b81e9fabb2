#include "csv/photoimport.h"

#include "photo/photofile.h"
#include "photo/photofilename.h"
#include "register/employeephotos.h"

#include <QDir>
#include <QFileInfo>

namespace {
QString Lines(const QList<CPhotoImport::SFile> &files, bool messages, int shown)
{
    QString text;
    const qsizetype count = shown < 0 ? files.size() : qMin(files.size(), qsizetype(shown));
    for (qsizetype i = 0; i < count; ++i)
        text += QStringLiteral("  %1\n").arg(messages ? files.at(i).message : files.at(i).name);
    if (count < files.size())
        text += QStringLiteral("  ほか %1 件\n").arg(files.size() - count);
    return text;
}
} // namespace

bool CPhotoImport::ReadFolder(const QString &folder, QSize box, const QHash<qint32, qint32> &idsByCode, QString &error)
{
    m_matched.clear();
    m_unmatched.clear();
    m_refused.clear();
    const QDir dir(folder);
    if (!dir.exists() || !dir.isReadable()) {
        error = QStringLiteral("フォルダ %1 を読めません。").arg(QDir::toNativeSeparators(folder));
        return false;
    }
    QHash<qint32, int> files; // files a code names: a second makes both doubtful
    QList<SFile> damaged, doubled;
    const QFileInfoList entries = dir.entryInfoList(QDir::Files, QDir::Name);
    for (const QFileInfo &entry : entries)
        if (const qint32 code = CPhotoFileName::Code(entry.fileName()); idsByCode.contains(code))
            ++files[code];
    for (const QFileInfo &entry : entries) {
        if (!CPhotoFileName::IsPicture(entry.fileName()))
            continue;
        SFile file{entry.fileName(), CPhotoFileName::Code(entry.fileName()), 0, {}, {}};
        if (!idsByCode.contains(file.code)) {
            m_unmatched << file;
            continue;
        }
        file.id = idsByCode.value(file.code);
        // A second file for the code is read too: a damaged one is named as such at once,
        // not only once the other is gone.
        const CPhotoFile::EResult result = CPhotoFile::Read(entry.filePath(), box, file.picture);
        if (result != CPhotoFile::EResult::taken) {
            file.picture.clear();
            file.message = CPhotoFile::Message(result, file.name);
            damaged << file;
        } else if (files.value(file.code) > 1) {
            file.picture.clear();
            file.message = QStringLiteral("%1: 社員コード %2 の写真が他にもあります。").arg(file.name).arg(file.code);
            doubled << file;
        } else {
            m_matched << file;
        }
    }
    // Damaged files first: a preview that shows only the first few still names them.
    m_refused = damaged + doubled;
    return true;
}

QString CPhotoImport::Text(int shown) const
{
    QString text = QStringLiteral("取り込む写真: %1 件\n").arg(m_matched.size());
    if (!m_unmatched.isEmpty())
        text += QStringLiteral("社員が見つからないファイル: %1 件（取り込みません）\n").arg(m_unmatched.size())
              + Lines(m_unmatched, false, shown);
    if (!m_refused.isEmpty())
        text += QStringLiteral("取り込めないファイル: %1 件\n").arg(m_refused.size()) + Lines(m_refused, true, shown);
    return text;
}

int CPhotoImport::Apply() const
{
    QList<CEmployeePhotos::SPhoto> photos;
    photos.reserve(m_matched.size());
    for (const SFile &file : m_matched)
        photos.append({file.id, file.picture});
    return int(CEmployeePhotos::Store(photos).size());
}
