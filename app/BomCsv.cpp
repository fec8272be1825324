#include "app/BomCsv.h"

#include "platform/AutomationError.h"

using namespace q7;

QStringList bomCsvColumns() { return bomCsvHeadColumns() + bomCsvLineColumns(); }

const QStringList& bomCsvHeadColumns()
{
    static const QStringList columns{QStringLiteral("cInvCode"),       QStringLiteral("InvFree_1"), QStringLiteral("InvFree_2"),
                                     QStringLiteral("BomType"),        QStringLiteral("Version"),   QStringLiteral("VersionDesc"),
                                     QStringLiteral("VersionEffDate"), QStringLiteral("IdentCode"), QStringLiteral("IdentDesc"),
                                     QStringLiteral("ParentScrap")};
    return columns;
}

const QStringList& bomCsvLineColumns()
{
    static const QStringList columns{QStringLiteral("DSortSeq"),      QStringLiteral("DInvCode"),      QStringLiteral("DInvFree_1"),
                                     QStringLiteral("DInvFree_2"),    QStringLiteral("DOpSeq"),        QStringLiteral("DBaseQtyN"),
                                     QStringLiteral("DBaseQtyD"),     QStringLiteral("DCompScrap"),    QStringLiteral("DFVFlag"),
                                     QStringLiteral("DWIPType"),      QStringLiteral("DPlanRate"),     QStringLiteral("DByproductFlag"),
                                     QStringLiteral("DAccuCostFlag"), QStringLiteral("DOptionalFlag"), QStringLiteral("DMutexRule"),
                                     QStringLiteral("DWhCode"),       QStringLiteral("DDeptCode"),     QStringLiteral("DEffBegDate"),
                                     QStringLiteral("DEffEndDate"),   QStringLiteral("DOffset"),       QStringLiteral("DRemark")};
    return columns;
}

QList<CsvRecord> parseCsvRecords(const QString& text)
{
    QList<CsvRecord> records;
    CsvRecord record;
    QString field;
    bool quoted = false, any = false, closed = false; // closed: the field's quotes are closed, only its end may follow
    int line = 1, quoteLine = 0;
    const auto refuse = [&](const char* what) { throw AutomationError(ErrBadCallOrArgument, QStringLiteral("line %1: %2").arg(line).arg(QLatin1String(what))); };
    const auto startRecord = [&] {
        if (!any && field.isEmpty() && record.fields.isEmpty())
            record.line = line;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
                closed = true;
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
        } else if (c == u'"') {
            if (closed || !field.isEmpty())
                refuse("a quote inside a field that does not begin with one (write it doubled, the field in quotes)");
            startRecord();
            quoted = true;
            quoteLine = line;
            any = true;
        } else if (c == u',') {
            startRecord();
            record.fields.append(field);
            field.clear();
            any = true;
            closed = false;
        } else if (c == u'\n' || c == u'\r') {
            closed = false;
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            if (any || !field.isEmpty()) {
                record.fields.append(field);
                records.append(record);
            }
            record = CsvRecord{};
            field.clear();
            any = false;
            ++line;
        } else {
            if (closed)
                refuse("text after a field's closing quote");
            startRecord();
            field += c;
            any = true;
        }
    }
    if (quoted)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("line %1: a quoted CSV field is not closed").arg(quoteLine));
    if (any || !field.isEmpty()) {
        record.fields.append(field);
        records.append(record);
    }
    return records;
}

QList<QStringList> parseCsv(const QString& text)
{
    QList<QStringList> records;
    for (const CsvRecord& record : parseCsvRecords(text))
        records.append(record.fields);
    return records;
}
