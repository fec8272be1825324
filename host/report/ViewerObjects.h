#pragma once

#include "host/report/FilterDefinitions.h"
#include "platform/ObjectRef.h"
#include "platform/ReportTypes.h"

#include <QObject>
#include <QStringList>
#include <QVariant>

// The report viewer's filter, its items and its report-information object,
// with the member names the report handlers use.
namespace q7::host::report {

class ViewerFilterItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant name MEMBER name)
    Q_PROPERTY(QVariant varValue MEMBER varValue)
    Q_PROPERTY(QVariant varValue2 MEMBER varValue2)
    Q_PROPERTY(QVariant strCaption MEMBER strCaption)
    Q_PROPERTY(QVariant listValue1 MEMBER listValue1)
    Q_PROPERTY(short LngGrouptoken MEMBER LngGrouptoken)
public:
    explicit ViewerFilterItem(ItemDefinition definition);
    QVariant name, varValue, varValue2, strCaption, listValue1;
    short LngGrouptoken = 0;
    ItemDefinition definition;
};

class ViewerFilterList : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Count READ count)
public:
    int count() const { return static_cast<int>(items.size()); }
    Q_INVOKABLE QVariant Item(int index) const; // 1-based
    QList<QSharedPointer<ViewerFilterItem>> items;
};

// Thrown when the viewer itself refuses a value (not a number, not a date).
struct ViewerRefusal {
    QString message;
};

class ViewerFilter : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant FilterList READ filterList)
public:
    explicit ViewerFilter(const ReportDefinition& definition);
    QVariant filterList() const { return fromObject(list_); }
    ViewerFilterItem* item(const QString& name) const; // ignoring case; nullptr when absent
    const QList<QSharedPointer<ViewerFilterItem>>& items() const { return list_->items; }

    // Composes the condition text of the items whose group token is 0: per
    // item "column>=low" and "column<=high" (or "column=value"), joined by
    // " and "; texts and dates quoted with their quotes doubled, numbers
    // checked. Throws ViewerRefusal for a number that is not one.
    Q_INVOKABLE void MakeSQLString();
    Q_INVOKABLE QString GetWhereWithToken(short token) const;

private:
    QSharedPointer<ViewerFilterList> list_;
    QMap<short, QString> where_;
};

class ViewerReportInfo : public QObject {
    Q_OBJECT
    Q_PROPERTY(QVariant LocateSQLString MEMBER locate)
public:
    Q_INVOKABLE void SetReportKey(const QString& key) { reportKey = key; }
    Q_INVOKABLE void SetColumnCount(short count) { columns = QStringList(count); }
    Q_INVOKABLE void SetColumn(short index, const QString& caption, bool) { if (index >= 0 && index < columns.size()) columns[index] = caption; }
    QString reportKey;
    QStringList columns;
    QVariant locate;
};

} // namespace q7::host::report
