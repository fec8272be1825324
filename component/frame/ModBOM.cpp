#include "frame/ModBOM.h"

#include "ui/clsLayout.h"

#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/ErrorsIgnored.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

#include <memory>

namespace q7::component {

namespace ModBOM {


namespace {

thread_local std::unique_ptr<ThreadState> threadState;

// Creates the service object on first use and keeps it in its slot.
template <typename Interface>
Interface& service(Object& slot, const char* classId)
{
    if (!slot)
        slot = createObject(QString::fromLatin1(classId));
    auto* typed = dynamic_cast<Interface*>(slot.data());
    if (!typed)
        throw AutomationError(ErrTypeMismatch);
    return *typed;
}

} // namespace

ThreadState& state()
{
    if (!threadState)
        threadState = std::make_unique<ThreadState>();
    return *threadState;
}

void resetThread() { threadState.reset(); }

ICommon& objCommon() { return service<ICommon>(state().common, CommonClassId); }
IMessage& objMessage() { return service<IMessage>(state().message, MessageClassId); }
IRefer& objRefer() { return service<IRefer>(state().refer, ReferClassId); }
IToolbar& objToolbar() { return service<IToolbar>(state().toolbar, ToolbarClassId); }
IPopupMenu& objPopupMenu() { return service<IPopupMenu>(state().popupMenu, PopupMenuClassId); }
ITemplate& objTemplate() { return service<ITemplate>(state().templ, TemplateClassId); }
IRefreshInventory& objRefreshInventory()
{
    return service<IRefreshInventory>(state().refreshInventory, RefreshInventoryClassId);
}
IRefreshColumn& objRefreshColumn()
{
    return service<IRefreshColumn>(state().refreshColumn, RefreshColumnClassId);
}
IDropDownList& objDropDownList()
{
    return service<IDropDownList>(state().dropDownList, DropDownListClassId);
}
IColumnAuth& objColumnAuth() { return service<IColumnAuth>(state().columnAuth, ColumnAuthClassId); }

Object objLayout()
{
    if (!state().objLayout)
        state().objLayout = makeObject<clsLayout>();
    return state().objLayout;
}

QString resText(int number, int kind) { return objCommon().LoadString(number, missingValue(), kind); }

void showError(const AutomationError& error) { objMessage().ShowMessage(error.description()); }

// Cosmetic throughout: a missing toolbar or toolbar mode only leaves the
// toolbars as the form was designed, so every step is tried on its own.
void ApplyToolbarStyle(const Object& form)
{
    system::setMousePointer(system::DefaultPointer);
    Object bar;
    Object classic;
    int mode = 0;
    ignoringErrors([&] { bar = toObject(getProperty(form, QStringLiteral("CTBCtrl1"))); });
    ignoringErrors([&] { classic = toObject(getProperty(form, QStringLiteral("Toolbar1"))); });
    ignoringErrors([&] {
        const Object common = createObject(QString::fromLatin1(CommonClassId)); // a new instance, as the routine asks
        auto* services = dynamic_cast<ICommon*>(common.data());
        if (!services)
            throw AutomationError(ErrTypeMismatch);
        mode = services->GetToolbarMode(state().objAccount);
    });
    if (mode != 1) {
        ignoringErrors([&] { call(bar, QStringLiteral("SetDisplayStyle"), {2}); });
        ignoringErrors([&] { letProperty(classic, QStringLiteral("Visible"), false); });
        ignoringErrors([&] { letProperty(bar, QStringLiteral("Visible"), true); });
        return;
    }
    bool alreadyMaker = false;
    ignoringErrors([&] { alreadyMaker = values::toLong(call(bar, QStringLiteral("GetToolbarStyle"))) == 1; });
    if (alreadyMaker)
        return;
    ignoringErrors([&] { call(bar, QStringLiteral("SetToolbar"), {fromObject(classic)}); });
    ignoringErrors([&] { letProperty(bar, QStringLiteral("SpecialEffect"), true); });
    ignoringErrors([&] { call(bar, QStringLiteral("SetDisplayStyle"), {1}); });
    ignoringErrors([&] { letProperty(classic, QStringLiteral("Visible"), false); });
    ignoringErrors([&] { letProperty(bar, QStringLiteral("Visible"), true); });
    ignoringErrors([&] { letProperty(bar, QStringLiteral("Top"), 0); });
}

void ShowCalendar(const Object& textBox, const QVariant& windowValue, int32_t left, int32_t top)
{
    const Object picker = createObject(QString::fromLatin1(CalendarClassId));
    call(picker, QStringLiteral("SetLeft"), {left});
    call(picker, QStringLiteral("SetTop"), {top});
    call(picker, QStringLiteral("SetSeparator"), {QStringLiteral("-")});
    call(picker, QStringLiteral("SetInitialDate"), {getProperty(textBox, QStringLiteral("Text"))});
    call(picker, QStringLiteral("SetTitle"), {resText(40084)});
    const QString picked = values::toTextOrEmpty(call(picker, QStringLiteral("Show"), {windowValue}));
    letProperty(textBox, QStringLiteral("Text"), picked);
    call(textBox, QStringLiteral("SetFocus"));
    letProperty(textBox, QStringLiteral("SelStart"), static_cast<int>(picked.size()));
}

QVariant SplitText(const QString& text, const QString& separator, bool bAfter)
{
    const int p = values::findText(text, separator, 1);
    if (p == 0)
        return text;
    if (bAfter)
        return values::right(text, static_cast<int>(text.size()) - p);
    return values::left(text, p - 1);
}

// Every step is tried on its own: a column that cannot be read loses its
// caption or width, a setting the grid lacks is skipped, and the grid still
// gets its header row and its redrawing back.
void InitGridHeader(const Object& grid, const Object& columnFormat)
{
    ignoringErrors([&] { letProperty(grid, QStringLiteral("Redraw"), false); });
    Object columns;
    int count = 0;
    ignoringErrors([&] { columns = toObject(getProperty(columnFormat, QStringLiteral("Columns"))); });
    ignoringErrors([&] { count = values::toLong(getProperty(columns, QStringLiteral("Count"))); });
    auto column = [&](int i) { return toObject(getProperty(columns, QStringLiteral("Item"), {i})); };

    QString header;
    for (int i = 1; i <= count; ++i)
        ignoringErrors([&] { header += values::toTextOrEmpty(getProperty(column(i), QStringLiteral("Caption"))) + u'|'; });
    if (!header.isEmpty())
        header.chop(1);

    ignoringErrors([&] { letProperty(grid, QStringLiteral("Cols"), count); });
    ignoringErrors([&] { letProperty(grid, QStringLiteral("Rows"), 2); });
    ignoringErrors([&] { letProperty(grid, QStringLiteral("FixedRows"), 1); });
    ignoringErrors([&] { letProperty(grid, QStringLiteral("FormatString"), header); });
    for (int i = 1; i <= count; ++i) {
        ignoringErrors([&] {
            const Object c = column(i);
            const bool shown = values::toBoolean(getProperty(c, QStringLiteral("Visible")));
            call(grid, QStringLiteral("SetColWidth"), {i - 1, shown ? getProperty(c, QStringLiteral("Width")) : QVariant(0)});
        });
        ignoringErrors([&] {
            call(grid, QStringLiteral("SetColAlignment"), {i - 1, getProperty(column(i), QStringLiteral("Alignment"))});
        });
    }
    ignoringErrors([&] { letProperty(grid, QStringLiteral("Row"), 0); });
    int cols = 0;
    ignoringErrors([&] { cols = values::toLong(getProperty(grid, QStringLiteral("Cols"))); });
    for (int c = 0; c < cols; ++c) {
        ignoringErrors([&] { letProperty(grid, QStringLiteral("Col"), c); });
        ignoringErrors([&] { letProperty(grid, QStringLiteral("CellAlignment"), 0); });
    }
    ignoringErrors([&] { letProperty(grid, QStringLiteral("FixedCols"), getProperty(columnFormat, QStringLiteral("FixedCols"))); });
    ignoringErrors([&] { letProperty(grid, QStringLiteral("Rows"), getProperty(grid, QStringLiteral("FixedRows"))); });
    ignoringErrors([&] { call(grid, QStringLiteral("SetRowHeight"), {0, 360}); });
    ignoringErrors([&] { letProperty(grid, QStringLiteral("RowHeightMin"), 300); });
    ignoringErrors([&] { letProperty(grid, QStringLiteral("Redraw"), true); });
}

} // namespace ModBOM

} // namespace q7::component
