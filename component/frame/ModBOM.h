#pragma once

#include "platform/AutomationError.h"
#include "platform/HostServices.h"
#include "platform/ObjectRef.h"

#include <QString>
#include <QVariant>

#include <cstdint>

namespace q7::component {

// The component's shared module: the browse windows' shared state and the
// shared service objects, one set per user-interface thread, and the four
// routines the forms use.
namespace ModBOM {

struct ThreadState {
    // Browse state
    QVariant objAccount;
    bool bStructureMode = false;
    bool bWhereUsedMode = false;
    q7::Object objStructureQuery;
    q7::Object objWhereUsedQuery;
    QString strStructureRootKey;
    QString strWhereUsedRootKey;
    int32_t lStructureDescRow = 0;
    int32_t lWhereUsedDescRow = 0;
    bool bOpenFilterOnActivate = false;
    q7::Object objLayout;

    // Shared service objects, created on first use
    q7::Object common, message, refer, toolbar, popupMenu, templ, refreshInventory, refreshColumn, dropDownList,
        columnAuth;
};

// The calling thread's set of variables.
ThreadState& state();
// Drops the calling thread's variables (as when the thread ends).
void resetThread();

q7::ICommon& objCommon();
q7::IMessage& objMessage();
q7::IRefer& objRefer();
q7::IToolbar& objToolbar();
q7::IPopupMenu& objPopupMenu();
q7::ITemplate& objTemplate();
q7::IRefreshInventory& objRefreshInventory();
q7::IRefreshColumn& objRefreshColumn();
q7::IDropDownList& objDropDownList();
q7::IColumnAuth& objColumnAuth();

// The shared layout calculator (a clsLayout), made on first use.
q7::Object objLayout();

// Text of a resource of the component's string table, through objCommon.
QString resText(int number, int kind = q7::TextLabel);

// Shows a run-time error's description to the user through objMessage: how
// the browse windows' data-loading routines and handlers end on a failure.
void showError(const q7::AutomationError& error);

// Lets the form's maker toolbar take over the classic toolbar when the
// account's toolbar mode asks for it. Each step runs on when one fails: a
// form without one of the two toolbars, or a host that cannot tell its
// toolbar mode, keeps the toolbars as they are.
void ApplyToolbarStyle(const q7::Object& form);
// Shows the calendar picker at a point of the calling window and writes the
// picked date into the text box.
void ShowCalendar(const q7::Object& textBox, const QVariant& windowValue, int32_t left, int32_t top);
// The text before (bAfter False) or after the first occurrence of the
// separator (found ignoring case); the whole text when it does not occur.
QVariant SplitText(const QString& text, const QString& separator, bool bAfter);
// Sets up a grid's header row from a column-format object. Each step runs on
// when one fails: a column-format object without columns, or a grid that
// lacks one of the settings, leaves that part of the header as it was.
void InitGridHeader(const q7::Object& grid, const q7::Object& columnFormat);

} // namespace ModBOM

} // namespace q7::component
