#pragma once

#include "host/process/ProcessFields.h"
#include "host/process/ops/OperationResult.h"
#include "platform/ObjectRef.h"
#include "platform/data/Ado.h"

#include <QDate>
#include <QObject>
#include <QSharedPointer>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

namespace q7::host::process {

class ProcessHead;
class ProcessInfo;
class ProcessManager;
class ProcessLabel;

// A maintenance parameter form of the process library, as a model: the
// head fields (`ctlProcess`), the settings bag (`ProcessInfo`), the
// condition store (`ProcessManager`), the description labels (`LabDesc`)
// and the event source ("EventHandler") that the menu's handler binds.
// What the user does goes through here and raises the handler's events;
// the operation runs only when CheckValidate passes. Its window
// (ProcessFormWindow) only reads and writes this model.
class ProcessForm : public QObject {
    Q_OBJECT
    Q_CLASSINFO("AutomationKind", "Form")
    Q_PROPERTY(QVariant EventHandler READ eventHandler)
    Q_PROPERTY(QVariant ctlProcess READ headControl)
    Q_PROPERTY(QVariant ProcessInfo READ processInfo)
    Q_PROPERTY(QVariant ProcessManager READ processManager)
public:
    // The form of a maintenance menu key on the account database at the path,
    // for the user. Error 5 for a menu key without a form.
    ProcessForm(const QString& menuKey, const QString& accountPath, const QString& user);
    ~ProcessForm() override;

    Q_INVOKABLE QVariant LabDesc(int index);
    // What a user (or a script playing one) does at the form, late-bound:
    // EnterField(key, value) types into a field and answers "" when the value
    // is taken, else why not; RunOperation(dryRun) answers {done, headers,
    // rows, summary, runId}, done false when the handler refused the run.
    Q_INVOKABLE QString EnterField(const QString& key, const QVariant& value);
    Q_INVOKABLE QVariant RunOperation(bool dryRun);

    QVariant eventHandler() const { return fromObject(events_); }
    QVariant headControl() const;
    QVariant processInfo() const;
    QVariant processManager() const;

    const FormDefinition& definition() const { return definition_; }
    ProcessHead& head() { return *head_; }
    const ProcessHead& head() const { return *head_; }
    ProcessInfo& info() { return *info_; }
    data::Connection& connection() { return connection_; }
    const QString& user() const { return user_; }
    QString description() const; // LabDesc(0)'s caption
    int helpId() const { return helpId_; }

    // Raises InitForm and InitHelp (once the handler is bound), then fills
    // the free items' titles from the account.
    void initialize();

    // What the user types into a field: ColumnChanging (result 0 refuses the
    // value), the value, the inventory refresh of an item code, ColumnChanged.
    // False, with the reason, for a locked field, a text not in the field's
    // list, or a refused value.
    bool setField(const QString& key, const QVariant& value, QString* reason = nullptr);
    // The user asks for the field's reference list: ColumnBrowUser; a picked value is set as typed.
    void browse(const QString& key);
    // The texts of the field's drop-down list (empty for other fields).
    QStringList listTexts(const QString& key) const;

    // CheckValidate: true when the handler lets the operation start.
    bool validate();
    // Validates, then runs (or previews) the operation with the head values;
    // nothing when the handler refused (its message has been shown). A run
    // that wrote stores the form's conditions for the next time it opens.
    // ops::RefusedOperation for input the operation itself refuses.
    std::optional<ops::OperationResult> run(bool dryRun);

    // The date the operations read BOMs in force on (today unless set).
    void setOperationDate(const QDate& date) { operationDate_ = date; }
    // Who hears of a run's progress (rows written, rows in all).
    void setProgress(std::function<void(int64_t, int64_t)> progress) { progress_ = std::move(progress); }
    QString operationDate() const;

private:
    void refreshInventory(const QString& key);
    void fillFreeItemTitles();
    ops::OperationResult runOperation(bool dryRun);
    void storeConditions();

    FormDefinition definition_;
    QString user_;
    data::Connection connection_;
    Object events_;
    QSharedPointer<ProcessHead> head_;
    QSharedPointer<ProcessInfo> info_;
    QSharedPointer<ProcessManager> manager_;
    QSharedPointer<ProcessLabel> label_;
    int helpId_ = 0;
    QDate operationDate_;
    std::function<void(int64_t, int64_t)> progress_;
};

// The host's side of an opened form: the form, and the menu's handler made
// by the component's program definition (type 6) and set up with the form.
// Closing the session releases the handler, and with it the form.
class ProcessSession {
public:
    ProcessSession(const QString& menuKey, const QString& accountPath, const QString& user);
    ~ProcessSession();
    ProcessSession(const ProcessSession&) = delete;
    ProcessSession& operator=(const ProcessSession&) = delete;

    ProcessForm& form() { return *form_; }
    Object formObject() const { return form_; }
    const Object& handler() const { return handler_; }

private:
    QSharedPointer<ProcessForm> form_;
    Object handler_;
};

} // namespace q7::host::process
