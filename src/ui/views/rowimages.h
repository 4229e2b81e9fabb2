#pragma once

#include <QFont>
#include <QIcon>
#include <QSize>

// The pictures of the organisation views, by image index: 0 company,
// 1 department, 2 man, 3 woman; each at 16 and 32 pixels.
class CRowImages final
{
public:
    enum EImage { company = 0, department = 1, man = 2, woman = 3 };

    static QIcon Icon(int image);
    // The grid cell of a large picture with two lines of caption under it.
    static QSize IconCell(const QFont &font);
    // A row whose image is below this shows a unit, from it on an employee.
    static bool IsEmployee(int image) { return image >= man; }
};
