#include "host/CalendarPicker.h"

#include "host/ui/CalendarDialog.h"
#include "host/ui/DialogDriver.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

namespace q7::host {

QString CalendarPicker::Show(const QVariant&)
{
    const QString initial = values::toTextOrEmpty(initial_);
    const QDate date = QDate::fromString(initial, QStringLiteral("yyyy") + separator_ + QStringLiteral("MM") + separator_ + QStringLiteral("dd"));
    ui::CalendarDialog dialog(date.isValid() ? date : system::today(), title_);
    if (ui::runDialog(dialog) != QDialog::Accepted)
        return initial; // cancelled: the box keeps its text
    return dialog.selectedDate().toString(QStringLiteral("yyyy") + separator_ + QStringLiteral("MM") + separator_ + QStringLiteral("dd"));
}

} // namespace q7::host
