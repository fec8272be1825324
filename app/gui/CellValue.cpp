#include "app/gui/CellValue.h"

#include "platform/ObjectRef.h"

namespace q7::app::gui {

bool isNumberCell(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int: case QMetaType::UInt: case QMetaType::LongLong: case QMetaType::ULongLong:
    case QMetaType::Double: case QMetaType::Float: case QMetaType::Short: case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

bool isEmptyCell(const QVariant& value) { return !value.isValid() || value.isNull() || isNull(value); }

} // namespace q7::app::gui
