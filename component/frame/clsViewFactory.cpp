#include "frame/clsViewFactory.h"

#include "browse/FrmBO02001.h"

namespace q7::component {

q7::Object clsViewFactory::CreateView(const QString& key)
{
    if (key.left(10) != QLatin1String("Morvex.Q7."))
        return {};
    const QString remainder = key.mid(12); // characters 11 and 12 are not examined
    if (remainder == QLatin1String(".BO02001") || remainder == QLatin1String(".BO02002"))
        return q7::makeObject<FrmBO02001>();
    return {};
}

} // namespace q7::component
