#pragma once

#include "host/MessagePresenter.h"
#include "host/voucher/BillInfo.h"
#include "host/voucher/BillManager.h"
#include "host/voucher/BomStore.h"
#include "host/voucher/VoucherControl.h"
#include "host/voucher/VoucherToolbar.h"
#include "platform/data/Ado.h"

#include <QEnableSharedFromThis>
#include <QObject>

#include <memory>

namespace q7::host::voucher {

// A voucher form of the voucher library: the BOM voucher ("BO11") or one of
// its entry forms ("BO51" substitutes, "BO52" location designators, "BO53"
// users of a common BOM). It owns the voucher control, the settings bag, the
// service object and the toolbar, raises its events on "EventHandler" for
// the bound handler, and applies the configuration the handler stores.
// User actions come in through the public members (the window and the
// command line call them as a person's typing and clicks).
class VoucherForm : public QObject, public QEnableSharedFromThis<VoucherForm> {
    Q_OBJECT
    Q_CLASSINFO("AutomationKind", "Form")
    Q_PROPERTY(QVariant ctlVoucher1 READ control)
    Q_PROPERTY(QVariant BillInfo READ billInfo)
    Q_PROPERTY(QVariant BillManager READ billManager)
    Q_PROPERTY(QVariant Toolbar1 READ toolbar)
    Q_PROPERTY(QVariant EventHandler READ eventHandler)
public:
    // A list form over an account database (a file path or connection string).
    static QSharedPointer<VoucherForm> create(const QString& vouType, const QString& account, const QString& user = QStringLiteral("demo"));

    // Binds the handler (its FormVoucher / FormVoucherEntry) and opens the
    // form: InitForm, InitMenu, the first state.
    void open(const Object& handler);
    // The form goes: it lets go of its handler (which holds the form in turn)
    // and of its entry form.
    void close();

    QVariant control() const { return fromObject(control_); }
    QVariant billInfo() const { return fromObject(info_); }
    QVariant billManager() const { return fromObject(manager_); }
    QVariant toolbar() const { return fromObject(toolbar_); }
    QVariant eventHandler() const { return fromObject(events_); }

    Q_INVOKABLE void ExecuteMenuTask(const QString& key);

    // ---- the same actions for automation (scripts), by name ----------------
    // Shows the item's main BOM (of the version, or the one in force); false when it has none.
    Q_INVOKABLE bool ShowBom(const QString& invCode, const QString& version = QString());
    // A head or body field typed as a person types it; "" when taken, else why not.
    Q_INVOKABLE QString TypeHead(const QString& key, const QVariant& value);
    Q_INVOKABLE QString TypeBody(int row, const QString& key, const QVariant& value);
    Q_INVOKABLE int AddRow() { return addRow(); }
    // Saves as the Save button does; "" when saved, else the message that refused it.
    Q_INVOKABLE QString Save();
    Q_INVOKABLE QVariant HeadText(const QString& key) const;
    Q_INVOKABLE QVariant BodyText(int row, const QString& key) const;
    Q_INVOKABLE int Rows() const;

    // ---- a person's actions; false when the voucher refused them ----------
    // An item field takes the free-item values picked with the item (the
    // inventory reference picks an item with its free items).
    bool typeHead(const QString& key, const QVariant& value, const QStringList& freeValues = {});
    bool typeBody(int row, const QString& key, const QVariant& value);
    int addRow();                          // the new row's number (from 1)
    // Body rows entered as typing enters them, each cell by typeBody's rules
    // (a cell that already reads as its value is not typed), but on the row in
    // memory: the handler hears of the rows once (the first row is selected,
    // each column edited once) rather than per cell, as its answer (whether a
    // column may be typed) follows the head, which rows do not change. Each
    // row is appended once entered; answers per row the keys refused.
    using Cells = QList<std::pair<QString, QString>>;
    QList<QStringList> enterRows(const QList<Cells>& rows);
    void selectRow(int row);               // from 1
    // The reference (F2 or the reference button) of a head field or a body
    // cell: the inventory list for an item field, else the handler's
    // HeadBrowUser / BodyBrowUser; a pick is entered as if typed.
    bool browseHead(const QString& key);
    bool browseBody(int row, const QString& key);
    bool isItemField(const QString& key) const;
    // The item's BOMs, newest first, found through the handler's locate
    // statement: the newest when another item's BOM is shown, the one before
    // the shown one when it is the item's own (after the oldest, the newest
    // again). False (nothing changes) when the item has no BOM or a voucher
    // is being entered.
    bool goToItem(const QString& invCode);
    // The inventory list for an item code field; the code picked, or invalid.
    QVariant pickItem(const QVariant& current) const;
    void popupMenu(int index);
    void runTask(const QString& key);      // a toolbar button the handler added
    bool save();
    // A bulk entry that goes on to its next BOM at once does not need the
    // saved BOM read back and shown (it is by default).
    void setShowSavedBom(bool show) { showSaved_ = show; }
    // Why the last save was refused (empty text when it was not): the
    // message shown and, when one field is at fault, where.
    const Refusal& lastRefusal() const { return lastRefusal_; }
    bool loadBom(int bomId);

