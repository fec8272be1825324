#pragma once

#include "host/report/FilterDefinitions.h"
#include "platform/data/Ado.h"

#include <QString>

class QWidget;

// What F2 (or the small button) offers in a report's filter item: the
// parents, the components or the items of the account, a parent's versions,
// a calendar; nothing for the other items.
namespace q7::app::gui {

enum class FilterPick { None, Parent, Component, Item, Version, Date };

FilterPick pickOf(const host::report::ItemDefinition& definition);

// Opens the pick list (or the calendar) over the account and answers the
// value taken; empty when the user cancels. parentCode: the parent the
// versions are listed for.
QString pickValue(FilterPick pick, data::Connection& connection, const QString& current, const QString& parentCode, QWidget* parent);

} // namespace q7::app::gui
