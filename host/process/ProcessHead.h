#pragma once

#include "host/process/ProcessFields.h"
#include "platform/LateBinding.h"
#include "platform/ObjectRef.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>

namespace q7::host::process {

// The state of one head field as the handlers read it: its name and a title
// that, when set, messages show instead of the name.
class ProcessItemState : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString sCardItemName MEMBER sCardItemName)
    Q_PROPERTY(QString sCardFormula1 MEMBER sCardFormula1)
public:
    QString sCardItemName;
    QString sCardFormula1;
};

// The parameter form's head-field control (`ctlProcess`): the fields of the
// form by key (ignoring case) with their values and enabled states.
// Late-bound: headerText(key) read and written, ItemState(key, 0), EnableHead(key, enabled).
// An unknown key is a run-time error 5.
class ProcessHead : public QObject, public DynamicDispatch {
    Q_OBJECT
public:
    explicit ProcessHead(const FormDefinition& definition);

    Q_INVOKABLE QVariant ItemState(const QString& key, int index);
    Q_INVOKABLE void EnableHead(const QString& key, bool enabled);

    bool dispatch(Access access, const QString& name, QVariantList& args, QVariant& result) override;

    QVariant headerText(const QString& key) const;
    void setHeaderText(const QString& key, const QVariant& value);
    bool isEnabled(const QString& key) const;
    bool hasField(const QString& key) const;
    const FieldDefinition& definition(const QString& key) const;
    QSharedPointer<ProcessItemState> state(const QString& key) const;
    QStringList keys() const; // in form order
    const FormDefinition& form() const { return form_; }

private:
    struct Field {
        FieldDefinition definition;
        QVariant value;
        bool enabled = true;
        QSharedPointer<ProcessItemState> state;
    };
    const Field& field(const QString& key) const;
    Field& field(const QString& key);

    FormDefinition form_;
    QHash<QString, Field> fields_; // by lower-case key
};

// One label of the form's description label array (`LabDesc`).
class ProcessLabel : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Caption MEMBER Caption)
public:
    QString Caption;
};

} // namespace q7::host::process
