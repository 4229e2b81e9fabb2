// libFuzzer target: the business-card layout file. A layout is read whole and fit to
// print, or refused with a reason and the document left as it was.
#include "document/morvekdoc.h"
#include "fuzzrequire.h"

#include <QBuffer>
#include <QByteArray>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    QBuffer file(&bytes);
    file.open(QIODevice::ReadOnly);
    CMorvekDoc doc;
    const qsizetype before = doc.m_fields.size();
    QString problem;
    if (doc.Load(file, &problem) != CMorvekDoc::EOpenResult::ok) {
        Require(!problem.isEmpty() && doc.m_fields.size() == before);
        return 0;
    }
    Require(CMorvekDoc::CheckLayout(doc.m_nLayoutVersion, doc.m_nCellWidth, doc.m_nCellHeight, doc.m_fields).isEmpty());
    QByteArray stored;
    QBuffer out(&stored);
    out.open(QIODevice::WriteOnly);
    doc.Store(out);
    out.close();
    out.open(QIODevice::ReadOnly);
    CMorvekDoc again;
    Require(again.Load(out) == CMorvekDoc::EOpenResult::ok && again.m_fields.size() == doc.m_fields.size());
    return 0;
}
