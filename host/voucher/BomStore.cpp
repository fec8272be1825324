#include "host/voucher/BomStore.h"

#include "host/voucher/LineKeys.h"
#include "host/voucher/CellText.h"
#include "host/db/procedures/BomGraph.h"
#include "host/db/procedures/Statement.h"
#include "host/db/procedures/packs/PackUpkeep.h"

#include "host/db/AccountDatabase.h"
#include "host/db/BomChanges.h"
#include "host/db/InForce.h"
#include "host/db/LineQuantity.h"
#include "host/db/PathBack.h"
#include "host/db/SqlInserter.h"
#include "platform/AutomationError.h"
#include "platform/ObjectRef.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"
#include "platform/data/Ado.h"
#include "platform/data/DatabaseError.h"

#include <QHash>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <cmath>

namespace q7::host::voucher {

namespace {

constexpr int MsgOwnComponent = 61311;  // 母件 [ %s ] 不能成为自己的子件：%s

QString free(int n) { return QStringLiteral("Free") + QString::number(n); }

QVariant orNull(const QVariant& v)
{
    const QString t = cellText(v);
    return t.isEmpty() ? QVariant() : QVariant(t);
}

QVariant numberOr(const QVariant& v, double fallback)
{
    const QString t = cellText(v);
    return t.isEmpty() ? QVariant(fallback) : QVariant(values::toDouble(t));
}

QVariant numberOrNull(const QVariant& v)
{
    const QString t = cellText(v);
    return t.isEmpty() ? QVariant() : QVariant(values::toDouble(t));
}

QSqlQuery run(QSqlDatabase& db, const QString& sql, const QVariantList& bound = {})
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (bound.isEmpty()) { // a server prepares only some statements (not SAVEPOINT)
        if (!query.exec(sql))
            q7::data::throwProviderError(query.lastError());
        return query;
    }
    if (!query.prepare(sql))
        q7::data::throwProviderError(query.lastError());
    for (const QVariant& v : bound)
        query.addBindValue(v);
    if (!query.exec())
        q7::data::throwProviderError(query.lastError());
    return query;
}

QList<QVariantMap> rowsOf(QSqlQuery& query)
{
    QList<QVariantMap> rows;
    const bool folded = query.driver()->dbmsType() == QSqlDriver::PostgreSQL; // the server folds names to lower case
    while (query.next()) {
        QVariantMap row;
        const QSqlRecord record = query.record();
        for (int i = 0; i < record.count(); ++i)
            row.insert(folded ? db::columnName(record.fieldName(i)) : record.fieldName(i), query.value(i).isNull() ? QVariant() : query.value(i));
        rows.append(row);
    }
    return rows;
}

QList<QVariantMap> rowsOf(QSqlQuery&& query) { return rowsOf(query); }

int intOf(QSqlQuery query)
{
    return query.next() && !query.value(0).isNull() ? query.value(0).toInt() : 0;
}

QString flagText(const QVariant& v) { return v.toInt() != 0 ? QStringLiteral("true") : QStringLiteral("false"); }

// A stored number as the voucher shows and the export writes it: 15 significant
// digits as a plain decimal (never "1e-05"), which an import reads back.
QString number(const QVariant& v)
{
    if (v.isNull())
        return QString();
    const double value = v.toDouble();
    const QString text = QString::number(value, 'g', 15);
    if (!text.contains(u'e') || !std::isfinite(value))
        return text;
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    return values::fixedText(value, 14 - exponent);
}

// Fills an item's description fields with a prefix ("" head, "D" body).
template <class Map>
void putItem(Map& fields, const QVariantMap& row, const QString& prefix, bool head)
{
    fields.insert(prefix + QStringLiteral("cInvCode").mid(head ? 0 : 1), row.value(QStringLiteral("InvCode")));
    fields.insert(prefix + QStringLiteral("cInvAddCode").mid(head ? 0 : 1), row.value(QStringLiteral("cInvAddCode")));
    fields.insert(prefix + QStringLiteral("cInvName").mid(head ? 0 : 1), row.value(QStringLiteral("cInvName")));
    fields.insert(prefix + QStringLiteral("cInvStd").mid(head ? 0 : 1), row.value(QStringLiteral("cInvStd")));
    fields.insert(prefix + QStringLiteral("cInvUnit").mid(head ? 0 : 1), row.value(QStringLiteral("cComUnitName")));
    fields.insert(prefix + QStringLiteral("cInvUnitName").mid(head ? 0 : 1), row.value(QStringLiteral("cComUnitName")));
    for (int n = 1; n <= 10; ++n) {
        fields.insert(prefix + QStringLiteral("InvFree_") + QString::number(n), row.value(free(n)).toString());
        fields.insert(prefix + QStringLiteral("BStrFree_") + QString::number(n), flagText(row.value(QStringLiteral("bConfigFree") + QString::number(n))));
    }
}

const QString itemColumns = QStringLiteral(
    "p.InvCode, i.cInvAddCode, i.cInvName, i.cInvStd, i.cComUnitName, p.Free1, p.Free2, p.Free3, p.Free4, p.Free5, p.Free6, p.Free7, "
    "p.Free8, p.Free9, p.Free10, i.bConfigFree1, i.bConfigFree2, i.bConfigFree3, i.bConfigFree4, i.bConfigFree5, i.bConfigFree6, "
    "i.bConfigFree7, i.bConfigFree8, i.bConfigFree9, i.bConfigFree10");

// The key of a body field for the item code: "DInvCode" (body) or "cInvCode" (head).
QString codeKey(const QString& prefix) { return prefix == QLatin1String("D") ? QStringLiteral("DInvCode") : QStringLiteral("cInvCode"); }
QString freeKey(const QString& prefix, int n)
{
    static const auto keys = [](const char* stem) {
        QStringList list;
        for (int k = 1; k <= 10; ++k)
            list.append(QString::fromLatin1(stem) + QString::number(k));
        return list;
    };
    static const QStringList body = keys("DInvFree_"), head = keys("InvFree_");
    if (n >= 1 && n <= 10)
        return (prefix == QLatin1String("D") ? body : head)[n - 1];
    return (prefix == QLatin1String("D") ? QStringLiteral("DInvFree_") : QStringLiteral("InvFree_")) + QString::number(n);
}

// A part as bas_part is searched for: the texts of its code and ten free-item values, by their keys.
template <class Map, class Key>
QStringList partTexts(const Map& fields, const QList<Key>& keys)
{
    QStringList texts;
    texts.reserve(keys.size());
    for (const Key& key : keys)
        texts.append(cellText(fields.value(key)));
    return texts;
}

// The keys of a part's code and free items ("" head keys, "D" body keys).
QStringList partKeys(const QString& prefix)
{
    QStringList keys{codeKey(prefix)};
    for (int n = 1; n <= 10; ++n)
        keys.append(freeKey(prefix, n));
    return keys;
}

QStringList partTexts(const QVariantMap& fields, const QString& prefix) { return partTexts(fields, partKeys(prefix)); }

// A line's part (body keys).
QStringList partTexts(const Fields& fields)
{
    static const QList<FieldKey> keys = [] {
        QList<FieldKey> list;
        for (const QString& key : partKeys(QStringLiteral("D")))
            list.append(key);
        return list;
    }();
    return partTexts(fields, keys);
}

// The texts as one key, as a batch keeps the parts it found or made.
QString partKey(const QStringList& texts)
{
    qsizetype size = texts.size();
    for (const QString& text : texts)
        size += text.size();
    QString key;
    key.reserve(size);
    for (const QString& text : texts) {
        key += text;
        key += u'\x1f';
    }
    return key;
}

QVariantList bindable(const QStringList& texts)
{
    QVariantList bound;
    bound.reserve(texts.size());
    for (const QString& text : texts)
        bound.append(text);
    return bound;
}

} // namespace

