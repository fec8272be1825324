#pragma once

#include "platform/ObjectRef.h"

#include <QImage>
#include <QString>
#include <QVariant>
#include <QVariantList>

// The early-bound interfaces of the host's shared service objects. The host
// registers objects implementing them under the class identifiers below; the
// component creates them by identifier and casts to these interfaces.
namespace q7 {

inline constexpr const char* CommonClassId = "Q7Host.Common";
inline constexpr const char* MessageClassId = "Q7Host.Message";
inline constexpr const char* ReferClassId = "Q7Host.Refer";
inline constexpr const char* ToolbarClassId = "Q7Host.Toolbar";
inline constexpr const char* PopupMenuClassId = "Q7Host.PopupMenu";
inline constexpr const char* TemplateClassId = "Q7Host.Template";
inline constexpr const char* RefreshInventoryClassId = "Q7Host.RefreshInventory";
inline constexpr const char* RefreshColumnClassId = "Q7Host.RefreshColumn";
inline constexpr const char* DropDownListClassId = "Q7Host.DropDownList";
inline constexpr const char* ColumnAuthClassId = "Q7Host.ColumnAuth";
inline constexpr const char* CalendarClassId = "Q7Host.Calendar";

// Text kinds of LoadString.
enum TextKind { TextLabel = 1, TextButton = 3 };

class ICommon {
public:
    virtual ~ICommon() = default;
    virtual bool IsBlank(const QVariant& text) = 0;
    virtual bool IsFilled(const QVariant& text) = 0;
    virtual bool IsTrue(const QVariant& flag) = 0;
    virtual int GetToolbarMode(QVariant& account) = 0;
    virtual QString GetHelpFilePath(const QVariant& login) = 0;
    virtual bool CallServer(const QVariant& target, const QString& operation, QVariant& result) = 0;
    virtual bool CallServerWithParams(const QVariant& target, const QString& operation, const QVariantList& names,
                                      const QVariantList& values, QVariant& result) = 0;
    virtual bool BeginTask(const QVariant& login, const QString& authorityId, int taskKind) = 0;
    virtual bool EndTask(const QVariant& login, const QString& authorityId, int taskKind) = 0;
    virtual QImage GetIcon(int number) = 0;
    virtual QString LoadString(int number, const QVariant& omitted = missingValue(), int kind = TextLabel) = 0;
    virtual bool CheckDate(QVariant& text, int flag) = 0;
    virtual void SetFormButtons(const Object& form, const QVariantList& buttons) = 0;
};

// Messages. The message is a resource number, whose "%s" placeholders are
// replaced in order by the elements of the argument array, or a text shown
// unchanged. Style, arguments and the fourth value may be omitted.
class IMessage {
public:
    virtual ~IMessage() = default;
    virtual QVariant ShowCheckMessage(const QVariant& message, const QVariant& style = missingValue(),
                                      const QVariant& arguments = missingValue(), const QVariant& extra = missingValue()) = 0;
    virtual QVariant ShowErrorMessage(const QVariant& message, const QVariant& style = missingValue(),
                                      const QVariant& arguments = missingValue(), const QVariant& extra = missingValue()) = 0;
    virtual QVariant ShowMessage(const QVariant& message, const QVariant& style = missingValue(),
                                 const QVariant& arguments = missingValue(), const QVariant& extra = missingValue()) = 0;
};

class IRefer {
public:
    virtual ~IRefer() = default;
    virtual void InitReferInfo(QVariant& record, int count) = 0;
    virtual void SetReferInfo(QVariant& record, int number, const QString& column, const QString& referKind,
                              const QString& filter) = 0;
    virtual bool ShowRefer(const QVariant& login, const QString& referKind, const QVariantList& parameters, QVariant& recordset,
                           QVariant& picked, int a, int b) = 0;
    virtual bool ShowFreeItemRefer(const QVariant& login, QVariant& itemCode, QVariant& freeValues, int a, QVariant& recordset,
                                   int b) = 0;
};

class IToolbar {
public:
    virtual ~IToolbar() = default;
    virtual QString AddKey() = 0;
    virtual QString StandardKey(const QString& button) = 0; // keys of the other standard buttons
    virtual void SetButtonEnabled(const Object& toolbar, const QString& key, bool enabled) = 0;
    virtual void AddImage(QVariant& imageList, int index, const QString& key, int bitmapNumber, int flag) = 0;
    virtual QVariant AddButton(QVariant& toolbar, const QString& key, const QString& caption, int style, const QVariant& image,
                               int a, int b, const QString& toolTip) = 0;
    virtual QVariant AddButtonMenu(const QVariant& button, const QString& key, const QString& caption) = 0;
};

class IPopupMenu {
public:
    virtual ~IPopupMenu() = default;
    virtual void CreateMenu(QVariant& menu, int flag) = 0;
    virtual void AddMenuEntry(QVariant& menu, int a, const QString& caption, int b) = 0;
    virtual void ShowMenu(const QVariant& menu, const QVariant& window, QVariant& chosen) = 0;
    // The voucher's popup-menu record: count, then entries of index and caption.
    virtual void InitMenuRecord(QVariant& record, int count) = 0;
    virtual void SetMenuRecord(QVariant& record, int index, const QString& caption) = 0;
};

// Builders of the configuration records that the voucher and maintenance
// libraries read. Records are plain variant maps.
class IRefreshInventory {
public:
    virtual ~IRefreshInventory() = default;
    virtual void Init(QVariant& record, const QString& hookName, int fieldCount) = 0;
    virtual void SetField(QVariant& record, int index, const QString& field, int resultColumn) = 0;
};
class IRefreshColumn {
public:
    virtual ~IRefreshColumn() = default;
    virtual void Init(QVariant& record, int sourceCount, int targetCount) = 0;
    virtual void SetSource(QVariant& record, int index, const QString& column) = 0;
    virtual void SetTarget(QVariant& record, int index, const QString& column) = 0;
    // A rule with one target column, given by its number (1) instead of an index.
    virtual void SetSingleTarget(QVariant& record, int number, const QString& column) = 0;
};
class IDropDownList {
public:
    virtual ~IDropDownList() = default;
    virtual void Init(QVariant& record, int count) = 0;
    virtual void SetEntry(QVariant& record, int index, const QString& column, int listKind) = 0;
    virtual QString TextToCode(const QString& text, int listKind) = 0;
};
class IColumnAuth {
public:
    virtual ~IColumnAuth() = default;
    virtual void Init(QVariant& record, int count) = 0;
    virtual void SetEntry(QVariant& record, int index, const QString& column, int authKind, bool flag) = 0;
};
class ITemplate {
public:
    virtual ~ITemplate() = default;
    virtual QVariant GetTemplate(const QVariant& account, const QString& voucherType) = 0;
};

} // namespace q7
