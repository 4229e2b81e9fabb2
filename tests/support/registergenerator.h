#pragma once

#include <QByteArray>
#include <QString>

// Writes a register of made-up companies, departments and employees into a new
// file, for measuring the program on registers of any size.
class CRegisterGenerator final
{
public:
    struct SOptions {
        int nEmployees = 1000;
        int nUnits = 100; // companies and departments together
        int nCompanies = 10;
        int nPhotoSide = 100;          // square photo, pixels; 0 for none (100: about 30 KB)
        int nUnaffiliatedEvery = 100;  // every n-th employee has no unit; 0 for none
        int nCrowdedUnitEmployees = 0; // that many go to the first department, the rest to the others
    };

    // Makes the file (which must not exist) in one transaction. Unit IDs run
    // 1..nUnits, companies first; the first department is nCompanies + 1.
    static void Generate(const QString &path, const SOptions &options);
    // A packed bottom-up 24-bit DIB of side x side pixels, as the photo column holds it.
    static QByteArray Photo(int side, int seed);
    static int FirstDepartment(const SOptions &options) { return options.nCompanies + 1; }
};
