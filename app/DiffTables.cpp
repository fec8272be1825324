#include "app/DiffTables.h"

#include "host/db/procedures/ProcedureSupport.h"

namespace q7::app {

using namespace q7::host::db::procedures;

namespace {

const QString& changeText(DiffChange change)
{
    static const QString texts[] = {QStringLiteral("相同"), QStringLiteral("新增"), QStringLiteral("删除"), QStringLiteral("修改")};
    return texts[static_cast<int>(change)];
}

// A number cell, or an empty one for a side without the line.
QVariant numberOn(const std::optional<DiffValues>& side, double DiffValues::*value)
{
    return side ? QVariant((*side).*value) : QVariant();
}
QVariant textOn(const std::optional<DiffValues>& side, QString DiffValues::*value)
{
    return side ? QVariant((*side).*value) : QVariant();
}
QVariant supplyOn(const std::optional<DiffValues>& side)
{
    return side ? QVariant(wipText(side->wipType)) : QVariant();
}

} // namespace

OutputTable diffLinesTable(const ExplosionDiff& diff, bool all)
{
    OutputTable table;
    table.headers = {QStringLiteral("变化"), QStringLiteral("层级"), QStringLiteral("路径"), QStringLiteral("子件编码"), QStringLiteral("子件名称"),
                     QStringLiteral("子件自由项1"), QStringLiteral("改变项")};
    for (const char* value : {"基本用量", "损耗率", "累计用量", "供应类型", "仓库", "说明"})
        for (const char* side : {"前", "后"})
            table.headers.append(QStringLiteral("%1%2").arg(QString::fromUtf8(value), QString::fromUtf8(side)));
    for (int i = 0; i < static_cast<int>(diff.lines.size()); ++i) {
        const DiffLine& line = diff.lines[static_cast<size_t>(i)];
        if (line.change == DiffChange::Same && !all)
            continue;
        table.rows.append({changeText(line.change), line.level, pathText(diff, i), line.code, line.name, line.free1, line.changed.join(u',')});
        QVariantList& row = table.rows.last();
        for (const auto& side : {line.before, line.after})
            row.append(numberOn(side, &DiffValues::baseQty));
        for (const auto& side : {line.before, line.after})
            row.append(numberOn(side, &DiffValues::scrap));
        for (const auto& side : {line.before, line.after})
            row.append(numberOn(side, &DiffValues::cumulative));
        for (const auto& side : {line.before, line.after})
            row.append(supplyOn(side));
        for (const auto& side : {line.before, line.after})
            row.append(textOn(side, &DiffValues::warehouse));
        for (const auto& side : {line.before, line.after})
            row.append(textOn(side, &DiffValues::note));
    }
    return table;
}

OutputTable diffTotalsTable(const ExplosionDiff& diff)
{
    OutputTable table;
    table.headers = {QStringLiteral("子件编码"), QStringLiteral("子件自由项1"), QStringLiteral("子件名称"), QStringLiteral("计量单位"),
                     QStringLiteral("累计用量前"), QStringLiteral("累计用量后"), QStringLiteral("差额")};
    for (const ComponentTotal& total : diff.totals)
        table.rows.append({total.code, total.free1, total.name, total.unit, total.before, total.after, total.after - total.before});
    return table;
}

} // namespace q7::app