double componentQuantity(double qtyN, double qtyD, double compScrap, bool variable, double parentScrap)
{
    const double quantity = db::lineQuantity(qtyN, qtyD, compScrap, variable ? 1 : 0, parentScrap);
    return std::isfinite(quantity) ? quantity : 0.0;
}

BomStore::BomStore(data::Connection& connection) : connection_(connection), db_(connection.database()) {}

std::optional<BomDocument> BomStore::load(int bomId) const
{
    const QList<QVariantMap> heads = rowsOf(run(db_,
        QStringLiteral("SELECT b.*, t.ParentId, t.ParentScrap, ") + itemColumns +
            QStringLiteral(" FROM bom_bom b JOIN bom_parent t ON t.BomId = b.BomId AND t.SharingPartId IS NULL "
                           "JOIN bas_part p ON p.PartId = t.ParentId JOIN Inventory i ON i.cInvCode = p.InvCode WHERE b.BomId = ?"),
        {bomId}));
    if (heads.isEmpty())
        return std::nullopt;
    const QVariantMap& h = heads.first();
    BomDocument document;
    document.bomId = bomId;
    document.changeCount = db::changeCountOf(db_, bomId);
    putItem(document.head, h, QString(), true);
    document.head.insert(QStringLiteral("BomId"), bomId);
    document.head.insert(QStringLiteral("ParentId"), h.value(QStringLiteral("ParentId")));
    document.head.insert(QStringLiteral("ParentScrap"), number(h.value(QStringLiteral("ParentScrap"))));
    for (const char* key : {"Version", "VersionDesc", "VersionEffDate", "IdentCode", "IdentDesc", "CreateUser"})
        document.head.insert(QString::fromLatin1(key), cellText(h.value(QString::fromLatin1(key))));
    document.head.insert(QStringLiteral("BomType"), lists::codeToText(3, h.value(QStringLiteral("BomType"))));
    // The routing valid on the version date (a substitute BOM has none: today).
    const QString versionDate = cellText(h.value(QStringLiteral("VersionEffDate")));
    const int routing = routingOf(h.value(QStringLiteral("ParentId")).toInt(), versionDate.isEmpty() ? values::dateText(system::today()) : versionDate);
    document.head.insert(QStringLiteral("PRoutingId"), routing ? QString::number(routing) : QString(""));
    const double parentScrap = h.value(QStringLiteral("ParentScrap")).toDouble();

    const QList<QVariantMap> lines = rowsOf(run(db_,
        QStringLiteral("SELECT c.*, o.WhCode, o.DrawDeptCode, o.WIPType, o.Offset, o.PlanFactor, o.AccuCostFlag, o.OptionalFlag, o.MutexRule, "
                       "w.cWhName, d.cDepName, r.Remark, ") + itemColumns +
            QStringLiteral(" FROM bom_opcomponent c JOIN bas_part p ON p.PartId = c.ComponentId JOIN Inventory i ON i.cInvCode = p.InvCode "
                           "LEFT JOIN bom_opcomponentopt o ON o.OptionsId = c.OptionsId LEFT JOIN WareHouse w ON w.cWhCode = o.WhCode "
                           "LEFT JOIN Department d ON d.cDepCode = o.DrawDeptCode LEFT JOIN bom_opcomponentrmk r ON r.OpComponentId = c.OpComponentId "
                           "WHERE c.BomId = ? ORDER BY c.SortSeq, c.OpComponentId"),
        {bomId}));
    for (const QVariantMap& l : lines) {
        BomLine line;
        Fields& f = line.fields;
        putItem(f, l, QStringLiteral("D"), false);
        const int lineId = l.value(QStringLiteral("OpComponentId")).toInt();
        f.insert(QStringLiteral("OpComponentId"), lineId);
        f.insert(QStringLiteral("DSortSeq"), number(l.value(QStringLiteral("SortSeq"))));
        f.insert(QStringLiteral("DOpSeq"), cellText(l.value(QStringLiteral("OpSeq"))));
        f.insert(QStringLiteral("DBaseQtyN"), number(l.value(QStringLiteral("BaseQtyN"))));
        f.insert(QStringLiteral("DBaseQtyD"), number(l.value(QStringLiteral("BaseQtyD"))));
        f.insert(QStringLiteral("DCompScrap"), number(l.value(QStringLiteral("CompScrap"))));
        f.insert(QStringLiteral("DFVFlag"), lists::codeToText(2, l.value(QStringLiteral("FVFlag"))));
        f.insert(QStringLiteral("DWIPType"), lists::codeToText(1, l.value(QStringLiteral("WIPType"))));
        f.insert(QStringLiteral("DQty"), number(componentQuantity(l.value(QStringLiteral("BaseQtyN")).toDouble(), l.value(QStringLiteral("BaseQtyD")).toDouble(),
                                                                  l.value(QStringLiteral("CompScrap")).toDouble(), l.value(QStringLiteral("FVFlag")).toInt() == 1,
                                                                  parentScrap)));
        f.insert(QStringLiteral("DPlanRate"), number(l.value(QStringLiteral("PlanFactor"))));
        f.insert(QStringLiteral("DByproductFlag"), lists::codeToText(0, l.value(QStringLiteral("ByProductFlag"))));
        f.insert(QStringLiteral("DAccuCostFlag"), lists::codeToText(0, l.value(QStringLiteral("AccuCostFlag"))));
        f.insert(QStringLiteral("DOptionalFlag"), lists::codeToText(0, l.value(QStringLiteral("OptionalFlag"))));
        f.insert(QStringLiteral("DMutexRule"), lists::codeToText(4, l.value(QStringLiteral("MutexRule"))));
        f.insert(QStringLiteral("DWhCode"), cellText(l.value(QStringLiteral("WhCode"))));
        f.insert(QStringLiteral("DWhName"), cellText(l.value(QStringLiteral("cWhName"))));
        f.insert(QStringLiteral("DDeptCode"), cellText(l.value(QStringLiteral("DrawDeptCode"))));
        f.insert(QStringLiteral("DDeptName"), cellText(l.value(QStringLiteral("cDepName"))));
        f.insert(QStringLiteral("DEffBegDate"), cellText(l.value(QStringLiteral("EffBegDate"))));
        f.insert(QStringLiteral("DEffEndDate"), cellText(l.value(QStringLiteral("EffEndDate"))));
        f.insert(QStringLiteral("DOffset"), number(l.value(QStringLiteral("Offset"))));
        f.insert(QStringLiteral("DRemark"), cellText(l.value(QStringLiteral("Remark"))));
        for (const QVariantMap& s : rowsOf(run(db_, QStringLiteral("SELECT s.*, ") + itemColumns +
                                                        QStringLiteral(" FROM bom_opcomponentsub s JOIN bas_part p ON p.PartId = s.PartId "
                                                                       "JOIN Inventory i ON i.cInvCode = p.InvCode WHERE s.OpComponentId = ? ORDER BY s.Sequence"),
                                               {lineId}))) {
            QVariantMap sub;
            putItem(sub, s, QStringLiteral("D"), false);
            sub.insert(QStringLiteral("DSequence"), number(s.value(QStringLiteral("Sequence"))));
            sub.insert(QStringLiteral("DFactor"), number(s.value(QStringLiteral("Factor"))));
            sub.insert(QStringLiteral("DEffBegDate"), cellText(s.value(QStringLiteral("EffBegDate"))));
            sub.insert(QStringLiteral("DEffEndDate"), cellText(s.value(QStringLiteral("EffEndDate"))));
            sub.insert(QStringLiteral("DReplaceFlag"), lists::codeToText(0, s.value(QStringLiteral("ReplaceFlag"))));
            line.substitutes.append(sub);
        }
        for (const QVariantMap& loc : rowsOf(run(db_, QStringLiteral("SELECT Loc FROM bom_opcomponentloc WHERE OpComponentId = ? ORDER BY SortSeq"), {lineId})))
            line.locations.append(cellText(loc.value(QStringLiteral("Loc"))));
        document.lines.append(line);
    }
    for (const QVariantMap& u : rowsOf(run(db_, QStringLiteral("SELECT t.ParentScrap, ") + itemColumns +
                                                    QStringLiteral(" FROM bom_parent t JOIN bas_part p ON p.PartId = t.ParentId JOIN Inventory i ON "
                                                                   "i.cInvCode = p.InvCode WHERE t.BomId = ? AND t.SharingPartId IS NOT NULL ORDER BY p.InvCode, p.PartId"),
                                           {bomId}))) {
        QVariantMap user;
        putItem(user, u, QStringLiteral("D"), false);
        document.users.append(user);
    }
    return document;
}

