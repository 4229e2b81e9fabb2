#include "morvekdoc.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>

namespace {
struct SDefaultField {
    qint16 kind;
    qint32 field;
    qint32 left, top, right, bottom;
    quint32 format;
};

constexpr SDefaultField kDefaultFields[] = {
    {CCardField::kindText, 0, 150, 100, 950, 150, CCardField::formatSingleLine},
    {CCardField::kindText, 1, 450, 200, 950, 300, CCardField::formatWordBreak},
    {CCardField::kindText, 2, 450, 340, 950, 400, CCardField::formatSingleLine},
    {CCardField::kindText, 3, 250, 460, 600, 490, CCardField::formatSingleLine},
    {CCardField::kindText, 4, 450, 460, 950, 490, CCardField::formatSingleLine},
    {CCardField::kindText, 5, 450, 490, 950, 520, CCardField::formatSingleLine},
    {CCardField::kindText, 6, 250, 520, 650, 550, CCardField::formatSingleLine},
    {CCardField::kindText, 7, 550, 520, 950, 550, CCardField::formatSingleLine},
    {CCardField::kindPhoto, CCardField::kPhotoField, 200, 200, 850, 450, CCardField::formatSingleLine},
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

CMorvekDoc::EOpenResult CMorvekDoc::Load(QIODevice &file)
{
    const qint64 available = file.isSequential() ? file.bytesAvailable() : file.size() - file.pos();
    if (available < kHeadSize)
        return EOpenResult::badFormat;

    QDataStream ar(&file);
    PrepareStream(ar);
    qint32 version = 0, count = 0, width = 0, height = 0;
    ar >> version >> count >> width >> height;
    // The count is checked against the file before anything is made from it.
    if (count < 0 || qint64(count) * CCardField::kRecordSize > available - kHeadSize)
        return EOpenResult::badFormat;

    QList<CCardField> fields;
    for (qint32 i = 0; i < count; ++i) {
        CCardField field;
        field.Load(ar);
        fields.prepend(field);
    }
    if (ar.status() != QDataStream::Ok)
        return EOpenResult::badFormat;

    m_nLayoutVersion = version;
    m_nCellWidth = width;
    m_nCellHeight = height;
    m_fields = std::move(fields);
    return EOpenResult::ok;
}

CMorvekDoc::EOpenResult CMorvekDoc::OnOpenDocument(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return EOpenResult::notFound;
    if (!file.open(QIODevice::ReadOnly))
        return EOpenResult::unreadable;
    const EOpenResult result = Load(file);
    if (result == EOpenResult::ok) {
        m_strPathName = QFileInfo(file).absoluteFilePath();
        SetTitle(m_strPathName);
    }
    return result;
}

void CMorvekDoc::SetTitle(const QString &)
{
    m_strTitle = QStringLiteral("会社構成");
}
