#include "document/morvekdoc.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {
struct SDefaultField {
    qint16 kind;
    qint32 field;
    qint32 left, top, right, bottom;
    quint32 format;
};

// Every text field beside the photo or above it. The photo's box is 24 x 32 mm at
// (4 mm, 12 mm): a photo field keeps its box's width as its height and its
// height as its width.
constexpr SDefaultField kDefaultFields[] = {
    {CCardField::kindText, 0, 40, 40, 860, 100, CCardField::formatSingleLine},
    {CCardField::kindText, 1, 310, 120, 860, 230, CCardField::formatWordBreak},
    {CCardField::kindText, 2, 310, 240, 860, 320, CCardField::formatSingleLine},
    {CCardField::kindText, 3, 310, 340, 860, 375, CCardField::formatSingleLine},
    {CCardField::kindText, 4, 310, 375, 860, 410, CCardField::formatSingleLine},
    {CCardField::kindText, 5, 310, 410, 860, 445, CCardField::formatSingleLine},
    {CCardField::kindText, 6, 310, 455, 860, 490, CCardField::formatSingleLine},
    {CCardField::kindText, 7, 310, 490, 860, 525, CCardField::formatSingleLine},
    {CCardField::kindPhoto, CCardField::kPhotoField, 40, 120, 360, 360, CCardField::formatSingleLine},
};
constexpr quint32 kBlack = 0x000000;
constexpr quint32 kWhite = 0xffffff;

void PrepareStream(QDataStream &ar)
{
    ar.setByteOrder(QDataStream::LittleEndian);
}
} // namespace

CMorvekDoc::CMorvekDoc()
{
    // Each new field goes to the front, so the list ends up in reverse creation order.
    for (const SDefaultField &d : kDefaultFields) {
        CCardField field;
        field.m_nKind = d.kind;
        field.m_nField = d.field;
        field.m_nLeft = d.left;
        field.m_nTop = d.top;
        field.m_nRight = d.right;
        field.m_nBottom = d.bottom;
        field.m_nFormat = d.format;
        field.m_crText = kBlack;
        field.m_crBack = kWhite;
        m_fields.prepend(field);
    }
    SetTitle({});
}

void CMorvekDoc::Store(QIODevice &file) const
{
    QDataStream ar(&file);
    PrepareStream(ar);
    ar << m_nLayoutVersion << qint32(m_fields.size()) << m_nCellWidth << m_nCellHeight;
    for (const CCardField &field : m_fields)
        field.Store(ar);
}

QString CMorvekDoc::CheckLayout(qint32 version, qint32 cellWidth, qint32 cellHeight, const QList<CCardField> &fields)
{
    if (version != kLayoutVersion)
        return QStringLiteral("版 %1 の配置は読めません（読めるのは版 %2 です）。").arg(version).arg(kLayoutVersion);
    if (cellWidth < 1 || cellWidth > kMaxCellSize || cellHeight < 1 || cellHeight > kMaxCellSize)
        return QStringLiteral("名刺の大きさ %1 x %2 が正しくありません。").arg(cellWidth).arg(cellHeight);
    if (fields.size() > kMaxFields)
        return QStringLiteral("項目が %1 個あり、多すぎます。").arg(fields.size());
    // A field may run into the next card, as older layouts' text columns did,
    // but no further.
    const qint32 maxRight = 2 * cellWidth;
    const qint32 maxBottom = 2 * cellHeight;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const CCardField &f = fields.at(i);
        if (f.m_nKind != CCardField::kindText && f.m_nKind != CCardField::kindPhoto)
            return QStringLiteral("%1 番目の項目の種類 %2 が正しくありません。").arg(i + 1).arg(f.m_nKind);
        const bool inside = f.m_nLeft >= 0 && f.m_nTop >= 0 && f.m_nLeft <= f.m_nRight && f.m_nTop <= f.m_nBottom
                         && f.m_nRight <= maxRight && f.m_nBottom <= maxBottom;
        if (!inside) {
            return QStringLiteral("%1 番目の項目の位置 (%2, %3)-(%4, %5) が名刺の枠を外れています。")
                .arg(i + 1)
                .arg(f.m_nLeft)
                .arg(f.m_nTop)
                .arg(f.m_nRight)
                .arg(f.m_nBottom);
        }
    }
    return {};
}

CMorvekDoc::EOpenResult CMorvekDoc::Load(QIODevice &file, QString *pProblem)
{
    const auto refuse = [pProblem](const QString &problem) {
        if (pProblem)
            *pProblem = problem;
        return EOpenResult::badFormat;
    };
    const qint64 available = file.isSequential() ? file.bytesAvailable() : file.size() - file.pos();
    if (available < kHeadSize)
        return refuse(QStringLiteral("ファイルが短すぎます（%1 バイト）。").arg(available));

    QDataStream ar(&file);
    PrepareStream(ar);
    qint32 version = 0, count = 0, width = 0, height = 0;
    ar >> version >> count >> width >> height;
    // The count is checked against the file before anything is made from it.
    if (count < 0 || count > kMaxFields || qint64(count) * CCardField::kRecordSize > available - kHeadSize)
        return refuse(QStringLiteral("項目の数 %1 がファイルの長さと合いません。").arg(count));

    QList<CCardField> fields;
    for (qint32 i = 0; i < count; ++i) {
        CCardField field;
        field.Load(ar);
        fields.prepend(field);
    }
    if (ar.status() != QDataStream::Ok)
        return refuse(QStringLiteral("ファイルを最後まで読めません。"));
    const QString problem = CheckLayout(version, width, height, fields);
    if (!problem.isEmpty())
        return refuse(problem);

    m_nLayoutVersion = version;
    m_nCellWidth = width;
    m_nCellHeight = height;
    m_fields = std::move(fields);
    return EOpenResult::ok;
}

CMorvekDoc::EOpenResult CMorvekDoc::OnOpenDocument(const QString &path, QString *pProblem)
{
    QFile file(path);
    if (!file.exists())
        return EOpenResult::notFound;
    if (!file.open(QIODevice::ReadOnly)) {
        if (pProblem) {
            *pProblem = QFileInfo(path).isDir() ? QStringLiteral("この名前はフォルダで、ファイルではありません。")
                                                : QStringLiteral("読み取りが許可されていません。");
            *pProblem += QLatin1Char('\n') + file.errorString();
        }
        return EOpenResult::unreadable;
    }
    const EOpenResult result = Load(file, pProblem);
    if (result == EOpenResult::ok) {
        m_strPathName = QFileInfo(file).absoluteFilePath();
        SetTitle(m_strPathName);
    }
    return result;
}

bool CMorvekDoc::OnSaveDocument(const QString &path, QString *pProblem) const
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        Store(file);
        if (file.commit())
            return true;
    }
    if (pProblem) {
        switch (file.error()) {
        case QFileDevice::OpenError:
        case QFileDevice::PermissionsError:
            *pProblem = QStringLiteral("フォルダに書き込めません（書き込みが許可されていません）。");
            break;
        case QFileDevice::ResourceError:
            *pProblem = QStringLiteral("ディスクがいっぱいで書き込めません。");
            break;
        default:
            *pProblem = QStringLiteral("書き込みに失敗しました。");
            break;
        }
        *pProblem += QLatin1Char('\n') + file.errorString();
    }
    return false;
}

void CMorvekDoc::SetTitle(const QString &)
{
    m_strTitle = QStringLiteral("会社構成");
}
