#pragma once

#include "host/browse/BrowseQuery.h"

namespace q7::host::browse {

// The browse of what an item is made of: its BOM at the date, level by level.
class StructureQuery : public BrowseQuery {
    Q_OBJECT
protected:
    int conditionFields() const override { return 15; }
    Condition parse(const QStringList& fields) const override;
    bool prepareRoot(int partId, QString& whyNot) override;
    QString rootData(int partId) const override;
    QString rootLabel(int partId) override;
    QList<XmlRow> treeRows() override;
    XmlRow headRow() override;
    QList<XmlRow> detailRows() override;
    void loaded(const QStringList& fields) override;

private:
    int loadedBom() const;
    int rootBom_ = 0;
    QString rootVersion_;
    double cumulative_ = 1;
};

} // namespace q7::host::browse
