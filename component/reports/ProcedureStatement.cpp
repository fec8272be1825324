#include "reports/ProcedureStatement.h"

#include "reports/ReportProtocol.h"

namespace q7::component {

QString procedureArguments(const q7::Object& filter,
                           const std::function<QString(const QString& key, const QString& v1, const QString& v2)>& piece)
{
    QString arguments;
    ReportProtocol::forEachItem(filter, [&](const ReportProtocol::FilterItem& item) {
        item.setGroupToken(0);
        arguments += piece(item.name(), item.value(), item.value2());
        item.setGroupToken(1);
    });
    return arguments;
}

void locateProcedureStatement(const QVariant& reportInfo, const QString& statement)
{
    q7::ReportSqlParts parts = ReportProtocol::newSqlParts();
    parts.SqlSelect = statement;
    ReportProtocol::locateSql(reportInfo, parts);
}

} // namespace q7::component
