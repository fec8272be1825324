#pragma once

#include "platform/AutomationError.h"

#include <QJSEngine>
#include <QJSValue>
#include <QVariant>
#include <QVariantList>

namespace q7::host::script {

// Converts between the script's values and the run-time's variants.
//   undefined <-> Empty          null <-> Null
//   Missing, Nothing (the script's two constants) <-> Missing, Nothing
//   boolean <-> Boolean          number <-> Long when whole and in range, else Double
//   string <-> String            Date <-> date (at midnight) or date and time
//   Array <-> array              plain object <-> map (by name)
//   an object of the run-time <-> its reference (a proxy whose members are late-bound)
// A function, or a variant that has no script form, is a type mismatch (13).
class ValueBridge {
public:
    explicit ValueBridge(QJSEngine& engine) : engine_(engine) {}

    // The prelude's support object: wrap(handle), makeDate, makeError, Missing, Nothing, Ref.
    void setSupport(const QJSValue& support) { support_ = support; }

    QJSValue toScript(const QVariant& value) const;
    QVariant toVariant(const QJSValue& value) const;
    QJSValue toScriptList(const QVariantList& values) const;
    QVariantList toVariantList(const QJSValue& array) const;

    // The script's exception for a run-time error: an Error with number and description.
    QJSValue error(const AutomationError& error) const;
    // A run-time error from what a script threw: its number and description
    // when it has them, else error 5 with the script's message.
    static AutomationError fromScriptError(const QJSValue& thrown);

    QJSEngine& engine() const { return engine_; }
    const QJSValue& support() const { return support_; }

private:
    QJSEngine& engine_;
    QJSValue support_;
};

} // namespace q7::host::script
