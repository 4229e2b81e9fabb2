#pragma once

class CPhotoImport;
class QWidget;

// ﾌｧｲﾙ → "写真の一括取り込み...": a folder of pictures named by employee code, shown
// before anything is written; the work is CPhotoImport's.
class CPhotoCommands final
{
public:
    // True when photos were written.
    static bool OnImportPhotos(QWidget *parent);

private:
    static bool Confirm(const CPhotoImport &import, QWidget *parent);
};
