// Printing a large company: the employee list of 1,000 employees with photos to
// PDF (building the job from the query, then every page), and business cards.
#include "base/japaneselocale.h"
#include "document/morvekdoc.h"
#include "photo/dibblock.h"
#include "printlayout/cardprintjob.h"
#include "printlayout/companylistjob.h"
#include "store/mast01.h"
#include "store/schema.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <sys/resource.h>

namespace {
constexpr int kEmployees = 1000;
constexpr int kDepartments = 20;

QTemporaryDir &Folder()
{
    static QTemporaryDir dir;
    return dir;
}

// A face photo of a usual size: 96 x 128 pixels, 24 bits, about 37 KB.
QByteArray Face(int i)
{
    QImage image(96, 128, QImage::Format_RGB32);
    image.fill(QColor::fromHsv((i * 37) % 360, 120, 220));
    QPainter painter(&image);
    painter.setBrush(QColor(240, 200, 170));
    painter.drawEllipse(18, 20, 60, 80);
    return MakePackedDib(image);
}

// Company 1 with its departments; every employee in one of them, with a photo.
QString Database()
{
    static const QString path = [] {
        const QString file = Folder().filePath(QStringLiteral("print.mdb"));
        CSchema::CreateDatabaseFile(file);
        auto db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("fill"));
        db.setDatabaseName(file);
        db.open();
        db.transaction();
        QSqlQuery q(db);
        q.prepare(QStringLiteral("INSERT INTO Mast00 (ID, Parent, Code, Name) VALUES (?,?,?,?)"));
        for (int id = 1; id <= kDepartments + 1; ++id) {
            q.addBindValue(id);
            q.addBindValue(id == 1 ? 0 : 1);
            q.addBindValue(1);
            q.addBindValue(id == 1 ? QStringLiteral("本社") : QStringLiteral("第%1営業部").arg(id));
            if (!q.exec())
                qFatal("%s", qPrintable(q.lastError().text()));
        }
        q.prepare(QStringLiteral("INSERT INTO Mast01 (Code, Busyo, Sex, Name, Kana, Sdate, Indat, Outdat, Yuu, "
                                 "Juu1, TEL, FAX, Pic) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"));
        for (int i = 0; i < kEmployees; ++i) {
            q.addBindValue(i + 1);
            q.addBindValue(2 + i % kDepartments);
            q.addBindValue(i % 2);
            q.addBindValue(QStringLiteral("社員 %1").arg(i));
            q.addBindValue(QStringLiteral("ｼｬｲﾝ"));
            q.addBindValue(QStringLiteral("1965-04-01"));
            q.addBindValue(QStringLiteral("1988-04-01"));
            q.addBindValue(i % 10 == 0 ? QStringLiteral("2001-03-31") : QStringLiteral("1899-12-30"));
            q.addBindValue(QStringLiteral("100-0001"));
            q.addBindValue(QStringLiteral("東京都千代田区千代田1-1"));
            q.addBindValue(QStringLiteral("03-1234-5678"));
            q.addBindValue(QStringLiteral("03-1234-5679"));
            q.addBindValue(Face(i));
            if (!q.exec())
                qFatal("%s", qPrintable(q.lastError().text()));
        }
        db.commit();
        db.close();
        QSqlDatabase::removeDatabase(QStringLiteral("fill"));
        return file;
    }();
    return path;
}

long PeakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void ToPdf(CPrintJob &job, const QString &name)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(Folder().filePath(name));
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    job.Render(printer, 1, job.GetPageCount());
}

void BM_CompanyListToPdf(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(Database());
    const long before = PeakMegabytes();
    int pages = 0;
    for (auto _ : state) {
        CCompanyListJob job;
        job.PrepareCompanyPrintJob(2);
        ToPdf(job, QStringLiteral("list.pdf"));
        pages += job.GetPageCount();
    }
    state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsRate);
    state.counters["peak MB"] = double(PeakMegabytes());
    state.counters["peak MB before"] = double(before);
}

void BM_PrepareCompanyList(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(Database());
    CCompanyListJob job;
    for (auto _ : state)
        job.PrepareCompanyPrintJob(2);
    state.counters["employees"] = job.GetRecordCount();
}

// A hundred employees' cards, ten to a page.
void BM_CardsToPdf(benchmark::State &state)
{
    CDaoRecordset::SetApplicationDatabasePath(Database());
    CMorvekDoc layout;
    int pages = 0;
    for (auto _ : state) {
        CCardPrintJob job(&layout);
        job.SetCardPrintHeader();
        CMast01 employees;
        employees.Open();
        for (int i = 0; i < 100 && !employees.IsEOF(); ++i, employees.MoveNext())
            job.AddCardRecord(employees.m_ID);
        ToPdf(job, QStringLiteral("cards.pdf"));
        pages += job.GetPageCount();
    }
    state.counters["pages/s"] = benchmark::Counter(pages, benchmark::Counter::kIsRate);
    state.counters["peak MB"] = double(PeakMegabytes());
}
} // namespace

BENCHMARK(BM_PrepareCompanyList)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CompanyListToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CardsToPdf)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    CJapaneseLocale::Install(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
