#pragma once

#include "host/browse/BrowseQuery.h"

namespace q7::host::browse {

// The browse of where an item is used: the parents whose BOMs at the date use it, level by level.
class WhereUsedQuery : public BrowseQuery {
    Q_OBJECT
protected:
    int conditionFields() const override { return 13; }
    Condition parse(const QStringList& fields) const override;
    bool prepareRoot(int partId, QString& whyNot) override;
    QString rootData(int partId) const override;
    QList<XmlRow> treeRows() override;
    XmlRow headRow() override;
    QList<XmlRow> detailRows() override;
};

} // namespace q7::host::browse
