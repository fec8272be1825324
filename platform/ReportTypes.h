#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

namespace q7 {

// The record through which a report handler hands its SQL to the report
// viewer (a record of the viewer's library, passed by value).
struct ReportSqlParts {
    QString SqlSelect;
    QString SqlFrom;
    QString SqlWhere;
    QString SqlOrder;
    QString Text5;
    QVariant List6;
    QVariant List7;
    QVariant List8;
    QString Text9;
};

} // namespace q7

Q_DECLARE_METATYPE(q7::ReportSqlParts)
