// libFuzzer target: a workbook as an import reads it. The input is the sheet's XML,
// then after a "|" the shared strings' and after another the styles', packed into a
// sound zip file with a workbook around them, so that every input reaches the XML.
#include "csv/csvcolumnmap.h"
#include "csv/xlsximportreader.h"
#include "fuzztables.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QList>
#include <minizip/zip.h>
#include <unistd.h>

namespace {
const QByteArray kWorkbook =
    "<workbook xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
    "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\"><workbookPr/><sheets>"
    "<sheet name=\"\xE7\xA4\xBE\xE5\x93\xA1\" sheetId=\"1\" r:id=\"rId1\"/></sheets></workbook>";
const QByteArray kRelations =
    "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
    "<Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet\" "
    "Target=\"worksheets/sheet1.xml\"/>"
    "<Relationship Id=\"rId2\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings\" "
    "Target=\"sharedStrings.xml\"/>"
    "<Relationship Id=\"rId3\" Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles\" "
    "Target=\"styles.xml\"/></Relationships>";

bool Pack(const QString &path, const QList<QByteArray> &parts)
{
    const char *names[] = {"xl/workbook.xml", "xl/_rels/workbook.xml.rels", "xl/worksheets/sheet1.xml",
                           "xl/sharedStrings.xml", "xl/styles.xml"};
    zipFile zip = zipOpen64(QFile::encodeName(path).constData(), APPEND_STATUS_CREATE);
    if (!zip)
        return false;
    bool ok = true;
    for (qsizetype i = 0; i < parts.size() && i < 5; ++i) {
        ok = ok
          && zipOpenNewFileInZip64(zip, names[i], nullptr, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, 1, 1) == ZIP_OK
          && zipWriteInFileInZip(zip, parts.at(i).constData(), unsigned(parts.at(i).size())) == ZIP_OK
          && zipCloseFileInZip(zip) == ZIP_OK;
    }
    return zipClose(zip, nullptr) == ZIP_OK && ok;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = QDir::tempPath() + QStringLiteral("/morvek-fuzz-%1.xlsx").arg(getpid());
    QList<QByteArray> parts{kWorkbook, kRelations};
    parts += QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)).split('|').mid(0, 3);
    QFile::remove(path);
    Require(Pack(path, parts));
    SCsvImportTable units, employees;
    QString error;
    if (CXlsxImportReader::Read(path, CCsvColumnMap(), units, employees, error))
        CheckTables(units, employees);
    else
        Require(!error.isEmpty());
    return 0;
}
