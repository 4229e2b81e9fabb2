#pragma once

#include <QString>

// A photo file named by its employee's code: digits, leading zeros allowed, and
// the extension of a picture the program reads (1234.jpg, 001234.png).
class CPhotoFileName final
{
public:
    CPhotoFileName() = delete;

    // Whether the name is that of a picture file at all (JPEG, PNG, BMP).
    static bool IsPicture(const QString &fileName);
    // The code the name stands for; 0 when it is no picture or not a code 1..999999999.
    static qint32 Code(const QString &fileName);
};
