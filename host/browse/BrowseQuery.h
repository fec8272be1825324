#pragma once

#include "host/browse/AccountContext.h"
#include "host/browse/XmlRows.h"
#include "host/db/procedures/BomGraph.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <memory>

namespace q7::host::browse {

inline constexpr const char* StructureQueryClassId = "Morvex.Q7.BO.UIP.BO02001";
inline constexpr const char* WhereUsedQueryClassId = "Morvex.Q7.BO.UIP.BO02002";

// A browse query over the current account: the condition names an item (a
// part), a date and flags; the tree then grows one level per LoadData under
// the loaded node. The node's data carries the path of part ids from the
// root ("3.7.9") as its first "|" field, so that a part met again on its own
// path is cut (marked "循环") instead of growing for ever. Answers that are
// not XML are messages for the user.
class BrowseQuery : public QObject {
    Q_OBJECT
public:
    // "data&label" of the root node; "-1&reason" when nothing matches.
    Q_INVOKABLE QString SetConditionValue(QVariant& condition);
    // Makes the node with this data (or its path alone) the loaded node.
    Q_INVOKABLE bool LoadData(QVariant& key);
    Q_INVOKABLE QString GetHeadXML();
    Q_INVOKABLE QString GetTreeViewXML();
    Q_INVOKABLE QString GetDetailXML();
    // The substitutes of a BOM line (its OpComponentId) in the column set "BO02".
    Q_INVOKABLE QString GetComponentSubXML(QVariant& row, QVariant& fields);

    // The loaded node's path of part ids, root first.
    const QList<int>& path() const { return path_; }
    QString effDate() const { return date_; }

protected:
    struct Condition {
        QString code;
        QStringList free; // ten values
        QString version;  // structure only; "-1" none
        QString date;
        bool levelList = false; // structure only: "0" asks for 阶列式
        bool planRate = false;
    };
    virtual int conditionFields() const = 0;
    virtual Condition parse(const QStringList& fields) const = 0;
    // Chooses the root for the part; false when there is nothing to browse.
    virtual bool prepareRoot(int partId, QString& whyNot) = 0;
    virtual QString rootData(int partId) const = 0;
    virtual QString rootLabel(int partId);
    virtual QList<XmlRow> treeRows() = 0;
    virtual XmlRow headRow() = 0;
    virtual QList<XmlRow> detailRows() = 0;
    virtual void loaded(const QStringList& fields) { Q_UNUSED(fields) }

    data::Connection& connection() const;
    // What the account holds at the date, read as the reports read it: made on
    // first use after the condition is set or a node is loaded, so that the
    // tree rows, head and document of one node come from one reading.
    db::procedures::BomGraph& graph() const;
    // The part of an item with these free-item values (only the item's
    // configured free items are compared); 0 when none.
    int findPart(const QString& code, const QStringList& free) const;
    // The part's BOM in force at the date (the one the explosions use); 0 when none.
    int mainBomAt(int partId) const;
    QString partLabel(int partId);
    XmlRow itemAttributes(int partId);
    static QString number(double value);
    static QString pathText(const QList<int>& path);

    Condition cond_;
    QString date_;
    QList<int> path_;

private:
    // The account the object works on: the current one at its first use,
    // kept open for as long as the object (and its cached statements) lives.
    mutable QSharedPointer<AccountContext> account_;
    mutable std::unique_ptr<db::procedures::BomGraph> graph_;
};

} // namespace q7::host::browse
