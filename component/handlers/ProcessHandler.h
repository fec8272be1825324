#pragma once

#include "platform/Events.h"

#include <QObject>
#include <QVariant>

#include <initializer_list>

namespace q7::component {

// What the four grid maintenance handlers share: the maintenance form and
// the binding of its event source, and the form members they reach by name.
class ProcessHandler : public QObject {
    Q_OBJECT
public:
    Q_INVOKABLE void FormProcess(const QVariant& frm);

    const q7::Object& form() const { return frmProcess_; }
    const q7::EventVariable& events() const { return objEvent; }

protected:
    // One field filled from the inventory reference: the result column that fills it.
    struct RefreshField {
        const char* field;
        int column;
    };
    // One entry of the form's inventory refresh list.
    struct RefreshEntry {
        const char* hook;
        std::initializer_list<RefreshField> fields;
    };

    // Whether a field key is the named one (keys compare ignoring case).
    static bool isKey(const QString& key, const char* name);

    q7::Object processInfo() const;
    q7::Object headControl() const;
    QVariant headText(const QString& key) const;
    void setHeadText(const QString& key, const QVariant& value) const;
    // The field's title in messages: sCardFormula1 when set, else sCardItemName.
    QString fieldTitle(const QString& key) const;
    QString fieldName(const QString& key) const;

    // Writes the inventory refresh list of the form's settings.
    void setRefreshInventoryList(std::initializer_list<RefreshEntry> entries) const;
    // Head code field blank, or one of the ten used free items blank (in
    // order 1 … 10): shows message 2509 with the field's title and answers false.
    bool checkItemWithFreeItems(const QString& codeKey, const QString& freePrefix, const QString& flagPrefix) const;
    // Shows message 2509 with the title.
    void showRequired(const QString& title) const;

    q7::Object frmProcess_;
    q7::EventVariable objEvent{this, QStringLiteral("objEvent")};
};

} // namespace q7::component
