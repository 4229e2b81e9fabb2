// libFuzzer target: a CSV file as an import reads it (encodings, records, headers and
// their aliases) and the checks that plan its rows. The first byte chooses the file.
#include "csv/csvcolumnmap.h"
#include "csv/csvimportreader.h"
#include "fuzztables.h"

#include <QByteArray>
#include <optional>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const bool asUnits = data[0] & 1;
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    std::optional<QByteArray> units, employees;
    (asUnits ? units : employees) = bytes;
    SCsvImportTable unitTable, employeeTable;
    QString error;
    if (CCsvImportReader::ReadTables(units, employees, CCsvColumnMap(), unitTable, employeeTable, error))
        CheckTables(unitTable, employeeTable);
    else
        Require(!error.isEmpty());
    return 0;
}
