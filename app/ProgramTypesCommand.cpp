#include "app/ProgramTypesCommand.h"

#include "app/CommandParser.h"
#include "app/OutputTable.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

#include <cstdio>

namespace q7::app {

namespace {

const char* const menuKeys[] = {"BO01001", "BO01002", "BO01003", "BO01004", "BO01005", "BO02000", "BO02001", "BO02002",
                                "BO02003", "BO02004", "BO02005", "BO02006", "BO02007", "BO02008", "BO02009", "BO02010"};

} // namespace

int runProgramTypes(const QStringList& args)
{
    CommandParser command(QStringLiteral("program-types"), QStringLiteral("[options]"),
                          QStringLiteral("Lists every menu key of the BOM module with the program type, voucher type\n"
                                         "and handler class that the component's program definition answers."));
    command.addOption({QStringLiteral("format"), QStringLiteral("table (default), csv or json."), QStringLiteral("FORMAT")});
    if (const auto done = command.parse(args))
        return *done;
    OutputTable::Format format = OutputTable::Format::Table;
    if (command.isSet(QStringLiteral("format")) && !OutputTable::parseFormat(command.value(QStringLiteral("format")), format))
        return command.refuse(QStringLiteral("--format takes table, csv or json, not '%1'").arg(command.value(QStringLiteral("format"))));

    const q7::Object programDefine = q7::createObject(QStringLiteral("Q7BomLib.clsProgramDefine"));
    OutputTable table;
    table.headers = {QStringLiteral("menu"), QStringLiteral("program_type"), QStringLiteral("voucher_type"), QStringLiteral("handler")};
    for (const char* key : menuKeys) {
        QVariantList callArgs{QString::fromLatin1(key), QString(""), q7::emptyValue(), q7::emptyValue(), q7::nothing()};
        q7::callByName(programDefine, QStringLiteral("SetProgramType"), callArgs);
        const q7::Object handler = q7::toObject(callArgs[4]);
        table.rows.append({QString::fromLatin1(key), q7::values::toTextOrEmpty(callArgs[2]), q7::values::toTextOrEmpty(callArgs[3]),
                           handler ? q7::typeName(handler.data()) : QString()});
    }
    table.print(format, stdout);
    return 0;
}

} // namespace q7::app
