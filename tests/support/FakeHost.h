#pragma once

#include "host/MessagePresenter.h"
#include "platform/LateBinding.h"
#include "platform/ObjectRef.h"
#include "platform/ReportTypes.h"

#include <QMap>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Readable QString output in test failures.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

// Fakes of the host's objects, reached by the component through late-bound
// names, recording what the component does to them.
namespace fake {

// The run-time error number that f raises, or 0.
int errorOf(const std::function<void()>& f);

// A demo account made once per test run in a temporary folder (tests that
// change data make their own).
QString demoAccountPath();

// Registers the host services and the component once, records messages and beeps.
class HostEnvironment : public testing::Environment {
public:
    void SetUp() override;
};

// The messages shown since the last reset, and the beeps sounded.
std::shared_ptr<q7::host::RecordingPresenter> messages();
int beeps();
void resetRecords();

class FilterItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant name MEMBER name)
    Q_PROPERTY(QVariant varValue MEMBER varValue)
    Q_PROPERTY(QVariant varValue2 MEMBER varValue2)
    Q_PROPERTY(QVariant strCaption MEMBER strCaption)
    Q_PROPERTY(QVariant listValue1 MEMBER listValue1)
    Q_PROPERTY(short LngGrouptoken MEMBER LngGrouptoken)
public:
    QVariant name, varValue, varValue2, strCaption, listValue1;
    short LngGrouptoken = -1;
};

class FilterList : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Count READ count)
public:
    int count() const { return static_cast<int>(items.size()); }
    Q_INVOKABLE QVariant Item(int index) const; // 1-based
    QList<q7::Object> items;
};

// The viewer's filter object: items, and a condition text for token-0 items.
class Filter : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant FilterList READ filterList)
public:
    Filter();
    // Appends an item; returns it for further set-up.
    FilterItem& add(const QString& name, const QVariant& value = QString(""), const QVariant& value2 = QString(""),
                    const QString& caption = QString());
    FilterItem& item(const QString& name) const;
    QVariant filterList() const { return q7::fromObject(list_); }

    Q_INVOKABLE void MakeSQLString() { ++makeSqlCalls; }
    Q_INVOKABLE QString GetWhereWithToken(short token);

    QSharedPointer<FilterList> list_;
    QString whereText;     // what GetWhereWithToken answers
    int makeSqlCalls = 0;
    QList<short> tokenArgs;
};

class ReportInfo : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant LocateSQLString MEMBER locate)
public:
    Q_INVOKABLE void SetReportKey(const QString& key) { calls.append(QStringLiteral("SetReportKey ") + key); }
    Q_INVOKABLE void SetColumnCount(short count) { calls.append(QStringLiteral("SetColumnCount %1").arg(count)); }
    Q_INVOKABLE void SetColumn(short index, const QString& caption, bool flag)
    {
        calls.append(QStringLiteral("SetColumn %1 %2 %3").arg(index).arg(caption).arg(flag ? "True" : "False"));
    }
    q7::ReportSqlParts parts() const { return locate.value<q7::ReportSqlParts>(); }
    QVariant locate;
    QStringList calls;
};

// A form of the host's libraries with an "EventHandler" event source.
class Form : public QObject {
    Q_OBJECT
    Q_CLASSINFO("AutomationKind", "Form")
    Q_PROPERTY(QVariant EventHandler READ eventHandler)
public:
    Form();
    QVariant eventHandler() { ++eventHandlerReads; return q7::fromObject(events); }
    q7::Object events;
    int eventHandlerReads = 0;
};

// A plain object that is not a form.
class NotAForm : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant EventHandler READ eventHandler)
public:
    QVariant eventHandler() { return q7::fromObject(q7::Object(new QObject)); }
};

// A control or host object with any members: properties live in a map,
// calls are recorded as "Name(arg,arg)" and answered by `answers`.
class Recorder : public QObject, public q7::DynamicDispatch {
    Q_OBJECT
public:
    bool dispatch(Access access, const QString& name, QVariantList& args, QVariant& result) override;
    QMap<QString, QVariant> properties;
    QMap<QString, std::function<QVariant(QVariantList&)>> answers;
    QStringList log; // every call and property write, in order
};

// Drives a report handler as the viewer does.
struct ReportRun {
    explicit ReportRun(const QString& menuKey);
    void setFilterList();
    bool check(); // bCancel
    QString reportInfoCalls();
    q7::ReportSqlParts sql();
    QString querySql; // sQuerySQL after SetReportSQL

    q7::Object handler;
    QSharedPointer<Filter> filter = q7::makeObject<Filter>();
    QSharedPointer<ReportInfo> info = q7::makeObject<ReportInfo>();
};

} // namespace fake