QSqlQuery& BomStore::prepared(const QString& sql, const QVariantList& bound) const
{
    auto found = prepared_.find(sql);
    if (found == prepared_.end()) {
        QSqlQuery query(db_);
        query.setForwardOnly(true);
        if (!query.prepare(sql))
            q7::data::throwProviderError(query.lastError());
        found = prepared_.emplace(sql, std::move(query)).first;
    }
    QSqlQuery& query = found->second;
    query.finish();
    for (int i = 0; i < bound.size(); ++i)
        query.bindValue(i, bound[i]);
    if (!query.exec())
        q7::data::throwProviderError(query.lastError());
    if (!query.isSelect())
        query.finish(); // a write holds nothing open once it has run
    return query;
}

int BomStore::preparedInt(const QString& sql, const QVariantList& bound) const
{
    QSqlQuery& query = prepared(sql, bound);
    const int value = query.next() && !query.value(0).isNull() ? query.value(0).toInt() : 0;
    query.finish();
    return value;
}

// Rows of many values are written a few statements at a time: each statement runs the table's
// triggers and constraints and copies the pages it touches to undo it alone, once for all its rows.
// A statement holds a power of two of rows (at most MaxRowsPerInsert), so that a handful of
// prepared statements serve any count.
void BomStore::insertRows(const QString& tableAndColumns, int columns, const QVariantList& values) const
{
    qsizetype rowsLeft = values.size() / columns;
    qsizetype at = 0;
    while (rowsLeft > 0) {
        int rows = MaxRowsPerInsert;
        while (rows > rowsLeft)
            rows /= 2;
        QString sql = QStringLiteral("INSERT INTO ") + tableAndColumns + QStringLiteral(" VALUES ");
        const QString row = u'(' + QStringLiteral("?,").repeated(columns - 1) + QStringLiteral("?)");
        for (int r = 0; r < rows; ++r)
            sql += (r ? QStringLiteral(",") : QString()) + row;
        if (connection_.isEmbedded())
            insertEmbedded(sql, values, at, qsizetype(rows) * columns);
        else
            prepared(sql, values.mid(at, qsizetype(rows) * columns));
        at += qsizetype(rows) * columns;
        rowsLeft -= rows;
    }
}

namespace {
// Binds a value as the general driver binds it: no value or a null text as NULL, numbers as
// numbers, anything else as its text.
void bindValue(db::procedures::Statement& statement, int index, const QVariant& value)
{
    switch (value.metaType().id()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return; // an unbound value is NULL
    case QMetaType::QString:
        if (const QString& text = *static_cast<const QString*>(value.constData()); !text.isNull())
            statement.bind(index, text.toUtf8());
        return;
    case QMetaType::Double:
        statement.bind(index, value.toDouble());
        return;
    case QMetaType::Int:
    case QMetaType::Bool:
        statement.bind(index, value.toInt());
        return;
    default:
        if (!value.isNull())
            statement.bind(index, value.toString().toUtf8());
    }
}
} // namespace

