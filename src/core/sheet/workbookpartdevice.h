#pragma once

#include <QIODevice>

// One part of a workbook's zip file, unpacked as it is read: a sheet of 100,000 rows is
// never whole in memory. It ends early, as damaged or too large, at a bad checksum or
// past its limit; and at a stretch of text or a tag longer than any cell can be, which
// the XML reader would otherwise gather whole.
class CWorkbookPartDevice final : public QIODevice
{
public:
    // zip: minizip's unzFile with the part chosen and opened; closed here.
    CWorkbookPartDevice(void *zip, qint64 limit);
    ~CWorkbookPartDevice() override;

    bool isSequential() const override { return true; }
    // A reader asks whether more will come: it does until the part is unpacked.
    bool atEnd() const override;
    qint64 bytesAvailable() const override;
    bool TooLarge() const { return m_tooLarge; }
    bool Damaged() const { return m_damaged; }
    bool TextTooLong() const { return m_textTooLong; }
    // Bytes without a "<": a cell of 32,767 characters, each escaped, fits many times.
    static constexpr qint64 MaxRun = qint64(1) << 20;

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    void Finish();

    void *m_zip;
    qint64 m_limit;
    qint64 m_read = 0;
    bool m_finished = false;
    bool m_tooLarge = false;
    bool m_damaged = false;
    bool m_textTooLong = false;
    qint64 m_run = 0; // bytes since the last "<"
};
