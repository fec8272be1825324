#include "host/HostRegistration.h"

#include "host/CommonService.h"
#include "host/MessageService.h"
#include "host/RecordBuilders.h"
#include "host/CalendarPicker.h"
#include "host/PopupMenuService.h"
#include "host/ReferService.h"
#include "host/TemplateService.h"
#include "host/ToolbarService.h"
#include "host/ViewInitializer.h"
#include "host/process/ProcessLibrary.h"
#include "host/browse/AccountContext.h"
#include "host/browse/ColumnFormat.h"
#include "host/browse/StructureQuery.h"
#include "host/browse/VoucherTemplates.h"
#include "host/browse/WhereUsedQuery.h"
#include "host/db/procedures/AccountProcedures.h"
#include "host/voucher/BomServer.h"
#include "platform/ClassRegistry.h"
#include "platform/Framework.h"

namespace q7::host {

namespace {
template <typename T>
void add(const char* classId)
{
    ClassRegistry::instance().registerClass(QString::fromLatin1(classId), [] { return Object(makeObject<T>()); });
}
} // namespace

void registerHostServices()
{
    add<CommonService>(CommonClassId);
    add<MessageService>(MessageClassId);
    add<ReferService>(ReferClassId);
    add<ToolbarService>(ToolbarClassId);
    add<PopupMenuService>(PopupMenuClassId);
    add<TemplateService>(TemplateClassId);
    add<RefreshInventoryBuilder>(RefreshInventoryClassId);
    add<RefreshColumnBuilder>(RefreshColumnClassId);
    add<DropDownListBuilder>(DropDownListClassId);
    add<ColumnAuthBuilder>(ColumnAuthClassId);
    add<CalendarPicker>(CalendarClassId);
    add<ViewInitializer>(ViewInitializerClassId);
    add<process::ProcessLibrary>(process::ProcessLibraryClassId);
    add<browse::StructureQuery>(browse::StructureQueryClassId);
    add<browse::WhereUsedQuery>(browse::WhereUsedQueryClassId);
    add<browse::DataManager>(browse::DataManagerClassId);
    add<browse::DefaultDataSource>(browse::DataSourceClassId);
    add<browse::ColumnFormat>(browse::ColumnFormatClassId);
    add<browse::ResLog>(browse::ResLogClassId);
    add<browse::AccountContext>(browse::AccountContextClassId);
    db::procedures::registerAccountProcedures();
    voucher::registerVoucherClasses();
}

} // namespace q7::host
