#include "host/process/ProcessHead.h"

#include "platform/AutomationError.h"
#include "platform/values/Values.h"

namespace q7::host::process {

ProcessHead::ProcessHead(const FormDefinition& definition) : form_(definition)
{
    for (const FieldDefinition& d : form_.fields) {
        Field f{d, QString(""), true, makeObject<ProcessItemState>()};
        f.state->sCardItemName = d.caption;
        fields_.insert(d.key.toLower(), f);
    }
}

const ProcessHead::Field& ProcessHead::field(const QString& key) const
{
    const auto found = fields_.find(values::trim(key).toLower());
    if (found == fields_.end())
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("The form has no field '%1'").arg(key));
    return *found;
}

ProcessHead::Field& ProcessHead::field(const QString& key)
{
    return const_cast<Field&>(static_cast<const ProcessHead*>(this)->field(key));
}

QVariant ProcessHead::ItemState(const QString& key, int) { return fromObject(field(key).state); }

void ProcessHead::EnableHead(const QString& key, bool enabled) { field(key).enabled = enabled; }

bool ProcessHead::dispatch(Access access, const QString& name, QVariantList& args, QVariant& result)
{
    if (!values::textEquals(name, QStringLiteral("headerText")))
        return false;
    if (access == Access::Let) {
        if (args.size() != 2)
            throw AutomationError(ErrWrongArgumentCount);
        setHeaderText(values::toText(args[0]), args[1]);
        return true;
    }
    if (args.size() != 1)
        throw AutomationError(ErrWrongArgumentCount);
    result = headerText(values::toText(args[0]));
    return true;
}

QVariant ProcessHead::headerText(const QString& key) const { return field(key).value; }

void ProcessHead::setHeaderText(const QString& key, const QVariant& value)
{
    // The control holds text, as a head field shows it.
    field(key).value = isEmpty(value) || isNull(value) ? QString("") : values::toText(value);
}

bool ProcessHead::isEnabled(const QString& key) const { return field(key).enabled; }

bool ProcessHead::hasField(const QString& key) const { return fields_.contains(values::trim(key).toLower()); }

const FieldDefinition& ProcessHead::definition(const QString& key) const { return field(key).definition; }

QSharedPointer<ProcessItemState> ProcessHead::state(const QString& key) const { return field(key).state; }

QStringList ProcessHead::keys() const
{
    QStringList keys;
    for (const FieldDefinition& d : form_.fields)
        keys.append(d.key);
    return keys;
}

} // namespace q7::host::process
