#include "chart/figurefiles.h"

#include "chart/chartdrawer.h"
#include "chart/staffsnapshot.h"
#include "csv/csvformulaguard.h"
#include "csv/csvtable.h"
#include "sheet/workbookwriter.h"
#include "text/csvcodec.h"

#include <QDir>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QTextStream>
#include <functional>
#include <utility>

namespace {
constexpr int kPdfResolution = 300;
constexpr double kPdfMargin = 12; // mm

QString CannotWrite(const QString &path, const QString &why)
{
    return QStringLiteral("%1 に書き込めません。\n%2").arg(QDir::toNativeSeparators(path), why);
}

bool Commit(QSaveFile &file, QString &error)
{
    if (file.commit())
        return true;
    error = CannotWrite(file.fileName(), file.errorString());
    return false;
}

bool Open(QSaveFile &file, QString &error)
{
    if (file.open(QIODevice::WriteOnly))
        return true;
    error = CannotWrite(file.fileName(), file.errorString());
    return false;
}
} // namespace

QList<QStringList> CFigureFiles::Rows(const SFigureTable &table)
{
    QStringList header{table.strCategory};
    for (const SFigureSeries &series : table.series)
        header << series.strName;
    QList<QStringList> rows{header};
    for (qsizetype i = 0; i < table.categories.size(); ++i) {
        QStringList row{table.categories.at(i)};
        for (const SFigureSeries &series : table.series)
            row << QString::number(series.values.value(i));
        rows << row;
    }
    if (!table.strApartLabel.isEmpty()) {
        QStringList row{table.strApartLabel};
        for (int value : table.apart)
            row << QString::number(value);
        rows << row;
    }
    return rows;
}

bool CFigureFiles::WritePng(const QString &path, const SFigureTable &table, const QSize &size, QString &error)
{
    if (size.isEmpty()) {
        error = QStringLiteral("画像の大きさが正しくありません。");
        return false;
    }
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        CChartDrawer(painter, QRectF(image.rect())).Draw(table);
    }
    QSaveFile file(path);
    if (!Open(file, error))
        return false;
    if (!image.save(&file, "PNG")) {
        file.cancelWriting();
        error = CannotWrite(path, QStringLiteral("画像を書けませんでした。"));
        return false;
    }
    return Commit(file, error);
}

void CFigureFiles::RenderPages(QPagedPaintDevice &device, const QList<SFigureTable> &tables, const QString &company,
                               int first, int last)
{
    first = std::max(first, 1);
    last = std::min<int>(last, int(tables.size()));
    QPainter painter(&device);
    const QRectF page(QPointF(0, 0), device.pageLayout().paintRectPixels(device.logicalDpiX()).size());
    const QDate printed = QDate::currentDate();
    for (int i = first; i <= last; ++i) {
        if (i > first)
            device.newPage();
        CChartDrawer(painter, page).DrawPage(tables.at(i - 1), company, printed);
    }
}

bool CFigureFiles::WritePdf(const QString &path, const QList<SFigureTable> &tables, const QString &company, QString &error)
{
    QSaveFile file(path);
    if (!Open(file, error))
        return false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setCreator(QStringLiteral("Morvek"));
        if (!tables.isEmpty())
            writer.setTitle(tables.constFirst().strTitle);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(kPdfMargin, kPdfMargin, kPdfMargin, kPdfMargin),
                                         QPageLayout::Millimeter));
        RenderPages(writer, tables, company, 1, int(tables.size()));
    }
    return Commit(file, error);
}

bool CFigureFiles::WriteCsv(const QString &path, const SFigureTable &table, QString &error)
{
    QList<QStringList> rows = Rows(table);
    for (QStringList &row : rows) {
        for (QString &field : row)
            field = CCsvFormulaGuard::Protect(field);
    }
    QByteArray bytes;
    if (!CCsvCodec::Encode(CCsvTable::Write(rows), ECsvEncoding::Utf8Bom, bytes, error))
        return false;
    QSaveFile file(path);
    if (!Open(file, error))
        return false;
    if (file.write(bytes) != bytes.size()) {
        error = CannotWrite(path, file.errorString());
        file.cancelWriting();
        return false;
    }
    return Commit(file, error);
}

bool CFigureFiles::WriteXlsx(const QString &path, const SFigureTable &table, QString &error)
{
    const QList<QStringList> rows = Rows(table);
    QList<CWorkbookWriter::EKind> kinds(rows.constFirst().size(), CWorkbookWriter::EKind::Number);
    kinds[0] = CWorkbookWriter::EKind::Text;
    CWorkbookWriter writer(path, CWorkbookWriter::EDateForm::Iso);
    if (writer.AddSheet(table.strName, rows.constFirst(), kinds)) {
        for (qsizetype i = 1; i < rows.size(); ++i)
            writer.AddRow(rows.at(i));
    }
    return writer.Close(error);
}

QString CFigureFiles::Company(const CStaffSnapshot &snapshot, qint32 unitId)
{
    const SUnitRow *unit = snapshot.Unit(unitId);
    // Walked up no further than there are units: a damaged file may loop.
    for (qsizetype steps = 0; unit && unit->nParent != 0 && steps < snapshot.Units().size(); ++steps) {
        const SUnitRow *parent = snapshot.Unit(unit->nParent);
        if (!parent)
            break;
        unit = parent;
    }
    if (unit)
        return unit->strName;
    QStringList names;
    for (const SUnitRow &company : snapshot.Children(0))
        names << company.strName;
    return names.join(QStringLiteral("、"));
}

int CFigureFiles::WriteAll(const QString &folder, const CStaffSnapshot &snapshot, qint32 unitId, QTextStream &out,
                           QTextStream &err)
{
    const QString shown = QDir::toNativeSeparators(QDir(folder).absolutePath());
    if (!QDir().mkpath(folder)) {
        err << QStringLiteral("フォルダ %1 を作れません。").arg(shown) << Qt::endl;
        return 1;
    }
    QTemporaryFile probe(QDir(folder).filePath(QStringLiteral("morvek-XXXXXX.tmp")));
    if (!probe.open()) {
        err << QStringLiteral("フォルダ %1 に書き込めません。").arg(shown) << Qt::endl;
        return 1;
    }
    probe.close();
    probe.remove();

    const CStaffFigures figures(snapshot, unitId);
    const QString company = Company(snapshot, unitId);
    const QDir dir(folder);
    for (const SFigureTable &table : figures.All()) {
        const QString base = dir.filePath(table.strName);
        QString error;
        const QList<std::pair<QString, std::function<bool(const QString &)>>> files{
            {base + QStringLiteral(".png"), [&](const QString &path) { return WritePng(path, table, kPngSize, error); }},
            {base + QStringLiteral(".pdf"), [&](const QString &path) { return WritePdf(path, {table}, company, error); }},
            {base + QStringLiteral(".csv"), [&](const QString &path) { return WriteCsv(path, table, error); }},
        };
        for (const auto &[path, write] : files) {
            if (!write(path)) {
                err << error << Qt::endl;
                return 1;
            }
            out << QStringLiteral("%1 を書き出しました。").arg(QDir::toNativeSeparators(path)) << Qt::endl;
        }
    }
    return 0;
}
