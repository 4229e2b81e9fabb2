#pragma once

#include "chart/stafffigures.h"

#include <QDate>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

class CStaffSnapshot;
class QPagedPaintDevice;
class QTextStream;

// The staff figures as files: a picture, a printable page, their numbers for a
// spreadsheet. Each file is written under a temporary name and renamed, so that a
// failure leaves no half-written file and a file of that name as it was.
class CFigureFiles final
{
public:
    CFigureFiles() = delete;

    static constexpr QSize kPngSize{1600, 1000};

    static bool WritePng(const QString &path, const SFigureTable &table, const QSize &size, QString &error);
    // One A4 landscape page per table, each headed by the company and the day of printing.
    static bool WritePdf(const QString &path, const QList<SFigureTable> &tables, const QString &company, QString &error);
    // UTF-8 with its mark, as a spreadsheet opens it.
    static bool WriteCsv(const QString &path, const SFigureTable &table, QString &error);
    static bool WriteXlsx(const QString &path, const SFigureTable &table, QString &error);

    // The numbers as rows: the header, one row per category, then those counted apart.
    static QList<QStringList> Rows(const SFigureTable &table);
    // Draws pages first .. last (1-based) of tables onto device, a page each.
    static void RenderPages(QPagedPaintDevice &device, const QList<SFigureTable> &tables, const QString &company, int first,
                            int last);
    // The unit's company; for the whole register its companies.
    static QString Company(const CStaffSnapshot &snapshot, qint32 unitId);

    // Every figure of unitId as PNG, PDF and CSV into folder (made when missing),
    // a line on out for each file written. 0 when all were written, otherwise 1
    // with the reason on err.
    static int WriteAll(const QString &folder, const CStaffSnapshot &snapshot, qint32 unitId, QTextStream &out,
                        QTextStream &err);
};