    // ---- what the library computes ------------------------------------------
    QVariant computeBody(int row, const QString& key) const;
    QVariant computeBody(const Fields& row, const QString& key) const;
    QVariant computeHead(const QString& key) const;
    bool checkRequired();
    BomDocument document() const; // the voucher as shown
    void showDocument(const BomDocument& document);
    QVariantMap entryData();      // LoadVoucherEntryData
    bool prepareCopy(int bomId);  // BomCopy
    QVariantMap copyData() const; // LoadCopyData
    void openEntryForm(const QString& vouType, const Object& handler);

    VoucherControl& voucher() const { return *control_; }
    BillInfo& info() const { return *info_; }
    VoucherToolbar& buttons() const { return *toolbar_; }
    BomStore& store() const { return *store_; }
    data::Connection& connection() const { return *connection_; }
    QSharedPointer<VoucherForm> lastEntryForm() const { return entry_; }
    int currentRow() const { return currentRow_; }
    QString vouType() const { return info_->vouType; }
    // The help topic the handler named at InitHelp (0: none).
    int helpId() const { return helpId_; }

private:
    VoucherForm(const QString& vouType, std::shared_ptr<data::Connection> connection);
    void raise(const QString& event, QVariantList args = {});
    void setStatus(int status, const QString& key);
    void updateButtons();
    // The fields choosing an inventory in the key fills (the refresh lists whose first field is the key), with their values.
    QList<std::pair<QString, QVariant>> inventoryFields(const QString& key, const QString& code, const QStringList& freeValues) const;
    // The same fields as a record (a field named twice holds its last value), made once per item while
    // the store hands out the same inventory row (the rows of an import batch) and the configuration stands.
    const Fields& itemFields(const QString& key, const QString& code) const;
    // The fields a change of the key computes again (the column refresh lists naming it as a source).
    QStringList columnTargets(const QString& key) const;
    // A body cell typed into a row held in memory: typeBody's rules after the handler heard of the edit.
    // With `later`, the columns the cell's change computes again are noted there rather than computed
    // (computeLater then computes them once the row's cells are in); a column typed after the change that
    // computed it keeps its typed value.
    // The field is the key's interned number.
    using LaterColumns = QList<FieldKey>;
    bool typeInto(Fields& row, FieldKey field, const QString& key, const QVariant& value, LaterColumns* later = nullptr) const;
    void computeLater(Fields& row, const LaterColumns& later) const;
    // What the typing rules read of the handler's configuration, read again when it changes.
    struct InventoryEntry {
        QString field;
        int column = 0;
        QStringList numbered; // a group's fields (the field ends with "_"): field1, field2, …
    };
    struct ConfigRules {
        QHash<QString, QList<InventoryEntry>> inventory; // by the item field that fills them
        QHash<QString, QStringList> targets;             // by source column
        // What the rules above say of a body column, by its key's number (made as the columns are typed).
        struct Column {
            bool known = false;
            int dropDownKind = -1;  // dropDownKinds
            bool itemField = false; // filling fields from the inventory (inventory)
            QList<FieldKey> targets; // targets
        };
        mutable QList<Column> columns;
        QHash<QString, int> dropDownKinds;               // the list of a column with a drop-down, by column
        struct ItemFields {
            QVariantList inventory; // the row they were made of
            Fields fields;
        };
        mutable QHash<QString, ItemFields> itemFields; // by the item field and the code (itemFields)
    };
    static QList<std::pair<QString, QVariant>> fieldsOfInventory(const QList<InventoryEntry>& entries, const QVariantList& inventory);
    const ConfigRules& fromConfig() const;
    // A new row's defaults after the highest sort sequence, on the day given (today's date as text).
    Fields newRowValues(int sortSeq, const QString& today) const;
    Fields defaultRowValues(const QString& today) const;
    struct NewRow {
        quint64 configRead = 0;
        QString today, parentScrap;
        Fields values;
    };
    int highestSortSeq() const;
    static int sortSeqOf(const Fields& row);
    bool dropDownAccepts(const QString& key, QVariant& value) const;
    static bool dropDownAccepts(int listKind, QVariant& value); // -1: the column has no list
    const ConfigRules::Column& bodyColumn(FieldKey field, const QString& key) const;
    int dropDownKind(const QString& key) const;
    bool columnTypable(FieldKey key) const; // a body column that may be modified and is seen
    void addNew();
    void navigate(const QString& key);
    void applyColumnAuthority();
    bool saveEntry();
    Refusal bodyRefusal(const QList<PresentedMessage>& said) const;
    int locateBefore(const QString& invCode, int bomId); // the item's (any item's for "") BOM before bomId, 0 when none

    std::shared_ptr<data::Connection> connection_;
    bool showSaved_ = true;
    std::unique_ptr<BomStore> store_;
    QSharedPointer<VoucherControl> control_;
    QSharedPointer<BillInfo> info_;
    QSharedPointer<BillManager> manager_;
    QSharedPointer<VoucherToolbar> toolbar_;
    QSharedPointer<QObject> events_;
    Object handler_;
    QPointer<VoucherForm> owner_; // the list form of an entry form
    QSharedPointer<VoucherForm> entry_;
    BomDocument copy_;
    int currentRow_ = 0;
    int helpId_ = 0;
    Refusal lastRefusal_;
    qint64 loadedChange_ = 0; // the shown BOM's change counter when it was loaded
    mutable std::unique_ptr<ConfigRules> rules_;
    mutable quint64 rulesRead_ = 0;
    mutable std::unique_ptr<NewRow> newRow_; // a new row's defaults as last made
};

} // namespace q7::host::voucher
