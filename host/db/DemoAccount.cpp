#include "host/db/AccountDatabase.h"

#include "host/db/AccountSchema.h"
#include "host/db/SqlInserter.h"
#include "platform/AutomationError.h"
#include "platform/data/Ado.h"
#include "platform/data/DatabaseError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QStandardPaths>

namespace q7::host::db {

namespace {

struct ItemRow {
    const char* code;
    const char* name;
    const char* invStd;
    const char* unit;
    int attr;      // 1 purchased, 2 subcontracted, 3 made, 4 option class, 7 planning item
    int leadTime;
    int freeItems; // free items 1 … n in use
};

// Items of two product families: a bicycle (five levels down to steel) and an
// electric fan (option class, phantom base, planning item, PCB with designators).
constexpr ItemRow items[] = {
    {"BK-100", "自行车", "26寸", "辆", 3, 5, 1},
    {"BK-120", "自行车(出口型)", "26寸", "辆", 3, 5, 0},
    {"FR-200", "车架组件", "26寸", "套", 3, 3, 0},
    {"FR-210", "车架焊接件", "26寸", "套", 3, 2, 0},
    {"TB-300", "钢管", "Φ28×1.5", "根", 3, 1, 0},
    {"ST-400", "钢材", "Q235", "千克", 1, 7, 0},
    {"CH-900", "钢屑", "", "千克", 3, 0, 0},
    {"PT-220", "油漆", "醇酸", "升", 1, 3, 0},
    {"WH-200", "车轮组件", "26寸", "套", 3, 2, 0},
    {"RM-310", "轮圈", "26寸", "个", 2, 10, 0},
    {"SP-320", "辐条", "2.0mm", "根", 1, 5, 0},
    {"SP-321", "不锈钢辐条", "2.0mm", "根", 1, 5, 0},
    {"TY-330", "轮胎", "26×1.95", "条", 1, 5, 0},
    {"TY-331", "轮胎(加厚)", "26×2.10", "条", 1, 5, 0},
    {"HB-210", "车把(旧款)", "", "个", 1, 5, 0},
    {"HB-220", "车把(新款)", "", "个", 1, 5, 0},
    {"BL-200", "螺栓", "M8×40", "个", 1, 2, 0},
    {"BL-210", "防松螺栓", "M8×40", "个", 1, 2, 0},
    {"FN-100", "电风扇", "16寸", "台", 3, 4, 2},
    {"MT-200", "电机总成", "40W", "套", 3, 3, 0},
    {"CW-300", "漆包线", "0.5mm", "千克", 1, 7, 0},
    {"SW-300", "开关选项", "", "个", 4, 0, 0},
    {"SW-310", "按键开关", "", "个", 1, 3, 0},
    {"SW-320", "遥控开关", "", "个", 1, 3, 0},
    {"PC-300", "控制板", "", "块", 3, 2, 0},
    {"CP-400", "电容", "10uF", "个", 1, 5, 0},
    {"BS-200", "底座", "", "个", 3, 1, 0},
    {"PL-100", "风扇计划品", "", "台", 7, 0, 0},
};

// Parts: an item with its free-item values.
struct PartRow {
    const char* key; // how the BOM rows below name the part
    const char* code;
    const char* free1;
    const char* free2;
};
constexpr PartRow parts[] = {
    {"BK-100/红", "BK-100", "红", ""}, {"BK-100/蓝", "BK-100", "蓝", ""}, {"BK-120", "BK-120", "", ""},
    {"FR-200", "FR-200", "", ""},      {"FR-210", "FR-210", "", ""},      {"TB-300", "TB-300", "", ""},
    {"ST-400", "ST-400", "", ""},      {"CH-900", "CH-900", "", ""},      {"PT-220", "PT-220", "", ""},
    {"WH-200", "WH-200", "", ""},      {"RM-310", "RM-310", "", ""},      {"SP-320", "SP-320", "", ""},
    {"SP-321", "SP-321", "", ""},      {"TY-330", "TY-330", "", ""},      {"TY-331", "TY-331", "", ""},
    {"HB-210", "HB-210", "", ""},      {"HB-220", "HB-220", "", ""},      {"BL-200", "BL-200", "", ""},
    {"BL-210", "BL-210", "", ""},      {"FN-100/白", "FN-100", "白", "16寸"}, {"FN-100/黑", "FN-100", "黑", "16寸"},
    {"MT-200", "MT-200", "", ""},      {"CW-300", "CW-300", "", ""},      {"SW-300", "SW-300", "", ""},
    {"SW-310", "SW-310", "", ""},      {"SW-320", "SW-320", "", ""},      {"PC-300", "PC-300", "", ""},
    {"CP-400", "CP-400", "", ""},      {"BS-200", "BS-200", "", ""},      {"PL-100", "PL-100", "", ""},
};

struct BomRow {
    int id;
    const char* parent;
    int type;           // 1 main, 2 substitute
    int version;        // 0: none (substitute BOMs)
    const char* desc;
    const char* effDate;
    const char* endDate;
    const char* ident;  // substitute identifier
    double parentScrap; // percent
    int applyDId;       // engineering change line, 0 none
};
constexpr BomRow boms[] = {
    {1, "BK-100/红", 1, 1, "2020版", "2020-01-01", "2025-01-01", "", 0, 0},
    {2, "BK-100/红", 1, 2, "2025版", "2025-01-01", "2099-12-31", "", 2, 1},
    {3, "BK-100/红", 2, 0, "", nullptr, nullptr, "S1", 0, 0},
    {4, "BK-100/蓝", 1, 1, "标准版", "2020-01-01", "2099-12-31", "", 0, 0},
    {5, "FR-200", 1, 1, "标准", "2020-01-01", "2099-12-31", "", 0, 0},
    {6, "FR-210", 1, 1, "标准", "2020-01-01", "2099-12-31", "", 1, 0},
    {7, "TB-300", 1, 1, "标准", "2020-01-01", "2099-12-31", "", 0, 0},
    {8, "WH-200", 1, 1, "标准", "2020-01-01", "2099-12-31", "", 0, 0},
    {9, "FN-100/白", 1, 1, "标准", "2022-01-01", "2099-12-31", "", 0, 0},
    {10, "SW-300", 1, 1, "标准", "2022-01-01", "2099-12-31", "", 0, 0},
    {11, "MT-200", 1, 1, "标准", "2022-01-01", "2099-12-31", "", 0, 0},
    {12, "PC-300", 1, 1, "标准", "2022-01-01", "2099-12-31", "", 0, 0},
    {13, "PL-100", 1, 1, "计划BOM", "2022-01-01", "2099-12-31", "", 0, 0},
};

struct LineRow {
    int bom;
    int seq;
    const char* component;
    double qtyN, qtyD;
    double compScrap; // percent
    int fv;           // 0 fixed, 1 variable
    int wip;          // 1 backflush at receipt, 2 at operation, 3 issue, 4 phantom
    const char* wh;
    const char* dept;
    double planFactor; // percent; < 0: NULL
    const char* eff;
    const char* end;
    int byProduct;
    int optional;
    int mutex;
    const char* remark;
};
constexpr LineRow lines[] = {
    // 自行车 红, 2020版 (ended at 2025-01-01)
    {1, 10, "FR-200", 1, 1, 0, 1, 3, "02", "02", -1, "2020-01-01", "2025-01-01", 0, 0, 0, ""},
    {1, 20, "WH-200", 2, 1, 0, 1, 3, "02", "02", -1, "2020-01-01", "2025-01-01", 0, 0, 0, ""},
    {1, 30, "HB-210", 1, 1, 0, 1, 3, "01", "02", -1, "2020-01-01", "2025-01-01", 0, 0, 0, ""},
    // 自行车 红, 2025版: parent scrap 2%, handlebar changed mid-2025, lock bolts from 2027
    {2, 10, "FR-200", 1, 1, 0, 1, 3, "02", "02", -1, "2025-01-01", "2099-12-31", 0, 0, 0, ""},
    {2, 20, "WH-200", 2, 1, 0, 1, 3, "02", "02", 100, "2025-01-01", "2099-12-31", 0, 0, 0, "前后轮各一"},
    {2, 30, "HB-210", 1, 1, 0, 1, 3, "01", "02", -1, "2025-01-01", "2025-07-01", 0, 0, 0, "已停用"},
    {2, 40, "HB-220", 1, 1, 0, 1, 3, "01", "02", -1, "2025-07-01", "2099-12-31", 0, 0, 0, ""},
    {2, 50, "BL-200", 4, 1, 5, 0, 1, "01", "02", -1, "2025-01-01", "2099-12-31", 0, 0, 0, ""},
    {2, 60, "BL-210", 4, 1, 0, 0, 1, "01", "02", -1, "2027-01-01", "2099-12-31", 0, 0, 0, "2027年起"},
    {2, 70, "PT-220", 1, 2, 10, 1, 2, "01", "03", 80, "2025-01-01", "2099-12-31", 0, 0, 0, ""},
    // 自行车 红, substitute BOM S1
    {3, 10, "FR-200", 1, 1, 0, 1, 3, "02", "02", -1, "2000-01-01", "2099-12-31", 0, 0, 0, ""},
    {3, 20, "WH-200", 2, 1, 0, 1, 3, "02", "02", -1, "2000-01-01", "2099-12-31", 0, 0, 0, ""},
    {3, 30, "HB-220", 1, 1, 0, 1, 3, "01", "02", -1, "2000-01-01", "2099-12-31", 0, 0, 0, ""},
    // 自行车 蓝
    {4, 10, "FR-200", 1, 1, 0, 1, 3, "02", "02", -1, "2020-01-01", "2099-12-31", 0, 0, 0, ""},
    {4, 20, "WH-200", 2, 1, 0, 1, 3, "02", "02", -1, "2020-01-01", "2099-12-31", 0, 0, 0, ""},
    {4, 30, "HB-220", 1, 1, 0, 1, 3, "01", "02", -1, "2020-01-01", "2099-12-31", 0, 0, 0, ""},
    // 车架组件
    {5, 10, "FR-210", 1, 1, 0, 1, 3, "02", "01", -1, "2020-01-01", "2099-12-31", 0, 0, 0, ""},
    {5, 20, "PT-220", 3, 10, 5, 1, 2, "01", "03", -1, "2020-01-01", "2099-12-31", 0, 0, 0, "喷涂工序倒冲"},
    // 车架焊接件: parent scrap 1%
    {6, 10, "TB-300", 3, 1, 2, 1, 3, "02", "01", -1, "2020-01-01", "2099-12-31", 0, 0, 0, ""},
    // 钢管: steel in, swarf out as a by-product
    {7, 10, "ST-400", 6, 5, 0, 1, 3, "01", "01", -1, "2020-01-01", "2099-12-31", 0, 0, 0, ""},
    {7, 20, "CH-900", 1, 10, 0, 1, 1, "01", "01", -1, "2020-01-01", "2099-12-31", 1, 0, 0, "产出品"},
    // 车轮组件
    {8, 10, "RM-310", 1, 1, 0, 1, 3, "01", "02", -1, "2020-01-01", "2099-12-31", 0, 0, 0, ""},
    {8, 20, "SP-320", 36, 1, 3, 1, 3, "01", "02", 90, "2020-01-01", "2099-12-31", 0, 0, 0, ""},
    {8, 30, "TY-330", 1, 1, 0, 1, 3, "01", "02", -1, "2020-01-01", "2099-12-31", 0, 0, 0, ""},
    // 电风扇 白
    {9, 10, "MT-200", 1, 1, 0, 1, 3, "02", "02", -1, "2022-01-01", "2099-12-31", 0, 0, 0, ""},
    {9, 20, "SW-300", 1, 1, 0, 1, 3, "01", "02", -1, "2022-01-01", "2099-12-31", 0, 1, 1, "选配"},
    {9, 30, "PC-300", 1, 1, 0, 1, 3, "02", "02", -1, "2022-01-01", "2099-12-31", 0, 0, 0, ""},
    {9, 40, "BS-200", 1, 1, 0, 1, 4, "02", "02", -1, "2022-01-01", "2099-12-31", 0, 0, 0, "虚拟件"},
    // 开关选项: exactly one of two
    {10, 10, "SW-310", 1, 1, 0, 1, 3, "01", "02", -1, "2022-01-01", "2099-12-31", 0, 1, 1, ""},
    {10, 20, "SW-320", 1, 1, 0, 1, 3, "01", "02", -1, "2022-01-01", "2099-12-31", 0, 1, 1, ""},
    // 电机总成
    {11, 10, "CW-300", 1, 4, 4, 1, 3, "01", "01", -1, "2022-01-01", "2099-12-31", 0, 0, 0, ""},
    // 控制板: four capacitors with designators
    {12, 10, "CP-400", 4, 1, 0, 1, 1, "01", "02", -1, "2022-01-01", "2099-12-31", 0, 0, 0, "贴片"},
    // 风扇计划品: 60% white, 40% black
    {13, 10, "FN-100/白", 1, 1, 0, 1, 3, "03", "02", 60, "2022-01-01", "2099-12-31", 0, 0, 0, ""},
    {13, 20, "FN-100/黑", 1, 1, 0, 1, 3, "03", "02", 40, "2022-01-01", "2099-12-31", 0, 0, 4, ""},
};

QVariant text(const char* value) { return value && *value ? QVariant(QString::fromUtf8(value)) : QVariant(); }

} // namespace

QString defaultDemoPath()
{
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/q7bom/demo.db");
}

QString connectionStringFor(const QString& path)
{
    return isServerAccount(path) ? path : QStringLiteral("Data Source=") + data::quoteConnectionValue(path);
}

void createSchema(data::Connection& connection)
{
    QFile file(connection.isServer() ? QStringLiteral(":/q7host/schema-pg.sql") : QStringLiteral(":/q7host/schema.sql"));
    if (!file.open(QIODevice::ReadOnly))
        q7::data::throwProviderError(QStringLiteral("The account schema is missing"));
    connection.executeNative(QString::fromUtf8(file.readAll()));
}

namespace {

void fillDemoAccount(data::Connection& connection)
{
    createSchema(connection);
    QSqlDatabase& db = connection.database();
    SqlInserter::exec(db, "BEGIN");

    SqlInserter item(db, QStringLiteral("INSERT INTO Inventory (cInvCode, cInvAddCode, cInvName, cInvStd, cComUnitName, InvAttr, LeadTime, "
                                        "bConfigFree1, bConfigFree2, cInvDefine1) VALUES (?,?,?,?,?,?,?,?,?,?)"));
    for (const ItemRow& r : items)
        item.insert({QString::fromUtf8(r.code), QString::fromUtf8(r.code).remove(u'-'), QString::fromUtf8(r.name), text(r.invStd),
                     QString::fromUtf8(r.unit), r.attr, r.leadTime, r.freeItems >= 1 ? 1 : 0, r.freeItems >= 2 ? 1 : 0,
                     r.attr == 1 ? QVariant(QStringLiteral("外购")) : QVariant(QStringLiteral("自制"))});

    QHash<QString, int> partIds;
    SqlInserter part(db, QStringLiteral("INSERT INTO bas_part (PartId, InvCode, Free1, Free2) VALUES (?,?,?,?)"));
    int partId = 0;
    for (const PartRow& r : parts) {
        partIds.insert(QString::fromUtf8(r.key), ++partId);
        part.insert({partId, QString::fromUtf8(r.code), QString::fromUtf8(r.free1), QString::fromUtf8(r.free2)});
    }
    const auto partOf = [&](const char* key) {
        const int id = partIds.value(QString::fromUtf8(key));
        if (id == 0)
            q7::data::throwProviderError(QStringLiteral("Demo data names an unknown part %1").arg(QString::fromUtf8(key)));
        return id;
    };

    SqlInserter::exec(db, "INSERT INTO ecn_ecnapply VALUES (1, 'ECN-2025-001')");
    SqlInserter::exec(db, "INSERT INTO ecn_ecnapplydetail VALUES (1, 1, 1)");

    SqlInserter bom(db, QStringLiteral("INSERT INTO bom_bom (BomId, BomType, Version, VersionDesc, VersionEffDate, VersionEndDate, IdentCode, "
                                       "IdentDesc, ApplyDId, CreateUser, Define1) VALUES (?,?,?,?,?,?,?,?,?,?,?)"));
    SqlInserter parent(db, QStringLiteral("INSERT INTO bom_parent (BomId, ParentId, ParentScrap, SharingPartId) VALUES (?,?,?,?)"));
    for (const BomRow& r : boms) {
        bom.insert({r.id, r.type, r.version ? QVariant(r.version) : QVariant(), text(r.desc), text(r.effDate), text(r.endDate),
                    text(r.ident), r.type == 2 ? QVariant(QStringLiteral("轻量化替代")) : QVariant(),
                    r.applyDId ? QVariant(r.applyDId) : QVariant(), QStringLiteral("demo"), QStringLiteral("演示")});
        parent.insert({r.id, partOf(r.parent), r.parentScrap, QVariant()});
    }
    // Shared BOMs: the export bicycle uses the red bicycle's 2025 BOM, the black fan the white fan's.
    parent.insert({2, partOf("BK-120"), 2.0, partOf("BK-100/红")});
    parent.insert({9, partOf("FN-100/黑"), 0.0, partOf("FN-100/白")});

    SqlInserter option(db, QStringLiteral("INSERT INTO bom_opcomponentopt (OptionsId, WhCode, DrawDeptCode, WIPType, Offset, PlanFactor, "
                                          "AccuCostFlag, OptionalFlag, MutexRule) VALUES (?,?,?,?,?,?,?,?,?)"));
    SqlInserter line(db, QStringLiteral("INSERT INTO bom_opcomponent (OpComponentId, BomId, ComponentId, OptionsId, SortSeq, OpSeq, BaseQtyN, "
                                        "BaseQtyD, CompScrap, FVFlag, EffBegDate, EffEndDate, ByProductFlag) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)"));
    SqlInserter remark(db, QStringLiteral("INSERT INTO bom_opcomponentrmk (OpComponentId, Remark) VALUES (?,?)"));
    int lineId = 0;
    for (const LineRow& r : lines) {
        ++lineId;
        option.insert({lineId, text(r.wh), text(r.dept), r.wip, r.seq / 10 - 1, r.planFactor < 0 ? QVariant() : QVariant(r.planFactor),
                       1, r.optional, r.mutex ? QVariant(r.mutex) : QVariant()});
        line.insert({lineId, r.bom, partOf(r.component), lineId, r.seq, QStringLiteral("%1").arg(r.seq * 2, 4, 10, QLatin1Char('0')), r.qtyN,
                     r.qtyD, r.compScrap, r.fv, QString::fromLatin1(r.eff), QString::fromLatin1(r.end), r.byProduct});
        if (*r.remark)
            remark.insert({lineId, QString::fromUtf8(r.remark)});
    }

    // Substitutes of the wheel's spokes and tyre.
    SqlInserter sub(db, QStringLiteral("INSERT INTO bom_opcomponentsub (OpComponentId, PartId, Factor, EffBegDate, EffEndDate, Sequence, ReplaceFlag) "
                                       "VALUES (?,?,?,?,?,?,?)"));
    sub.insert({23, partOf("SP-321"), 1.0, QStringLiteral("2020-01-01"), QStringLiteral("2099-12-31"), 1, 0});
    sub.insert({24, partOf("TY-331"), 1.0, QStringLiteral("2023-01-01"), QStringLiteral("2099-12-31"), 1, 1});

    SqlInserter loc(db, QStringLiteral("INSERT INTO bom_opcomponentloc (OpComponentId, SortSeq, Loc) VALUES (?,?,?)"));
    for (int i = 1; i <= 4; ++i)
        loc.insert({32, i, QStringLiteral("C%1").arg(i)});

    SqlInserter::exec(db, "INSERT INTO WareHouse VALUES ('01', '原料仓'), ('02', '半成品仓'), ('03', '成品仓')");
    SqlInserter::exec(db, "INSERT INTO Department VALUES ('01', '机加车间'), ('02', '装配车间'), ('03', '喷涂车间')");
    SqlInserter user(db, QStringLiteral("INSERT INTO UserDef (cID, cItem, cItemName) VALUES (?,?,?)"));
    user.insert({20, QStringLiteral("自由项1"), QStringLiteral("颜色")});
    user.insert({21, QStringLiteral("自由项2"), QStringLiteral("尺寸")});
    for (int id = 28; id <= 35; ++id)
        user.insert({id, QStringLiteral("自由项%1").arg(id - 25), QString("")});

    // Routings of the made parts: the operations their BOM lines name (every
    // twentieth sequence); the red bicycle's routing changed with its 2025 BOM.
    SqlInserter routing(db, QStringLiteral("INSERT INTO sfc_prouting (PRoutingId, PartId, Description, EffBegDate, EffEndDate) VALUES (?,?,?,?,?)"));
    SqlInserter operation(db, QStringLiteral("INSERT INTO sfc_proutingdetail (PRoutingId, OpSeq, Description) VALUES (?,?,?)"));
    const QStringList steps{QStringLiteral("下料"), QStringLiteral("加工"), QStringLiteral("焊接"), QStringLiteral("装配"),
                            QStringLiteral("紧固"), QStringLiteral("调试"), QStringLiteral("喷涂")};
    int routingId = 0;
    QSet<int> routed;
    for (const BomRow& r : boms) {
        const int part = partOf(r.parent);
        if (r.type != 1 || routed.contains(part))
            continue;
        routed.insert(part);
        const bool changed = QLatin1String(r.parent) == QLatin1String("BK-100/红");
        routing.insert({++routingId, part, QStringLiteral("标准工艺"), QStringLiteral("2000-01-01"),
                        changed ? QStringLiteral("2025-01-01") : QStringLiteral("2099-12-31")});
        for (int n = 1; n <= steps.size(); ++n)
            operation.insert({routingId, QStringLiteral("%1").arg(n * 20, 4, 10, QLatin1Char('0')), steps[n - 1]});
        if (changed) {
            routing.insert({++routingId, part, QStringLiteral("2025工艺"), QStringLiteral("2025-01-01"), QStringLiteral("2099-12-31")});
            for (int n = 1; n <= steps.size(); ++n)
                operation.insert({routingId, QStringLiteral("%1").arg(n * 20, 4, 10, QLatin1Char('0')), steps[n - 1]});
        }
    }
    SqlInserter::exec(db, "COMMIT");
}

} // namespace

QString createDemoAccount(const QString& path, Existing existing)
{
    buildAccountFile(path, existing, fillDemoAccount);
    return QStringLiteral("%1 items, %2 parts, %3 BOMs, %4 BOM lines")
        .arg(std::size(items))
        .arg(std::size(parts))
        .arg(std::size(boms))
        .arg(std::size(lines));
}

QString ensureDemoAccount()
{
    const QString path = defaultDemoPath();
    if (accountStateOf(path) != AccountState::Finished)
        buildAccountFile(path, Existing::Keep, fillDemoAccount); // another process may have finished it meanwhile
    return path;
}

} // namespace q7::host::db
