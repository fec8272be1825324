#include "support/FakeHost.h"

#include "frame/ModBOM.h"
#include "frame/Registration.h"
#include "handlers/clsBO01002.h"
#include "handlers/clsBO01003.h"
#include "handlers/clsBO01004.h"
#include "handlers/clsBO01005.h"
#include "handlers/clsBO01001.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/Framework.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

#include <gtest/gtest.h>

using namespace q7;
using namespace q7::component;
using fake::errorOf;

namespace {

struct ProgramType {
    QVariant type, vouType;
    Object handler;
};

ProgramType setProgramType(const QString& menuId)
{
    const Object define = createObject(QStringLiteral("Q7BomLib.clsProgramDefine"));
    QVariantList args{menuId, QString(""), 99, QStringLiteral("caller"), nothing()};
    callByName(define, QStringLiteral("SetProgramType"), args);
    return {args[2], args[3], toObject(args[4])};
}


} // namespace

TEST(ProgramDefine, AnswersEveryMenuKey)
{
    struct Row {
        const char* menu;
        int type;
        const char* vouType; // "caller" when left unchanged
        const char* handler; // "" when none
    };
    const Row rows[] = {
        {"BO02000", 2, "caller", ""},          {"BO01001", 3, "BO11", "clsBO01001"},   {"BO01002", 6, "BO61", "clsBO01002"},
        {"BO01003", 6, "BO62", "clsBO01003"},  {"BO01004", 6, "caller", "clsBO01004"}, {"BO01005", 6, "BO63", "clsBO01005"},
        {"BO02001", 8, "caller", ""},          {"BO02002", 8, "caller", ""},           {"BO02003", 5, "caller", "clsBO02003"},
        {"BO02006", 5, "caller", "clsBO02006"}, {"BO02010", 5, "caller", "clsBO02010"}, {"bo01001", 99, "caller", ""},
        {"BO0100", 99, "caller", ""},          {"", 99, "caller", ""},
    };
    for (const Row& row : rows) {
        const ProgramType answer = setProgramType(QString::fromLatin1(row.menu));
        EXPECT_EQ(answer.type.toInt(), row.type) << row.menu;
        EXPECT_EQ(answer.vouType.toString(), QString::fromLatin1(row.vouType)) << row.menu;
        EXPECT_EQ(answer.handler ? typeName(answer.handler.data()) : QString(),
                  QString::fromLatin1(row.handler))
            << row.menu;
    }
    EXPECT_NE(setProgramType(QStringLiteral("BO02004")).handler, setProgramType(QStringLiteral("BO02004")).handler);
}

TEST(ViewFactory, KeyRules)
{
    const Object factory = createObject(QStringLiteral("Q7BomLib.clsViewFactory"));
    auto* views = dynamic_cast<IViewFactory*>(factory.data());
    ASSERT_NE(views, nullptr);
    struct Case {
        const char* key;
        bool view;
    };
    const Case cases[] = {
        {"Morvex.Q7.BO.BO02001", true}, {"Morvex.Q7.xy.BO02002", true},  {"Morvex.Q7.##.BO02001", true},
        {"Morvex.Q7..BO02001", false},  {"Morvex.Q7.BO.BO02003", false}, {"morvex.Q7.BO.BO02001", false},
        {"Morvex.Q", false},            {"", false},                     {"Morvex.Q7.BO.BO02001 ", false},
    };
    for (const Case& c : cases) {
        const Object view = views->CreateView(QString::fromLatin1(c.key));
        EXPECT_EQ(!view.isNull(), c.view) << c.key;
        if (view) {
            EXPECT_NE(dynamic_cast<IFormView*>(view.data()), nullptr);
        }
    }
    // also reachable late-bound
    EXPECT_TRUE(isObject(call(factory, QStringLiteral("CreateView"), {QStringLiteral("Morvex.Q7.BO.BO02002")})));
}

TEST(BrowseView, EnterSetsModeFromMenuKey)
{
    const Object factory = createObject(QStringLiteral("Q7BomLib.clsViewFactory"));
    const Object view = dynamic_cast<IViewFactory*>(factory.data())->CreateView(QStringLiteral("Morvex.Q7.BO.BO02002"));
    auto* formView = dynamic_cast<IFormView*>(view.data());
    QVariant account = QStringLiteral("account"), key = QStringLiteral("BO02002");
    ModBOM::state().bOpenFilterOnActivate = false;
    EXPECT_TRUE(formView->Enter(account, key));
    EXPECT_TRUE(ModBOM::state().bWhereUsedMode);
    EXPECT_FALSE(ModBOM::state().bStructureMode);
    EXPECT_TRUE(ModBOM::state().bOpenFilterOnActivate);
    EXPECT_EQ(ModBOM::state().objAccount.toString(), QStringLiteral("account"));
    ModBOM::resetThread();
}

