#pragma once

#include "platform/data/Ado.h"
#include "platform/data/ResultSet.h"

#include <QString>
#include <QVariantList>

namespace q7::host::ui {

// What a reference look-up offers: a title, the rows (their columns named as
// the account names them), the headings a user reads over those columns and
// the text the list is searched with at first.
struct ReferList {
    QString title;
    data::ResultSet rows;
    QString search;
    QStringList captions;
};

// The heading a user reads over a look-up column ("cInvCode" → "编码"); the
// column's own name for a column without one.
QString referCaption(const QString& column);

// The rows of a look-up kind (platform/ReferKinds.h) over the account.
// Parameters by kind: Inventory (search text, filter "column=v1,v2" on
// InvAttr or bConfigFree1..10), BomVersion and BomIdentCode (current text,
// part id), ProutingOperation (current text, part id), BomParent and
// BomComponent (search text). Run-time error 5 for an unknown kind.
ReferList referList(data::Connection& connection, int kind, const QVariantList& parameters);
// Parts of items: code, name and the ten free-item values.
ReferList freeItemList(data::Connection& connection, const QString& search);

} // namespace q7::host::ui