void BomStore::insertEmbedded(const QString& sql, const QVariantList& values, qsizetype from, qsizetype count) const
{
    std::shared_ptr<db::procedures::Statement>& statement = embeddedInserts_[sql];
    if (!statement)
        statement = std::make_shared<db::procedures::Statement>(db::procedures::Database::embeddedOf(db::SqlInserter::handleOf(db_)), sql.toUtf8().constData());
    statement->reset();
    for (qsizetype i = 0; i < count; ++i)
        bindValue(*statement, int(i) + 1, values[from + i]);
    statement->next();
    statement->reset(); // holds nothing once it has run
}

int BomStore::partIdOrZero(const QVariantMap& fields, const QString& prefix) const { return partIdOrZero(partTexts(fields, prefix)); }

int BomStore::partIdOrZero(const QStringList& texts) const
{
    static const QString sql = [] {
        QString text = QStringLiteral("SELECT PartId FROM bas_part WHERE InvCode = ?");
        for (int n = 1; n <= 10; ++n)
            text += QStringLiteral(" AND ") + free(n) + QStringLiteral(" = ?");
        return text;
    }();
    const QString key = batch_ ? partKey(texts) : QString();
    if (batch_)
        if (const auto found = partIds_.constFind(key); found != partIds_.constEnd())
            return *found;
    QSqlQuery& query = prepared(sql, bindable(texts));
    const int id = query.next() && !query.value(0).isNull() ? query.value(0).toInt() : 0;
    query.finish();
    if (batch_ && id)
        partIds_.insert(key, id);
    return id;
}

int BomStore::partId(const QVariantMap& fields, const QString& prefix, bool create) { return partId(partTexts(fields, prefix), create); }

int BomStore::partId(const QStringList& texts, bool create)
{
    const int existing = partIdOrZero(texts);
    if (existing || !create)
        return existing;
    const int id = intOf(run(db_, QStringLiteral("SELECT max(PartId) FROM bas_part"))) + 1;
    run(db_, QStringLiteral("INSERT INTO bas_part (PartId, InvCode, Free1, Free2, Free3, Free4, Free5, Free6, Free7, Free8, Free9, Free10) "
                            "VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"),
        QVariantList{id} + bindable(texts));
    if (batch_)
        partIds_.insert(partKey(texts), id);
    return id;
}

int BomStore::componentId(const BomDocument& document, qsizetype line, const Fields& fields)
{
    if (checked_.document == &document && line < checked_.components.size())
        if (const int found = checked_.components[line])
            return found;
    return partId(partTexts(fields), true);
}

QString BomStore::partLabel(int partId) const
{
    const QList<QVariantMap> rows = rowsOf(run(db_, QStringLiteral("SELECT * FROM bas_part WHERE PartId = ?"), {partId}));
    if (rows.isEmpty())
        return QString::number(partId);
    QString label = cellText(rows.first().value(QStringLiteral("InvCode")));
    QStringList frees;
    for (int n = 1; n <= 10; ++n)
        if (const QString f = cellText(rows.first().value(free(n))); !f.isEmpty())
            frees.append(f);
    return frees.isEmpty() ? label : label + u'/' + frees.join(u'/');
}

BomStore::Cycle BomStore::cycle(const BomDocument& document) const
{
    // A line's parts' texts: its component and its substitutes, as the structure check counts them.
    const auto linesParts = [&](const BomLine& line) {
        QList<QStringList> parts{partTexts(line.fields)};
        for (const QVariantMap& substitute : line.substitutes)
            parts.append(partTexts(substitute, QStringLiteral("D")));
        return parts;
    };
    checked_ = {};
    const QStringList head = partTexts(document.head, QString());
    const int parent = partIdOrZero(head);
    if (parent == 0) { // a new part has no users yet: only a line of the part itself closes a cycle
        const auto same = [&](const QStringList& part) {
            return part.first().compare(head.first(), Qt::CaseInsensitive) == 0 && std::equal(part.cbegin() + 1, part.cend(), head.cbegin() + 1, head.cend());
        };
        for (int i = 0; i < document.lines.size(); ++i)
            for (const QStringList& part : linesParts(document.lines[i]))
                if (same(part)) {
                    QString label = cellText(document.head.value(QStringLiteral("cInvCode")));
                    for (int n = 1; n <= 10; ++n)
                        if (const QString f = cellText(document.head.value(freeKey(QString(), n))); !f.isEmpty())
                            label += u'/' + f;
                    return {{label, label}, i + 1};
                }
        return {};
    }
    QList<int> components;
    QList<int> lineOf; // the document's line of each component
    checked_ = {&document, {}};
    checked_.components.reserve(document.lines.size());
    for (int i = 0; i < document.lines.size(); ++i) {
        const BomLine& line = document.lines[i];
        const auto note = [&](int component) {
            if (component) {
                components.append(component);
                lineOf.append(i + 1);
            }
        };
        const int own = partIdOrZero(partTexts(line.fields));
        checked_.components.append(own);
        note(own);
        for (const QVariantMap& substitute : line.substitutes)
            note(partIdOrZero(substitute, QStringLiteral("D")));
    }
    // Only what the saved BOM reaches is read: its new lines, then the stored BOMs of the parts met.
    static const QString storedComponents = QStringLiteral(
        "SELECT c.ComponentId FROM bom_parent t JOIN bom_opcomponent c ON c.BomId = t.BomId "
        "WHERE t.ParentId = ? AND c.BomId <> ? "
        "UNION ALL SELECT s.PartId FROM bom_parent t JOIN bom_opcomponent c ON c.BomId = t.BomId "
        "JOIN bom_opcomponentsub s ON s.OpComponentId = c.OpComponentId WHERE t.ParentId = ? AND c.BomId <> ?");
    const auto componentsOf = [&](int part) {
        if (part == parent)
            return components;
        QList<int> found;
        QSqlQuery& stored = prepared(storedComponents, {part, document.bomId, part, document.bomId});
        while (stored.next())
            found.append(stored.value(0).toInt());
        stored.finish();
        return found;
    };
    const std::vector<int> path = db::pathBack(parent, componentsOf);
    if (path.empty())
        return {};
    Cycle found;
    for (int part : path)
        found.labels.append(partLabel(part));
    found.line = lineOf.value(components.indexOf(path[1]));
    return found;
}

