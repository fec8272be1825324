#include "host/process/ProcessLibrary.h"

#include "host/process/ProcessForm.h"

#include <algorithm>

namespace q7::host::process {

ProcessLibrary::ProcessLibrary() = default;
ProcessLibrary::~ProcessLibrary() = default;

QVariant ProcessLibrary::OpenForm(const QString& menuKey, const QString& accountPath, const QString& user)
{
    sessions_.push_back(std::make_unique<ProcessSession>(menuKey, accountPath, user));
    return fromObject(sessions_.back()->formObject());
}

void ProcessLibrary::CloseForm(const QVariant& form)
{
    const Object closing = toObject(form);
    std::erase_if(sessions_, [&](const std::unique_ptr<ProcessSession>& session) { return session->formObject() == closing; });
}

} // namespace q7::host::process
