#include "bench/team/WriteRecord.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <stdexcept>
#include <time.h>

namespace q7::bench::team {

WriteLog::WriteLog(const QString& path) : file_(std::make_unique<QFile>(path))
{
    if (!file_->open(QIODevice::WriteOnly | QIODevice::Append))
        throw std::runtime_error("cannot write " + path.toStdString());
}

WriteLog::~WriteLog() = default;

void WriteLog::append(const WriteRecord& r)
{
    QJsonObject object = toJson(r.state);
    object.insert(QStringLiteral("kind"), r.kind);
    object.insert(QStringLiteral("client"), r.client);
    object.insert(QStringLiteral("at"), r.at);
    object.insert(QStringLiteral("before"), r.before);
    object.insert(QStringLiteral("moved"), r.moved);
    object.insert(QStringLiteral("exact"), r.exact);
    file_->write(QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n');
    file_->flush();
}

QList<WriteRecord> readWriteLogs(const QString& folder)
{
    QList<WriteRecord> records;
    QDirIterator files(folder, {QStringLiteral("writes-*.jsonl")}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (!file.open(QIODevice::ReadOnly))
            throw std::runtime_error("cannot read " + file.fileName().toStdString());
        while (!file.atEnd()) {
            const QByteArray line = file.readLine().trimmed();
            if (line.isEmpty())
                continue;
            QJsonParseError error{};
            const QJsonDocument document = QJsonDocument::fromJson(line, &error);
            if (error.error != QJsonParseError::NoError || !document.isObject()) // a client died while it wrote
                throw std::runtime_error("a damaged record in " + file.fileName().toStdString() + ": " + line.toStdString());
            const QJsonObject o = document.object();
            WriteRecord r;
            r.kind = o.value(QStringLiteral("kind")).toString();
            r.client = o.value(QStringLiteral("client")).toInt();
            r.at = o.value(QStringLiteral("at")).toInteger();
            r.before = o.value(QStringLiteral("before")).toInteger();
            r.moved = o.value(QStringLiteral("moved")).toInt();
            r.exact = o.value(QStringLiteral("exact")).toBool();
            r.state = bomStateFromJson(o);
            records.append(r);
        }
    }
    return records;
}

qint64 monotonicNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<qint64>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

} // namespace q7::bench::team
