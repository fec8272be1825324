#pragma once

#include "platform/ObjectRef.h"

#include <QObject>
#include <QVariant>

#include <memory>
#include <vector>

namespace q7::host::process {

class ProcessSession;

inline constexpr const char* ProcessLibraryClassId = "Q7Host.Process";

// The process library as the host's other code reaches it by class
// identifier: opens the parameter form of a maintenance menu key (with the
// menu's handler bound to it) and keeps it until it is closed.
// Late-bound: OpenForm(menu key, account path, user) → the form;
// CloseForm(form); FormCount.
class ProcessLibrary : public QObject {
    Q_OBJECT
    Q_PROPERTY(int FormCount READ formCount)
public:
    ProcessLibrary();
    ~ProcessLibrary() override;

    Q_INVOKABLE QVariant OpenForm(const QString& menuKey, const QString& accountPath, const QString& user);
    Q_INVOKABLE void CloseForm(const QVariant& form);
    int formCount() const { return static_cast<int>(sessions_.size()); }

private:
    std::vector<std::unique_ptr<ProcessSession>> sessions_;
};

} // namespace q7::host::process