TEST(SetUpMethods, BindFormEventHandlerAndReplaceEarlierBinding)
{
    auto handler = objectCast<clsBO01001>(setProgramType(QStringLiteral("BO01001")).handler);
    auto listForm = makeObject<fake::Form>();
    auto entryForm = makeObject<fake::Form>();
    call(handler, QStringLiteral("FormVoucher"), {fromObject(listForm)});
    call(handler, QStringLiteral("FormVoucherEntry"), {fromObject(entryForm)});
    EXPECT_EQ(handler->listForm(), listForm);
    EXPECT_EQ(handler->entryForm(), entryForm);
    EXPECT_EQ(handler->events().object(), listForm->events);
    EXPECT_EQ(handler->entryEvents().object(), entryForm->events);
    EXPECT_EQ(listForm->eventHandlerReads, 1);

    auto another = makeObject<fake::Form>();
    call(handler, QStringLiteral("FormVoucher"), {fromObject(another)});
    EXPECT_EQ(handler->events().object(), another->events);
    EXPECT_EQ(boundSinkCount(listForm->events.data()), 0);
    EXPECT_EQ(handler->entryEvents().object(), entryForm->events); // the other slot is untouched
}

TEST(SetUpMethods, RefuseWhatIsNotAForm)
{
    for (const char* menu : {"BO01001", "BO01002", "BO01005"}) {
        const Object handler = setProgramType(QString::fromLatin1(menu)).handler;
        const QString method = QString::fromLatin1(menu) == QLatin1String("BO01001") ? QStringLiteral("FormVoucher") : QStringLiteral("FormProcess");
        EXPECT_EQ(errorOf([&] { call(handler, method, {fromObject(makeObject<fake::NotAForm>())}); }), ErrTypeMismatch) << menu;
        EXPECT_EQ(errorOf([&] { call(handler, method, {QStringLiteral("form")}); }), ErrTypeMismatch) << menu;
    }
    auto process = objectCast<ProcessHandler>(setProgramType(QStringLiteral("BO01003")).handler);
    auto form = makeObject<fake::Form>();
    call(process, QStringLiteral("FormProcess"), {fromObject(form)});
    EXPECT_EQ(process->events().object(), form->events);
}

TEST(SetUpMethods, ReportEventHandleBindsTheFilterItself)
{
    const Object handler = setProgramType(QStringLiteral("BO02005")).handler;
    auto filter = makeObject<fake::Filter>();
    call(handler, QStringLiteral("ReportEventHandle"), {fromObject(filter)});
    EXPECT_EQ(boundSinkCount(filter.data()), 1);
    EXPECT_FALSE(values::toBoolean(call(handler, QStringLiteral("IsMultiAngleReport"))));
    EXPECT_EQ(errorOf([&] { call(handler, QStringLiteral("ReportEventHandle"), {42}); }), ErrTypeMismatch);
}

TEST(Registration, EntryPointsPassToTheStandardServices)
{
    const ClassFactory factory = DllGetClassObject(QStringLiteral("q7bomlib.CLSBO02004"));
    ASSERT_TRUE(factory);
    EXPECT_EQ(typeName(factory().data()), QStringLiteral("clsBO02004"));
    EXPECT_FALSE(DllGetClassObject(QStringLiteral("Q7BomLib.clsLayout"))); // private classes are not published
    EXPECT_EQ(DllUnregisterServer(), 0);
    EXPECT_EQ(errorOf([] { createObject(QStringLiteral("Q7BomLib.clsProgramDefine")); }), ErrCannotCreateObject);
    EXPECT_EQ(DllRegisterServer(), 0);
    for (const ClassEntry& entry : q7bomlibClasses())
        EXPECT_TRUE(createObject(QString::fromLatin1(entry.classId))) << entry.classId;
    EXPECT_EQ(q7bomlibClasses().size(), 16u); // two frame classes, five handlers, eight reports, the splitter
}

TEST(BrowseView, EnterRefusedByTheInitializerChangesNothing)
{
    const Object factory = createObject(QStringLiteral("Q7BomLib.clsViewFactory"));
    const Object view = dynamic_cast<IViewFactory*>(factory.data())->CreateView(QStringLiteral("Morvex.Q7.BO.BO02001"));
    QVariant account = QStringLiteral("account"), noKey = QString("");
    ModBOM::state().bStructureMode = false;
    EXPECT_TRUE(dynamic_cast<IFormView*>(view.data())->Enter(account, noKey));
    EXPECT_FALSE(ModBOM::state().bStructureMode);
    EXPECT_FALSE(ModBOM::state().bOpenFilterOnActivate);
    EXPECT_FALSE(ModBOM::state().objAccount.isValid());
    ModBOM::resetThread();
}
