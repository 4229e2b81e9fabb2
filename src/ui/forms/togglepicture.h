#pragma once

class QPixmap;

// The two 16 x 16 pictures of a toggle field: an empty grey circle for 0 and a
// red ball for 1, drawn once and shared.
class CTogglePicture final
{
public:
    static const QPixmap &Get(bool on);
};
