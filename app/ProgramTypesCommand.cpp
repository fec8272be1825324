#include "app/ProgramTypesCommand.h"

#include "app/OutputTable.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"
#include "platform/Values.h"

#include <cstdio>

namespace {

const char* const menuKeys[] = {"BO01001", "BO01002", "BO01003", "BO01004", "BO01005", "BO02000", "BO02001", "BO02002",
                                "BO02003", "BO02004", "BO02005", "BO02006", "BO02007", "BO02008", "BO02009", "BO02010"};

void printHelp()
{
    std::fputs("Usage: q7bom program-types [--format table|csv|json]\n"
               "Lists every menu key of the BOM module with the program type, voucher type\n"
               "and handler class that the component's program definition answers.\n",
               stdout);
}

} // namespace

int runProgramTypes(const QStringList& args)
{
    OutputTable::Format format = OutputTable::Format::Table;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--help")) {
            printHelp();
            return 0;
        }
        if (args[i] == QLatin1String("--format") && i + 1 < args.size() && OutputTable::parseFormat(args[i + 1], format)) {
            ++i;
            continue;
        }
        std::fprintf(stderr, "q7bom program-types: unexpected argument '%s' (see --help)\n", args[i].toUtf8().constData());
        return 2;
    }

    const q7::Object programDefine = q7::createObject(QStringLiteral("Q7BomLib.clsProgramDefine"));
    OutputTable table;
    table.headers = {QStringLiteral("menu"), QStringLiteral("program_type"), QStringLiteral("voucher_type"), QStringLiteral("handler")};
    for (const char* key : menuKeys) {
        QVariantList callArgs{QString::fromLatin1(key), QString(""), q7::emptyValue(), q7::emptyValue(), q7::nothing()};
        q7::callByName(programDefine, QStringLiteral("SetProgramType"), callArgs);
        const q7::Object handler = q7::toObject(callArgs[4]);
        table.rows.append({QString::fromLatin1(key), q7::values::toTextOrEmpty(callArgs[2]), q7::values::toTextOrEmpty(callArgs[3]),
                           handler ? QString::fromLatin1(handler->metaObject()->className()) : QString()});
    }
    table.print(format, stdout);
    return 0;
}
