#pragma once

#include <QVariant>

// How the workbench treats a value of a report's row: a number (right-aligned,
// written as a number), nothing (an empty cell), or text.
namespace q7::app::gui {

bool isNumberCell(const QVariant& value);
bool isEmptyCell(const QVariant& value); // invalid, null, or the data layer's Null

} // namespace q7::app::gui
