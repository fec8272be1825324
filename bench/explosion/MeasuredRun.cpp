#include "bench/explosion/MeasuredRun.h"

#include "bench/explosion/Rows.h"
#include "frame/Registration.h"
#include "host/HostRegistration.h"
#include "host/db/AccountDatabase.h"
#include "host/report/ReportViewer.h"
#include "platform/system/SystemSettings.h"
#include "platform/data/Ado.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cstdio>
#include <stdexcept>

namespace q7::bench {

namespace {

const QString childFlag = QStringLiteral("--child");

// A field of /proc/self/status in kB.
qint64 statusKb(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

Rows viaReport(const RunRequest& r, data::Connection& connection)
{
    using host::report::FilterSetting;
    const ReferenceScope& s = r.scope;
    QString key = r.report;
    QList<FilterSetting> settings{{QStringLiteral("EffDate"), s.effDate, std::nullopt}};
    if (r.report == QLatin1String("BO02006")) {
        settings.append({QStringLiteral("InvCode"), s.leafCode, s.leafCode});
    } else {
        settings.append({QStringLiteral("InvCode"), s.lowCode, s.highCode});
        if (r.report == QLatin1String("BO02007")) {
            settings.append({QStringLiteral("Qty"), QString::number(s.quantity, 'g', 17), std::nullopt});
        } else {
            key = QStringLiteral("BO02004");
            const bool summary = r.report.endsWith(QLatin1String("-summary"));
            settings.append({QStringLiteral("QueryType"), summary ? QStringLiteral("阶列式") : QStringLiteral("全阶"), std::nullopt});
        }
    }
    host::report::ReportViewer viewer(key);
    auto outcome = viewer.run(settings, 0, &connection);
    if (outcome.refused)
        throw std::runtime_error("the report refused: " + outcome.message.toStdString());
    return std::move(outcome.rows.rows);
}

// Reads every row into variants, as the report's result holds them.
Rows viaCte(const RunRequest& r, data::Connection& connection)
{
    QString sql;
    if (r.report == QLatin1String("BO02004"))
        sql = indentedExplosionSql(r.scope);
    else if (r.report == QLatin1String("BO02004-summary"))
        sql = summaryExplosionSql(r.scope);
    else if (r.report == QLatin1String("BO02006"))
        sql = whereUsedSql(r.scope);
    else
        sql = quantityExplosionSql(r.scope);
    QSqlQuery query(connection.database());
    query.setForwardOnly(true);
    if (!query.exec(sql))
        throw std::runtime_error(query.lastError().text().toStdString());
    const int columns = query.record().count();
    Rows rows;
    while (query.next()) {
        QVector<QVariant> row(columns);
        for (int i = 0; i < columns; ++i)
            row[i] = query.value(i);
        rows.append(std::move(row));
    }
    return rows;
}

} // namespace

Rows rowsOf(const RunRequest& request, data::Connection& connection)
{
    return request.engine == Engine::Report ? viaReport(request, connection) : viaCte(request, connection);
}

const QStringList& reportNames()
{
    static const QStringList names{QStringLiteral("BO02004"), QStringLiteral("BO02004-summary"), QStringLiteral("BO02006"),
                                   QStringLiteral("BO02007")};
    return names;
}

QStringList childArguments(const RunRequest& r)
{
    return {childFlag,
            r.engine == Engine::Report ? QStringLiteral("report") : QStringLiteral("cte"),
            r.report,
            r.database,
            r.scope.effDate,
            r.scope.lowCode,
            r.scope.highCode,
            r.scope.leafCode,
            QString::number(r.scope.quantity, 'g', 17),
            r.rowsFile};
}

bool isChildInvocation(const QStringList& arguments) { return arguments.size() > 1 && arguments[1] == childFlag; }

int runChild(const QStringList& a)
{
    if (a.size() != 11) {
        std::fprintf(stderr, "--child takes 9 values\n");
        return 2;
    }
    RunRequest r;
    r.engine = a[2] == QLatin1String("cte") ? Engine::Cte : Engine::Report;
    r.report = a[3];
    r.database = a[4];
    r.scope = {a[5], a[6], a[7], a[8], a[9].toDouble()};
    r.rowsFile = a[10];

    host::registerHostServices();
    q7::component::DllRegisterServer();
    system::setToday(QDate::fromString(r.scope.effDate, QStringLiteral("yyyy-MM-dd")));
    data::Connection connection;
    connection.Open(host::db::connectionStringFor(r.database));

    const qint64 peakBefore = statusKb("VmHWM"), anonBefore = statusKb("RssAnon");
    QElapsedTimer timer;
    timer.start();
    const Rows rows = rowsOf(r, connection);
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const qint64 peakAfter = statusKb("VmHWM"), anonAfter = statusKb("RssAnon");

    saveRows(r.rowsFile, rows);
    std::printf("RESULT %.6f %lld %lld %lld %lld\n", seconds, static_cast<long long>(rows.size()), peakAfter - peakBefore,
                anonAfter - anonBefore, static_cast<long long>(estimatedSize(rows)));
    return 0;
}

RunResult runInFreshProcess(const RunRequest& request)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), childArguments(request));
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        throw std::runtime_error("the measured run of " + request.report.toStdString() + " failed");
    const QList<QByteArray> fields = child.readAllStandardOutput().trimmed().split('\n').last().split(' ');
    if (fields.size() != 6 || fields[0] != "RESULT")
        throw std::runtime_error("the measured run of " + request.report.toStdString() + " printed no result");
    return {fields[1].toDouble(), fields[2].toLongLong(), fields[3].toLongLong(), fields[4].toLongLong(), fields[5].toLongLong()};
}

} // namespace q7::bench
