#include "chart/chartcommandline.h"

#include "chart/figurefiles.h"
#include "chart/orgchart.h"
#include "chart/orgchartfiles.h"
#include "chart/orgchartsource.h"
#include "chart/staffsnapshot.h"
#include "register/registerasof.h"
#include "store/daobackend.h"
#include "store/daobackends.h"
#include "store/daodatabase.h"
#include "store/daoexception.h"
#include "store/daorecordset.h"
#include "store/databasecheck.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSettings>
#include <QTextStream>
#include <cstdio>
#include <memory>

namespace {
QString DatabaseOf(const CCommandLine::SParsed &parsed)
{
    if (!parsed.database.isEmpty())
        return parsed.database;
    QSettings settings(QStringLiteral("Kelbrotane soft"), QStringLiteral("Morvek"));
    return settings.value(QStringLiteral("Database/Path"), QStringLiteral("odata.mdb")).toString();
}

// Today's register for a null day or today; otherwise as it stood then.
std::shared_ptr<const CRegisterAsOf> AsOf(const QDate &day)
{
    if (!day.isValid() || day >= QDate::currentDate())
        return nullptr;
    return std::make_shared<const CRegisterAsOf>(day);
}
} // namespace

int CChartCommandLine::Main(int argc, char **argv, const CCommandLine::SParsed &parsed)
{
    // Nothing is shown: no display is needed, whatever the session has.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int status = Run(parsed, out, err);
    out.flush();
    err.flush();
    return status;
}

int CChartCommandLine::Run(const CCommandLine::SParsed &parsed, QTextStream &out, QTextStream &err)
{
    const QString database = DatabaseOf(parsed);
    try {
        if (CDaoBackends::For(database).PlacedByUser() && !QFileInfo::exists(database)) {
            err << QStringLiteral("%1 がありません。\n").arg(CDatabaseCheck::Shown(database));
            return CCommandLine::ExitFailure;
        }
        {
            // Refuses what is no register, or a damaged one, in its own words.
            CDaoDatabase db;
            db.Open(database);
        }
        CDaoRecordset::SetApplicationDatabasePath(database);
        if (parsed.action == CCommandLine::EAction::orgChart)
            return WriteChart(parsed, out, err);
        const CStaffSnapshot snapshot = CStaffSnapshot::Read(AsOf(parsed.asOf).get());
        const qint32 unit = parsed.unitPath.isEmpty() ? 0 : snapshot.Find(parsed.unitPath);
        if (!parsed.unitPath.isEmpty() && unit == 0) {
            err << QStringLiteral("部課 %1 が見つかりません。\n").arg(parsed.unitPath);
            return CCommandLine::ExitFailure;
        }
        return CFigureFiles::WriteAll(parsed.folder, snapshot, unit, out, err);
    } catch (const CDaoException &error) {
        err << error.GetErrorMessage() << '\n';
    } catch (const std::exception &error) {
        err << QString::fromUtf8(error.what()) << '\n';
    }
    return CCommandLine::ExitFailure;
}

int CChartCommandLine::WriteChart(const CCommandLine::SParsed &parsed, QTextStream &out, QTextStream &err)
{
    const QString &file = parsed.folder;
    if (!COrgChartFiles::IsKnown(file)) {
        err << QStringLiteral("%1 は書き出せません。名前の終わりを .pdf、.svg、.png のどれかにしてください。\n").arg(file);
        return CCommandLine::ExitUsage;
    }
    const std::shared_ptr<const CRegisterAsOf> asOf = AsOf(parsed.asOf);
    const CStaffSnapshot snapshot = CStaffSnapshot::Read(asOf.get());
    const qint32 unit = parsed.unitPath.isEmpty() ? 0 : snapshot.Find(parsed.unitPath);
    if (!parsed.unitPath.isEmpty() && unit == 0) {
        err << (asOf ? QStringLiteral("部課 %1 はその日にはありませんでした。\n").arg(parsed.unitPath)
                     : QStringLiteral("部課 %1 が見つかりません。\n").arg(parsed.unitPath));
        return CCommandLine::ExitFailure;
    }
    if (snapshot.Units().isEmpty()) {
        err << QStringLiteral("会社も部課も登録されていないため、組織図は書き出しません。\n");
        return CCommandLine::ExitFailure;
    }
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder)) {
        err << QStringLiteral("フォルダ %1 を作れません。\n").arg(QDir::toNativeSeparators(folder));
        return CCommandLine::ExitFailure;
    }
    COrgChartSource source(snapshot, asOf);
    COrgChart::SOptions options;
    options.faces = parsed.faces;
    const COrgChart chart(snapshot, unit, options, source.MembersOf());
    const QString error = COrgChartFiles::Write(file, chart, source.FaceOf(),
                                                {QPageSize::A4, QPageLayout::Landscape, COrgChartFiles::EFit::readable});
    if (!error.isEmpty()) {
        err << error << '\n';
        return CCommandLine::ExitFailure;
    }
    out << QStringLiteral("組織図（部課 %1 件）を %2 に書き出しました。\n")
               .arg(chart.Boxes().size())
               .arg(QDir::toNativeSeparators(file));
    return 0;
}
