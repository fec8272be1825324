#pragma once

#include "platform/ObjectRef.h"

#include <QList>
#include <QString>

// The BOM module's menu as the host shows it, and what the component's
// program definition answers for an entry.
namespace q7::app::gui {

struct MenuEntry {
    QString key;     // "BO01001" …
    QString caption; // from the string table where it has one, else the definition's title
    QString group;   // the submenu the entry sits in
};

QList<MenuEntry> moduleMenu();

// The answer of clsProgramDefine.SetProgramType for a menu key: the program
// type (0 when the component does not know the key) and the handler it made.
struct ProgramAnswer {
    int programType = 0;
    QString voucherType;
    Object handler;
};
ProgramAnswer askProgramType(const QString& menuKey);

} // namespace q7::app::gui