AccountFacts BomStore::facts() const
{
    return {[this](const QString& code) { return freeItemsOf(code); },
            [this](const QString& code) { return exists(knownWareHouses_, "SELECT 1 FROM WareHouse WHERE cWhCode = ?", code); },
            [this](const QString& code) { return exists(knownDepartments_, "SELECT 1 FROM Department WHERE cDepCode = ?", code); }};
}

std::optional<std::array<bool, 10>> BomStore::freeItemsOf(const QString& code) const
{
    const QString key = code.toUpper();
    if (const auto found = knownItems_.constFind(key); found != knownItems_.constEnd())
        return *found;
    QSqlQuery q = run(db_, QStringLiteral("SELECT bConfigFree1, bConfigFree2, bConfigFree3, bConfigFree4, bConfigFree5, bConfigFree6, bConfigFree7, "
                                          "bConfigFree8, bConfigFree9, bConfigFree10 FROM Inventory WHERE cInvCode = ?"),
                      {code});
    if (!q.next())
        return std::nullopt;
    std::array<bool, 10> uses{};
    for (int n = 0; n < 10; ++n)
        uses[static_cast<size_t>(n)] = q.value(n).toInt() != 0;
    knownItems_.insert(key, uses);
    return uses;
}

bool BomStore::exists(QSet<QString>& known, const char* sql, const QString& code) const
{
    // codes compare without regard to case, as the account's columns do
    const QString key = code.toUpper();
    if (known.contains(key))
        return true;
    if (!run(db_, QString::fromLatin1(sql), {code}).next())
        return false;
    known.insert(key);
    return true;
}

QString BomStore::sharedFrom(const BomDocument& document) const
{
    if (lists::textToCode(3, cellText(document.head.value(QStringLiteral("BomType")))) == QLatin1String("2"))
        return {};
    const int parent = partIdOrZero(document.head, QString());
    if (!parent)
        return {};
    const int owner = preparedInt(QStringLiteral("SELECT o.ParentId FROM bom_parent t JOIN bom_parent o ON o.BomId = t.BomId AND o.SharingPartId IS NULL "
                                                 "WHERE t.ParentId = ? AND t.SharingPartId IS NOT NULL AND t.BomId <> ?"),
                                  {parent, document.bomId});
    if (!owner)
        return {};
    return QStringLiteral("母件 [ %1 ] 使用 %2 的公用BOM：先从公用BOM的使用者中去掉它").arg(partLabel(parent), partLabel(owner));
}

QList<Problem> BomStore::problems(const BomDocument& document) const
{
    QList<Problem> found = checkBom(document, facts());
    // a part that uses another part's BOM reads that one: a main BOM of its own would never be read
    if (const QString shared = sharedFrom(document); !shared.isEmpty())
        found.append({0, QStringLiteral("cInvCode"), shared});
    if (found.isEmpty()) { // a cycle is looked for among known items only
        if (const Cycle c = cycle(document); !c.labels.isEmpty())
            found.append({c.line, QStringLiteral("DInvCode"),
                          QStringLiteral("母件 [ %1 ] 不能成为自己的子件：%2").arg(c.labels.first(), c.labels.join(QStringLiteral(" → "))), MsgOwnComponent,
                          {c.labels.first(), c.labels.join(QStringLiteral(" → "))}});
    }
    return found;
}

std::optional<Refusal> BomStore::check(const BomDocument& document) const
{
    // the first of the problems, shown as the voucher shows a refusal: a string-table message with its
    // arguments, or the text with the row it is on
    const QList<Problem> found = problems(document);
    if (found.isEmpty())
        return std::nullopt;
    const Problem& first = found.first();
    const QString where = first.line ? QStringLiteral("第 %1 行 ").arg(first.line) : QString();
    return Refusal{first.number, first.arguments, first.number ? QString() : where + first.message, first.line, first.field, true};
}

void BomStore::closeOpenVersionsOnce()
{
    if (!versionsClosed_)
        db::closeOpenVersions(db_);
    versionsClosed_ = true;
}

SaveResult BomStore::save(const BomDocument& document)
{
    SaveResult result;
    checked_ = {};
    // Inside a batch a save is a savepoint, so that a refused BOM of the
    // batch sees the BOMs saved before it (a cycle across them is refused).
    if (batch_ && !held_ && connection_.isEmbedded()) // before the savepoint: what it holds lasts the batch
        held_ = db::procedures::packs::holdTriggers(db::SqlInserter::handleOf(db_));
    if (batch_)
        runSavepoint(QStringLiteral("SAVEPOINT bom_save"));
    else
        begin();
    try {
        // On a server the savers of an account take turns (new ids are the highest plus one); readers never wait.
        if (connection_.isServer())
            run(db_, QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(db::LineWritersLock));
        if (!batch_)
            closeOpenVersionsOnce();
        if (const auto refusal = check(document)) {
            result.refusal = *refusal;
        } else if (document.bomId != 0 && !db::claimChange(db_, document.bomId, document.changeCount)) {
            result.refusal.text = QStringLiteral("这个BOM在读取之后已被其他用户修改，本次保存未执行：请重新读取后再修改");
        } else {
            result.bomId = write(document);
            result.saved = true;
        }
        if (batch_ && !result.saved)
            partIds_.clear(); // the parts the refused save made are gone with it
        if (batch_)
            runSavepoint(result.saved ? QStringLiteral("RELEASE bom_save") : QStringLiteral("ROLLBACK TO bom_save"));
        else if (result.saved)
            db::procedures::packs::refresh(db_); // the packed BOMs the save dropped
        if (!batch_ && !result.saved)
            versionsClosed_ = false; // rolled back with the rest
        if (!batch_)
            embeddedInserts_.clear();
        if (!batch_ && !(result.saved ? db_.commit() : db_.rollback()))
            q7::data::throwProviderError(db_.lastError());
    } catch (...) {
        if (batch_) {
            partIds_.clear();
            runSavepoint(QStringLiteral("ROLLBACK TO bom_save"));
        } else {
            embeddedInserts_.clear();
            db_.rollback();
            versionsClosed_ = false;
        }
        throw;
    }
    return result;
}

void BomStore::runSavepoint(const QString& sql) const
{
    if (connection_.isEmbedded())
        prepared(sql, {});
    else // a server prepares no SAVEPOINT
        run(db_, sql);
}

void BomStore::begin()
{
    // On the file a writer takes the write lock before it reads what it
    // checks: a second writer waits for it (the connection's busy timeout)
    // instead of being refused the moment it first writes.
    if (connection_.isEmbedded())
        run(db_, QStringLiteral("BEGIN IMMEDIATE"));
    else if (!db_.transaction())
        q7::data::throwProviderError(db_.lastError());
}

