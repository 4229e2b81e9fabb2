#include "sheet/workbookpartdevice.h"

#include <QByteArrayView>
#include <algorithm>
#include <minizip/unzip.h>

CWorkbookPartDevice::CWorkbookPartDevice(void *zip, qint64 limit)
    : m_zip(zip)
    , m_limit(limit)
{
    open(QIODevice::ReadOnly);
}

CWorkbookPartDevice::~CWorkbookPartDevice()
{
    Finish();
}

void CWorkbookPartDevice::Finish()
{
    if (m_finished)
        return;
    m_finished = true;
    // The check of the part's checksum comes with the close.
    if (unzCloseCurrentFile(m_zip) != UNZ_OK && !m_tooLarge)
        m_damaged = true;
}

bool CWorkbookPartDevice::atEnd() const
{
    return m_finished && QIODevice::bytesAvailable() == 0;
}

qint64 CWorkbookPartDevice::bytesAvailable() const
{
    return QIODevice::bytesAvailable() + (m_finished ? 0 : 1);
}

qint64 CWorkbookPartDevice::readData(char *data, qint64 maxSize)
{
    if (m_finished)
        return -1;
    // QIODevice asks for nothing at times; minizip's answer of 0 would mean the end.
    if (maxSize <= 0)
        return 0;
    const int got = unzReadCurrentFile(m_zip, data, unsigned(std::min<qint64>(maxSize, 1 << 20)));
    if (got < 0)
        m_damaged = true;
    else if ((m_read += got) > m_limit)
        m_tooLarge = true;
    if (got > 0) {
        // Pieces are at most 1 MB, so a run past the limit always reaches a piece's end or start.
        const QByteArrayView piece(data, got);
        const qsizetype first = piece.indexOf('<');
        m_textTooLong = (first < 0 ? m_run + got : m_run + first) > MaxRun;
        const qsizetype last = piece.lastIndexOf('<');
        m_run = last < 0 ? m_run + got : got - last - 1;
        m_textTooLong = m_textTooLong || m_run > MaxRun;
    }
    if (got <= 0 || m_tooLarge || m_textTooLong) {
        Finish();
        return -1;
    }
    return got;
}
