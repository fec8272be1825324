#pragma once

#include "platform/HostServices.h"

#include <QObject>

namespace q7::host {

// Configuration records are variant maps: "Count"/"Entries" and the
// builder's own keys.
class RefreshInventoryBuilder : public QObject, public IRefreshInventory {
    Q_OBJECT
public:
    void Init(QVariant& record, const QString& hookName, int fieldCount) override;
    void SetField(QVariant& record, int index, const QString& field, int resultColumn) override;
};

class RefreshColumnBuilder : public QObject, public IRefreshColumn {
    Q_OBJECT
public:
    void Init(QVariant& record, int sourceCount, int targetCount) override;
    void SetSource(QVariant& record, int index, const QString& column) override;
    void SetTarget(QVariant& record, int index, const QString& column) override;
    void SetSingleTarget(QVariant& record, int number, const QString& column) override;
};

class DropDownListBuilder : public QObject, public IDropDownList {
    Q_OBJECT
public:
    void Init(QVariant& record, int count) override;
    void SetEntry(QVariant& record, int index, const QString& column, int listKind) override;
    // List kind 3 is the BOM type: 主要 → "1", 替代 → "2"; kinds 39 and 40
    // are the maintenance forms' lists (host/process/ProcessLists.h).
    QString TextToCode(const QString& text, int listKind) override;
};

class ColumnAuthBuilder : public QObject, public IColumnAuth {
    Q_OBJECT
public:
    void Init(QVariant& record, int count) override;
    void SetEntry(QVariant& record, int index, const QString& column, int authKind, bool flag) override;
};

} // namespace q7::host
