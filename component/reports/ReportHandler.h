#pragma once

#include "platform/Events.h"
#include "reports/ReportProtocol.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

#include <functional>

namespace q7::component {

// One check of a filter item. Kinds and their messages:
//  VersionTooLong (20449) — a trimmed bound longer than 8 characters
//  InList (20453)         — the trimmed value is one of the listed captions
//  Required (2509)        — the trimmed value is not empty
//  PlainNumber (61301)    — a value that stands unquoted in the statement is a number
struct CheckRule {
    enum class Kind { VersionTooLong, InList, Required, PlainNumber, Quantity };
    const char* key;
    Kind kind;
    QList<int> captions = {};          // InList: resource numbers of the list
    bool beep = true;
    bool bothBounds = true;            // VersionTooLong / PlainNumber / Quantity: also varValue2
    std::function<bool()> when = {};   // the check applies only when this holds
};

// A default written into an empty item: a resource text or a computed text.
struct DefaultRule {
    const char* key;
    std::function<QString()> value;
};
DefaultRule resourceDefault(const char* key, int resource);
DefaultRule todayDefault(const char* key);

// The report handler protocol: binding to the viewer's filter object and the
// four filter events, with the shared defaults and checks. Each report states
// its key, defaults, checks and statement.
class ReportHandler : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void ReportEventHandle(const QVariant& oFilter);
    Q_INVOKABLE virtual bool IsMultiAngleReport() { return false; }

    Q_INVOKABLE void objFilter_SetFilterList(const QVariant& sReportName, QVariant& oFilter, const QVariant& oFormat);
    Q_INVOKABLE void objFilter_CheckFilterCondition(const QVariant& sReportName, QVariant& oFilter, QVariant& bCancel);
    Q_INVOKABLE void objFilter_SetReportInfo(const QVariant& sReportName, QVariant& oReportInfo);
    Q_INVOKABLE void objFilter_SetReportSQL(const QVariant& sReportName, QVariant& oFilter, QVariant& oReportInfo,
                                            const QVariant& oConn, const QVariant& sUser, QVariant& sQuerySQL);

    const q7::EventVariable& filter() const { return objFilter; }

protected:
    virtual QString reportKey() const = 0;
    virtual QList<DefaultRule> defaultRules() const = 0;
    virtual QList<CheckRule> checkRules() const = 0;
    virtual void describeReport(const q7::Object& reportInfo);
    virtual void buildStatement(const q7::Object& filter, const QVariant& reportInfo, QVariant& sQuerySQL) = 0;

private:
    // Returns the message number when the item fails the rule, else 0.
    static int failedMessage(const CheckRule& rule, const ReportProtocol::FilterItem& item);

    q7::EventVariable objFilter{this, QStringLiteral("objFilter")};
};

} // namespace q7::component
