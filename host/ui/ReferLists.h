#pragma once

#include "platform/data/Ado.h"
#include "platform/data/ResultSet.h"

#include <QString>
#include <QVariantList>

namespace q7::host::ui {

// What a reference look-up offers: a title, the rows and the text the list
// is searched with at first.
struct ReferList {
    QString title;
    data::ResultSet rows;
    QString search;
};

// The rows of a look-up kind (platform/ReferKinds.h) over the account.
// Parameters by kind: Inventory (search text, filter "column=v1,v2" on
// InvAttr or bConfigFree1..10), BomVersion and BomIdentCode (current text,
// part id), ProutingOperation (current text, part id), BomParent and
// BomComponent (search text). Run-time error 5 for an unknown kind.
ReferList referList(ado::Connection& connection, int kind, const QVariantList& parameters);
// Parts of items: code, name and the ten free-item values.
ReferList freeItemList(ado::Connection& connection, const QString& search);

} // namespace q7::host::ui