// What a batch has looked up is its own: read again by the next one.
void BomStore::forgetBatchLookups() const
{
    inventoryRows_.clear();
    partIds_.clear();
    wareHouseNames_.clear();
    departmentNames_.clear();
    embeddedInserts_.clear(); // the connection may close only once its statements are gone
}

void BomStore::beginBatch()
{
    forgetBatchLookups();
    holdFewPages();
    begin();
    batch_ = true;
    if (connection_.isServer()) // the batch's saves take turns with other savers from here, as the repair below does
        run(db_, QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(db::LineWritersLock));
    closeOpenVersionsOnce();
}

void BomStore::commitBatch()
{
    batch_ = false;
    forgetBatchLookups();
    if (held_)
        db::procedures::packs::releaseTriggers(db::SqlInserter::handleOf(db_));
    held_ = false;
    db::procedures::packs::refresh(db_);
    const bool committed = db_.commit();
    const QSqlError error = db_.lastError();
    restorePages();
    if (!committed)
        q7::data::throwProviderError(error);
}

void BomStore::rollbackBatch()
{
    batch_ = false;
    forgetBatchLookups();
    held_ = false; // the rollback puts the triggers back
    versionsClosed_ = false;
    db_.rollback();
    restorePages();
}

// A batch writes far more pages than it reads again: the file's pages are held by neither the
// connection's cache (it keeps few, and writes the rest to the file as it fills) nor a map of
// the file while the batch runs; what the connection kept before comes back at its end.
// Within a BOM's savepoint each statement that runs triggers copies the pages it touches to an
// undo journal of its own, a temporary file by default (a system call a page): the batch keeps
// that journal, emptied at each BOM's release, and the held keys' tables in memory. The setting
// may change only outside a transaction and drops the connection's temporary tables: the batch
// sets it before it begins (none are held then) and puts it back after the commit or the rollback.
void BomStore::holdFewPages()
{
    if (!connection_.isEmbedded() || pagesBefore_)
        return;
    const auto setting = [&](const QString& pragma) {
        QSqlQuery query = run(db_, QStringLiteral("PRAGMA ") + pragma);
        return query.next() ? query.value(0).toLongLong() : 0;
    };
    pagesBefore_ = PageSettings{setting(QStringLiteral("cache_size")), setting(QStringLiteral("mmap_size")), setting(QStringLiteral("temp_store"))};
    run(db_, QStringLiteral("PRAGMA cache_size = -%1").arg(BatchCacheKiB));
    run(db_, QStringLiteral("PRAGMA mmap_size = 0"));
    run(db_, QStringLiteral("PRAGMA temp_store = MEMORY"));
}

void BomStore::restorePages()
{
    if (!pagesBefore_)
        return;
    run(db_, QStringLiteral("PRAGMA cache_size = %1").arg(pagesBefore_->cacheSize));
    run(db_, QStringLiteral("PRAGMA mmap_size = %1").arg(pagesBefore_->mmapSize));
    run(db_, QStringLiteral("PRAGMA temp_store = %1").arg(pagesBefore_->tempStore));
    pagesBefore_.reset();
}

void BomStore::removeLines(int bomId)
{
    const QString lines = QStringLiteral("(SELECT OpComponentId FROM bom_opcomponent WHERE BomId = ?)");
    prepared(QStringLiteral("DELETE FROM bom_opcomponentsub WHERE OpComponentId IN ") + lines, {bomId});
    prepared(QStringLiteral("DELETE FROM bom_opcomponentloc WHERE OpComponentId IN ") + lines, {bomId});
    prepared(QStringLiteral("DELETE FROM bom_opcomponentrmk WHERE OpComponentId IN ") + lines, {bomId});
    prepared(QStringLiteral("DELETE FROM bom_opcomponentopt WHERE OptionsId IN (SELECT OptionsId FROM bom_opcomponent WHERE BomId = ?)"), {bomId});
    prepared(QStringLiteral("DELETE FROM bom_opcomponent WHERE BomId = ?"), {bomId});
}

