#pragma once

#include <QImage>
#include <QList>

namespace q7::component {

// The component's toolbar bitmaps, 16 × 16, by resource number.
namespace Bitmaps {

QList<int> numbers();
QImage bitmap(int number); // null image for an unknown number

} // namespace Bitmaps

} // namespace q7::component
