#pragma once

#include <QList>
#include <QString>

namespace q7::data {
class Connection;
}

namespace q7::host::process::ops {

// One change of an item's BOMs on a date: a main BOM version taking effect
// or ending, a line starting or ending; with the engineering change that did
// it where one is known (a line written by a run from a date that was not
// undone, or the change a BOM names for its version).
struct BomEvent {
    QString date;
    QString parent; // the BOM's parent, with its free items
    QString bom;    // "主BOM 2", "替代BOM S1"
    QString event;  // 版本生效, 版本失效, 行开始, 行结束
    int sortSeq = 0;
    QString component, componentName, quantity;
    QString change; // the engineering change's document code
};

// Every change of the item's own BOMs (of all its parts), by date; the open
// bounds (a BOM or line without a beginning or end) are no change.
QList<BomEvent> bomHistory(data::Connection& connection, const QString& invCode);

} // namespace q7::host::process::ops
