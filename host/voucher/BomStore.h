#pragma once

#include "host/voucher/BomChecks.h"
#include "host/voucher/BomDocument.h"

#include <QHash>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>

#include <memory>

#include <optional>
#include <unordered_map>

namespace q7::data {
class Connection;
}

namespace q7::host::db::procedures {
class Statement;
}

namespace q7::host::voucher {

// What a refused save tells the user: a message of the string table and its
// arguments ("%s" placeholders), or a plain text; and where, when it is one
// field's fault (line 0 the head, n the body's line n counted from 1).
struct Refusal {
    int message = 0;
    QVariantList arguments;
    QString text;
    int line = 0;
    QString field;
    bool byRules = false; // refused by the BOM rules (BomStore::problems lists them all)
};

struct SaveResult {
    bool saved = false;
    int bomId = 0;
    Refusal refusal;
};

// The voucher's server side over the account database: BOMs with their
// lines, options, remarks, substitutes, location designators and users.
// Every change runs in one transaction; a refused or failing change leaves
// the database as it was.
class BomStore {
public:
    explicit BomStore(data::Connection& connection);

    std::optional<BomDocument> load(int bomId) const;
    SaveResult save(const BomDocument& document);
    // Several saves as one: until the batch is committed nothing is kept, and
    // rolling it back undoes every save since it began.
    void beginBatch();
    void commitBatch();
    void rollbackBatch();
    bool remove(int bomId);

    // Navigation over BOM ids (0 when there is none).
    int first() const;
    int last() const;
    int next(int bomId) const;
    int previous(int bomId) const;
    // Runs a statement that answers one id in its first column (0 for none).
    int locate(const QString& sql) const;
    // The BOMs of an item, newest version first.
    QList<int> bomsOf(const QString& invCode) const;
    int mainBomOf(const QString& invCode, const QString& version = {}) const;
    // The item's main BOM in force on the date, as the explosions choose it
    // (of the item's parts, the first that has one); 0 for none.
    int mainBomInForce(const QString& invCode, const QString& date) const;
    // The highest main-BOM version of a part (0 for none).
    int highestVersion(int partId) const;
    // The stored BOM of a part with this type and version or identifier (0 for none).
    int findBom(int partId, int bomType, const QString& version, const QString& identCode) const;

    // An inventory's reference row: result columns 0 code, 1 additional
    // code, 2 name, 3 model and size, 6 unit, 7 unit name, 18 the free-item
    // flags ("true"/"false" × 10), 19 the free-item values (empty × 10),
    // 20 the user definitions (× 16). Empty when the item does not exist.
    QVariantList inventoryRow(const QString& invCode) const;
    QString wareHouseName(const QString& code) const;
    // The routing of a part valid on a date (0 for none), and whether a
    // routing has an operation of that sequence.
    int routingOf(int partId, const QString& date) const;
    bool hasOperation(int routingId, const QString& opSeq) const;
    QString departmentName(const QString& code) const;

    // Everything that keeps the document from being stored (the BOM rules,
    // then a cycle), all at once; empty when it may be saved.
    QList<Problem> problems(const BomDocument& document) const;
    // The part of an item with the free-item values of the fields ("" head
    // keys, "D" body keys); 0 when the account has none.
    int existingPartId(const QVariantMap& fields, const QString& prefix) const { return partIdOrZero(fields, prefix); }

private:
    void begin(); // a writing transaction
    void runSavepoint(const QString& sql) const; // a batch's savepoint statement, prepared once on the file
    int partId(const QVariantMap& fields, const QString& prefix, bool create);
    int partIdOrZero(const QVariantMap& fields, const QString& prefix) const;
    // The same by the part's texts: its code and ten free-item values.
    int partId(const QStringList& texts, bool create);
    int partIdOrZero(const QStringList& texts) const;
    QString partLabel(int partId) const;
    // The part of the document's line `line` (from 0): as the cycle check found it, else found or made.
    int componentId(const BomDocument& document, qsizetype line, const Fields& fields);
    // The parts of a document's line components as its cycle check found them (0 for none found),
    // so that its write does not look them up again.
    struct CheckedParts {
        const BomDocument* document = nullptr;
        QList<int> components;
    };
    mutable CheckedParts checked_;
    std::optional<Refusal> check(const BomDocument& document) const;
    // The path of a cycle the document would close, and the line (from 1) that closes it.
    struct Cycle {
        QStringList labels;
        int line = 0;
    };
    Cycle cycle(const BomDocument& document) const;
    AccountFacts facts() const;
    // Why the document's parent may have no main BOM of its own (it uses another part's as a common BOM), or empty.
    QString sharedFrom(const BomDocument& document) const;
    // Whether the account has the code, asking it once per code that exists (a code found stays found).
    bool exists(QSet<QString>& known, const char* sql, const QString& code) const;
    std::optional<std::array<bool, 10>> freeItemsOf(const QString& code) const;
    void closeOpenVersionsOnce();
    int write(const BomDocument& document);
    void removeLines(int bomId);

    data::Connection& connection_;
    QSqlDatabase& db_;
    bool batch_ = false;
    bool versionsClosed_ = false;
    bool held_ = false; // the batch holds the pack triggers (db::procedures::packs::holdTriggers)
    // The statements a BOM's every line runs, prepared once for the store's life.
    QSqlQuery& prepared(const QString& sql, const QVariantList& bound) const;
    mutable std::unordered_map<QString, QSqlQuery> prepared_; // a query answered stays where it is while others are prepared
    int preparedInt(const QString& sql, const QVariantList& bound) const; // the first column of the first row (0 for none)
    // Writes the rows whose `columns` values follow one another in `values` into "table (column, …)".
    void insertRows(const QString& tableAndColumns, int columns, const QVariantList& values) const;
    static constexpr int MaxRowsPerInsert = 64;
    // The file's many-row inserts, prepared once a batch (or a save) and bound value by value (not through the
    // general driver, which names every positional value anew); a server's go through prepared().
    mutable QHash<QString, std::shared_ptr<db::procedures::Statement>> embeddedInserts_;
    void insertEmbedded(const QString& sql, const QVariantList& values, qsizetype from, qsizetype count) const;
    mutable QHash<QString, std::array<bool, 10>> knownItems_; // an item's free items, by its code in capitals
    mutable QSet<QString> knownWareHouses_, knownDepartments_;
    QVariantList readInventoryRow(const QString& invCode) const;
    void forgetBatchLookups() const;
    // The connection's page cache and file map made small while a batch writes, its statements'
    // undo copies kept in memory, and all put back after it.
    static constexpr int BatchCacheKiB = 4096;
    void holdFewPages();
    void restorePages();
    struct PageSettings {
        qint64 cacheSize = 0, mmapSize = 0, tempStore = 0;
    };
    std::optional<PageSettings> pagesBefore_; // before the batch
    mutable QHash<QString, QVariantList> inventoryRows_; // read in the batch, by code as typed
    mutable QHash<QString, int> partIds_; // the parts found or made in the batch, by code and free items as searched
    // A name by its code (the statement's one parameter), read once in a batch.
    QString nameOf(QHash<QString, QString>& read, const QString& sql, const QString& code) const;
    mutable QHash<QString, QString> wareHouseNames_, departmentNames_; // read in the batch, by code as typed
};

// A line's quantity per parent unit as the voucher shows it (db::lineQuantity),
// 0 while the values typed give no number (a denominator of 0, a parent scrap of 100 %).
double componentQuantity(double qtyN, double qtyD, double compScrap, bool variable, double parentScrap);

} // namespace q7::host::voucher
