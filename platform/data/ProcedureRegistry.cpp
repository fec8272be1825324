#include "platform/data/ProcedureRegistry.h"

#include <QHash>

namespace q7::data {

namespace {
QHash<QString, Procedure>& procedures()
{
    static QHash<QString, Procedure> registry;
    return registry;
}
} // namespace

void registerProcedure(const QString& name, Procedure procedure) { procedures().insert(name.toLower(), std::move(procedure)); }

const Procedure* findProcedure(const QString& name)
{
    const auto found = procedures().constFind(name.toLower());
    return found == procedures().cend() ? nullptr : &*found;
}

int ResultSet::columnIndex(const QString& name) const
{
    for (qsizetype i = 0; i < columns.size(); ++i)
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

} // namespace q7::data
