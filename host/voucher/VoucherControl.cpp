#include "host/voucher/VoucherControl.h"

#include "host/voucher/VoucherXml.h"
#include "platform/AutomationError.h"
#include "platform/values/Values.h"

namespace q7::host::voucher {

VoucherControl::VoucherControl(QStringList headKeys, QStringList bodyKeys)
    : headKeys_(std::move(headKeys)), bodyKeys_(std::move(bodyKeys))
{
}

bool VoucherControl::dispatch(Access access, const QString& name, QVariantList& args, QVariant& result)
{
    if (values::textEquals(name, QStringLiteral("headerText"))) {
        if (access == Access::Let && args.size() == 2)
            setHeaderText(values::toText(args[0]), args[1]);
        else if (args.size() == 1)
            result = headerText(values::toText(args[0]));
        else
            throw AutomationError(ErrWrongArgumentCount);
        return true;
    }
    if (values::textEquals(name, QStringLiteral("bodyText"))) {
        if (access == Access::Let && args.size() == 3)
            setBodyText(values::toLong(args[0]), values::toText(args[1]), args[2]);
        else if (args.size() == 2)
            result = bodyText(values::toLong(args[0]), values::toText(args[1]));
        else
            throw AutomationError(ErrWrongArgumentCount);
        return true;
    }
    if (values::textEquals(name, QStringLiteral("ItemState")) && access != Access::Let && args.size() == 2) {
        itemState(values::toText(args[0]), values::toLong(args[1]));
        result = fromObject(states_.value({int(values::toLong(args[1])), values::toText(args[0])}));
        return true;
    }
    return false;
}

QVariant VoucherControl::bodyText(int row, const QString& key) const
{
    if (row < 1 || row > body_.size())
        throw AutomationError(9); // subscript out of range
    return body_[row - 1].values.value(key, QString());
}

void VoucherControl::setBodyText(int row, const QString& key, const QVariant& value)
{
    if (row < 1 || row > body_.size())
        throw AutomationError(9);
    body_[row - 1].values.insert(key, value);
}

bool VoucherControl::BodyRowIsEmpty(int row) const
{
    if (row < 1 || row > body_.size())
        return true;
    for (const auto& [key, value] : body_[row - 1].values.entries()) {
        if (!fillsRow(key) || isNull(value))
            continue;
        if (!values::trim(values::toTextOrEmpty(value)).isEmpty())
            return false;
    }
    return true;
}

bool VoucherControl::fillsRow(FieldKey key) const
{
    if (key.id() >= fillsRow_.size())
        fillsRow_.resize(FieldKey::count(), -1);
    signed char& fills = fillsRow_[key.id()];
    if (fills < 0) {
        const QString& name = key.name();
        fills = defaultKeys_.contains(name) || name.contains(QLatin1String("BStrFree_")) || name.startsWith(u'_') ||
                        name == QLatin1String("OpComponentId")
                    ? 0
                    : 1;
    }
    return fills == 1;
}

QVariantList VoucherControl::BodyColumns(const QVariant& keys) const
{
    QList<FieldKey> columns;
    for (const QString& key : keys.toStringList())
        columns.append(key);
    QVariantList rows;
    rows.reserve(body_.size());
    for (int r = 1; r <= body_.size(); ++r) {
        QVariantList values;
        if (!BodyRowIsEmpty(r)) {
            values.reserve(columns.size());
            for (const FieldKey key : columns)
                values.append(body_[r - 1].values.value(key, QString()));
        }
        rows.append(QVariant(values));
    }
    return rows;
}

int VoucherControl::bodyRows() const
{
    int count = 0;
    for (int r = 1; r <= rows(); ++r)
        count += BodyRowIsEmpty(r) ? 0 : 1;
    return count;
}

QString VoucherControl::QueryDataLineStatus(int row) const
{
    if (row < 1 || row > body_.size())
        return QString();
    return body_[row - 1].status;
}

void VoucherControl::setVoucherDataXML(const QVariant& head, const QVariant& body)
{
    const auto textOf = [](const QVariant& v) {
        if (isObject(v))
            return values::toTextOrEmpty(getProperty(toObject(v), QStringLiteral("xml")));
        return values::toTextOrEmpty(v);
    };
    const QList<QVariantMap> heads = rowsFromXml(textOf(head));
    const QList<QVariantMap> lines = rowsFromXml(textOf(body));
    head_ = heads.value(0);
    body_.clear();
    for (const QVariantMap& line : lines)
        body_.append({Fields::fromMap(line), QStringLiteral("A")});
}

void VoucherControl::ResetSigh()
{
    for (Row& row : body_)
        row.status.clear();
}

ItemState& VoucherControl::itemState(const QString& key, int section)
{
    auto& slot = states_[{section, key}];
    if (!slot) {
        slot = makeObject<ItemState>();
        slot->sFieldName2 = key;
    }
    return *slot;
}

ItemState& VoucherControl::bodyState(FieldKey key)
{
    if (key.id() >= bodyStates_.size())
        bodyStates_.resize(FieldKey::count());
    ItemState*& state = bodyStates_[key.id()];
    if (!state)
        state = &itemState(key.name(), Body);
    return *state;
}

int VoucherControl::appendRow(Fields values)
{
    body_.append({std::move(values), QStringLiteral("A")});
    return rows();
}

const Fields& VoucherControl::rowFields(int row) const
{
    static const Fields none;
    return row >= 1 && row <= body_.size() ? body_[row - 1].values : none;
}

void VoucherControl::replaceRow(int row, Fields values)
{
    if (row < 1 || row > body_.size())
        throw AutomationError(9);
    body_[row - 1].values = std::move(values);
}

void VoucherControl::removeRow(int row)
{
    if (row >= 1 && row <= body_.size())
        body_.removeAt(row - 1);
}

void VoucherControl::clear()
{
    head_.clear();
    body_.clear();
}

void VoucherControl::load(const QVariantMap& head, const QList<Fields>& body)
{
    head_ = head;
    body_.clear();
    for (const Fields& line : body)
        body_.append({line, QString()});
}

} // namespace q7::host::voucher