int BomStore::write(const BomDocument& document)
{
    const QVariantMap& h = document.head;
    int bomId = document.bomId;
    // A substitute BOM has no version and no dates of its own (what the voucher shows locked in those fields is not kept).
    const bool substitute = lists::textToCode(3, cellText(h.value(QStringLiteral("BomType")))).toInt() == 2;
    const QVariantList headValues{substitute ? 2 : 1,
                                  substitute ? QVariant() : numberOrNull(h.value(QStringLiteral("Version"))), orNull(h.value(QStringLiteral("VersionDesc"))),
                                  substitute ? QVariant() : orNull(h.value(QStringLiteral("VersionEffDate"))), orNull(h.value(QStringLiteral("IdentCode"))),
                                  orNull(h.value(QStringLiteral("IdentDesc"))), orNull(h.value(QStringLiteral("CreateUser")))};
    // A BOM takes over from its version date when it is new or its date moved; an edit of its lines does not.
    bool takesOver = bomId == 0;
    if (bomId == 0) {
        bomId = preparedInt(QStringLiteral("SELECT max(BomId) FROM bom_bom"), {}) + 1;
        // A new main BOM holds until a later version or a change ends it; a substitute BOM has no dates of its own.
        const QVariant endDate = headValues.first().toInt() == 1 ? QVariant(QString::fromLatin1(db::OpenEnd)) : QVariant();
        prepared(QStringLiteral("INSERT INTO bom_bom (BomType, Version, VersionDesc, VersionEffDate, IdentCode, IdentDesc, CreateUser, BomId, "
                                "VersionEndDate) VALUES (?,?,?,?,?,?,?,?,?)"),
            headValues + QVariantList{bomId, endDate});
    } else {
        QSqlQuery& was = prepared(QStringLiteral("SELECT VersionEffDate FROM bom_bom WHERE BomId = ?"), {bomId});
        takesOver = was.next() && was.value(0).toString() != headValues[3].toString();
        was.finish();
        if (takesOver) // it leaves its former date: the version it had ended gets its period back first
            for (const int reopened : db::withdrawVersion(db_, bomId))
                db::noteChange(db_, reopened);
        prepared(QStringLiteral("UPDATE bom_bom SET BomType = ?, Version = ?, VersionDesc = ?, VersionEffDate = ?, IdentCode = ?, IdentDesc = ?, "
                                "CreateUser = ?, VersionEndDate = CASE WHEN ? = 1 THEN coalesce(VersionEndDate, ?) ELSE VersionEndDate END WHERE BomId = ?"),
            headValues + QVariantList{headValues.first(), QString::fromLatin1(db::OpenEnd), bomId});
        removeLines(bomId);
    }
    const int parent = partId(h, QString(), true);
    prepared(QStringLiteral("DELETE FROM bom_parent WHERE BomId = ?"), {bomId});
    const QVariant parentScrap = numberOr(h.value(QStringLiteral("ParentScrap")), 0);
    prepared(QStringLiteral("INSERT INTO bom_parent (BomId, ParentId, ParentScrap, SharingPartId) VALUES (?,?,?,NULL)"), {bomId, parent, parentScrap});
    for (const QVariantMap& user : document.users)
        prepared(QStringLiteral("INSERT INTO bom_parent (BomId, ParentId, ParentScrap, SharingPartId) VALUES (?,?,?,?)"),
            {bomId, partId(user, QStringLiteral("D"), true), parentScrap, parent});

    if (takesOver)
        for (const int superseded : db::settleVersions(db_, bomId, [this](const QString& sql, const QVariantList& bound) -> QSqlQuery& { return prepared(sql, bound); }))
            db::noteChange(db_, superseded);

    int nextLine = preparedInt(QStringLiteral("SELECT max(OpComponentId) FROM bom_opcomponent"), {}) + 1;
    int nextOption = preparedInt(QStringLiteral("SELECT max(OptionsId) FROM bom_opcomponentopt"), {}) + 1;
    // The BOM's options, lines and remarks are each written by a few statements of many rows (insertRows).
    QVariantList options, lines, remarks;
    options.reserve(9 * document.lines.size());
    lines.reserve(13 * document.lines.size());
    qsizetype lineIndex = 0;
    using namespace lineKeys;
    for (const BomLine& line : document.lines) {
        const Fields& f = line.fields;
        const int lineId = nextLine++;
        const int optionsId = nextOption++;
        options << optionsId << orNull(f.value(whCode)) << orNull(f.value(deptCode))
                << orNull(lists::textToCode(1, cellText(f.value(wipType)))) << numberOrNull(f.value(offset))
                << numberOrNull(f.value(planRate)) << orNull(lists::textToCode(0, cellText(f.value(accuCostFlag))))
                << orNull(lists::textToCode(0, cellText(f.value(optionalFlag))))
                << orNull(lists::textToCode(4, cellText(f.value(mutexRule))));
        lines << lineId << bomId << componentId(document, lineIndex++, f) << optionsId << numberOrNull(f.value(sortSeq))
              << orNull(f.value(opSeq)) << numberOr(f.value(baseQtyN), 1)
              << numberOr(f.value(baseQtyD), 1) << numberOr(f.value(compScrap), 0)
              << (lists::textToCode(2, cellText(f.value(fvFlag))) == QLatin1String("0") ? 0 : 1)
              << (cellText(f.value(effBegDate)).isEmpty() ? QString::fromLatin1(db::OpenBegin) : cellText(f.value(effBegDate)))
              << (cellText(f.value(effEndDate)).isEmpty() ? QString::fromLatin1(db::OpenEnd) : cellText(f.value(effEndDate)))
              << (lists::textToCode(0, cellText(f.value(byproductFlag))) == QLatin1String("1") ? 1 : 0);
        if (const QString remark = cellText(f.value(lineKeys::remark)); !remark.isEmpty())
            remarks << lineId << remark;
    }
    insertRows(QStringLiteral("bom_opcomponentopt (OptionsId, WhCode, DrawDeptCode, WIPType, \"offset\", PlanFactor, AccuCostFlag, OptionalFlag, MutexRule)"),
               9, options);
    insertRows(QStringLiteral("bom_opcomponent (OpComponentId, BomId, ComponentId, OptionsId, SortSeq, OpSeq, BaseQtyN, BaseQtyD, CompScrap, FVFlag, "
                              "EffBegDate, EffEndDate, ByProductFlag)"),
               13, lines);
    insertRows(QStringLiteral("bom_opcomponentrmk (OpComponentId, Remark)"), 2, remarks);
    int lineId = nextLine - int(document.lines.size());
    for (const BomLine& line : document.lines) {
        for (const QVariantMap& s : line.substitutes)
            prepared(QStringLiteral("INSERT INTO bom_opcomponentsub (OpComponentId, PartId, Factor, EffBegDate, EffEndDate, Sequence, ReplaceFlag) "
                                    "VALUES (?,?,?,?,?,?,?)"),
                {lineId, partId(s, QStringLiteral("D"), true), numberOr(s.value(QStringLiteral("DFactor")), 1), orNull(s.value(QStringLiteral("DEffBegDate"))),
                 orNull(s.value(QStringLiteral("DEffEndDate"))), numberOrNull(s.value(QStringLiteral("DSequence"))),
                 lists::textToCode(0, cellText(s.value(QStringLiteral("DReplaceFlag")))) == QLatin1String("1") ? 1 : 0});
        for (int i = 0; i < line.locations.size(); ++i)
            prepared(QStringLiteral("INSERT INTO bom_opcomponentloc (OpComponentId, SortSeq, Loc) VALUES (?,?,?)"), {lineId, i + 1, line.locations[i]});
        ++lineId;
    }
    return bomId;
}

bool BomStore::remove(int bomId)
{
    begin();
    try {
        if (connection_.isServer())
            run(db_, QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(db::LineWritersLock));
        for (const int reopened : db::withdrawVersion(db_, bomId))
            db::noteChange(db_, reopened);
        removeLines(bomId);
        run(db_, QStringLiteral("DELETE FROM bom_parent WHERE BomId = ?"), {bomId});
        const int removed = run(db_, QStringLiteral("DELETE FROM bom_bom WHERE BomId = ?"), {bomId}).numRowsAffected();
        db::procedures::packs::refresh(db_);
        if (!db_.commit())
            q7::data::throwProviderError(db_.lastError());
        return removed > 0;
    } catch (...) {
        db_.rollback();
        throw;
    }
}

int BomStore::first() const { return intOf(run(db_, QStringLiteral("SELECT min(BomId) FROM bom_bom"))); }
int BomStore::last() const { return intOf(run(db_, QStringLiteral("SELECT max(BomId) FROM bom_bom"))); }
int BomStore::next(int bomId) const { return intOf(run(db_, QStringLiteral("SELECT min(BomId) FROM bom_bom WHERE BomId > ?"), {bomId})); }
int BomStore::previous(int bomId) const { return intOf(run(db_, QStringLiteral("SELECT max(BomId) FROM bom_bom WHERE BomId < ?"), {bomId})); }

