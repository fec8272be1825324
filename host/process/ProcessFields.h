#pragma once

#include <QList>
#include <QString>

// The head fields of the maintenance parameter forms, by menu key.
namespace q7::host::process {

enum class FieldKind {
    Text,   // typed text
    Item,   // an item code that fills its neighbours from the inventory
    Shown,  // filled by the inventory look-up, not typed
    Flag,   // a hidden flag (whether the item uses a free item)
    List,   // a drop-down list
    Date,
    Number,
};

struct FieldDefinition {
    QString key;
    QString caption; // sCardItemName
    FieldKind kind = FieldKind::Text;
    int freeItem = 0; // 1 … 10 for free-item values and flags
};

struct FormDefinition {
    QString menuKey;
    QString caption;
    QList<FieldDefinition> fields;
    bool hasDescription = false; // a description label instead of input
};

// The form of a maintenance menu key, or nullptr.
const FormDefinition* formDefinition(const QString& menuKey);
// Every maintenance menu key, in menu order.
QStringList processMenuKeys();

} // namespace q7::host::process
