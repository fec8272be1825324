#include "support/ScriptedRefer.h"

#include "frame/ModBOM.h"
#include "host/ReferService.h"
#include "platform/ClassRegistry.h"


ScriptedReferScope::ScriptedReferScope() : refer_(q7::makeObject<ScriptedRefer>())
{
    q7::component::ModBOM::state().refer = refer_;
    const q7::Object shared = refer_;
    q7::ClassRegistry::instance().registerClass(QString::fromLatin1(q7::ReferClassId), [shared] { return shared; });
}

ScriptedReferScope::~ScriptedReferScope()
{
    q7::component::ModBOM::state().refer.reset();
    q7::ClassRegistry::instance().registerClass(QString::fromLatin1(q7::ReferClassId),
                                                [] { return q7::Object(q7::makeObject<q7::host::ReferService>()); });
}