int BomStore::locate(const QString& sql) const
{
    const data::ResultSet rows = connection_.query(sql);
    if (rows.rows.isEmpty() || rows.rows.first().isEmpty() || isNull(rows.rows.first().first()))
        return 0;
    return values::toLong(rows.rows.first().first());
}

QList<int> BomStore::bomsOf(const QString& invCode) const
{
    QList<int> ids;
    QSqlQuery q = run(db_, QStringLiteral("SELECT b.BomId FROM bom_bom b JOIN bom_parent t ON t.BomId = b.BomId JOIN bas_part p ON p.PartId = t.ParentId "
                                           "WHERE p.InvCode = ? AND t.SharingPartId IS NULL ORDER BY b.BomType, b.Version DESC, b.BomId"),
                      {invCode});
    while (q.next())
        ids.append(q.value(0).toInt());
    return ids;
}

int BomStore::mainBomOf(const QString& invCode, const QString& version) const
{
    QString sql = QStringLiteral("SELECT b.BomId FROM bom_bom b JOIN bom_parent t ON t.BomId = b.BomId JOIN bas_part p ON p.PartId = t.ParentId "
                                 "WHERE p.InvCode = ? AND t.SharingPartId IS NULL AND b.BomType = 1");
    QVariantList bound{invCode};
    if (!version.isEmpty()) {
        sql += QStringLiteral(" AND b.Version = ?");
        bound.append(values::toDouble(version));
    }
    return intOf(run(db_, sql + QStringLiteral(" ORDER BY b.Version DESC, p.PartId LIMIT 1"), bound));
}

int BomStore::mainBomInForce(const QString& invCode, const QString& date) const
{
    QSqlQuery parts = run(db_, QStringLiteral("SELECT PartId FROM bas_part WHERE InvCode = ? ORDER BY PartId"), {invCode});
    db::procedures::BomGraph graph(connection_, date);
    while (parts.next())
        if (const int bom = graph.mainBom(parts.value(0).toInt()))
            return bom;
    return 0;
}

int BomStore::highestVersion(int partId) const
{
    return preparedInt(QStringLiteral("SELECT max(b.Version) FROM bom_bom b JOIN bom_parent t ON t.BomId = b.BomId "
                                      "WHERE t.ParentId = ? AND t.SharingPartId IS NULL AND b.BomType = 1"),
                       {partId});
}

int BomStore::findBom(int partId, int bomType, const QString& version, const QString& identCode) const
{
    if (bomType == 1)
        return preparedInt(QStringLiteral("SELECT min(b.BomId) FROM bom_bom b JOIN bom_parent t ON t.BomId = b.BomId "
                                          "WHERE t.ParentId = ? AND t.SharingPartId IS NULL AND b.BomType = 1 AND b.Version = ?"),
                           {partId, values::toDouble(version.isEmpty() ? QStringLiteral("0") : version)});
    return preparedInt(QStringLiteral("SELECT min(b.BomId) FROM bom_bom b JOIN bom_parent t ON t.BomId = b.BomId "
                                      "WHERE t.ParentId = ? AND t.SharingPartId IS NULL AND b.BomType = 2 AND b.IdentCode = ?"),
                       {partId, identCode});
}

QVariantList BomStore::inventoryRow(const QString& invCode) const
{
    if (batch_) { // a batch reads each item once
        if (const auto found = inventoryRows_.constFind(invCode); found != inventoryRows_.constEnd())
            return *found;
        return *inventoryRows_.insert(invCode, readInventoryRow(invCode));
    }
    return readInventoryRow(invCode);
}

QVariantList BomStore::readInventoryRow(const QString& invCode) const
{
    QSqlQuery& query = prepared(QStringLiteral("SELECT * FROM Inventory WHERE cInvCode = ?"), {invCode});
    const QList<QVariantMap> rows = rowsOf(query);
    query.finish();
    if (rows.isEmpty())
        return {};
    const QVariantMap& r = rows.first();
    QVariantList row(21);
    row[0] = r.value(QStringLiteral("cInvCode"));
    row[1] = r.value(QStringLiteral("cInvAddCode"));
    row[2] = r.value(QStringLiteral("cInvName"));
    row[3] = r.value(QStringLiteral("cInvStd"));
    row[6] = r.value(QStringLiteral("cComUnitName"));
    row[7] = r.value(QStringLiteral("cComUnitName"));
    QVariantList flags, frees, defines;
    for (int n = 1; n <= 10; ++n) {
        flags.append(flagText(r.value(QStringLiteral("bConfigFree") + QString::number(n))));
        frees.append(QString());
    }
    for (int n = 1; n <= 16; ++n)
        defines.append(cellText(r.value(QStringLiteral("cInvDefine") + QString::number(n))));
    row[18] = flags;
    row[19] = frees;
    row[20] = defines;
    return row;
}

int BomStore::routingOf(int partId, const QString& date) const
{
    static const QString sql = QStringLiteral("SELECT max(r.PRoutingId) FROM sfc_prouting r WHERE r.PartId = ? AND ") + db::lineInForceText("r", "?");
    return preparedInt(sql, {partId, date, date}); // a routing's dates hold as a line's do
}

bool BomStore::hasOperation(int routingId, const QString& opSeq) const
{
    return preparedInt(QStringLiteral("SELECT count(*) FROM sfc_proutingdetail WHERE PRoutingId = ? AND OpSeq = ?"), {routingId, opSeq}) > 0;
}

QString BomStore::wareHouseName(const QString& code) const
{
    return nameOf(wareHouseNames_, QStringLiteral("SELECT cWhName FROM WareHouse WHERE cWhCode = ?"), code);
}
QString BomStore::departmentName(const QString& code) const
{
    return nameOf(departmentNames_, QStringLiteral("SELECT cDepName FROM Department WHERE cDepCode = ?"), code);
}

QString BomStore::nameOf(QHash<QString, QString>& read, const QString& sql, const QString& code) const
{
    if (batch_) // a batch reads each name once
        if (const auto found = read.constFind(code); found != read.constEnd())
            return *found;
    QSqlQuery& q = prepared(sql, {code});
    const QString name = q.next() ? q.value(0).toString() : QString();
    q.finish();
    if (batch_)
        read.insert(code, name);
    return name;
}

} // namespace q7::host::voucher
