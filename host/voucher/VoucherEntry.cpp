// The entry forms of the BOM voucher and the copy of a stored BOM: what the
// voucher library's server operations answer and how an entry form saves.
#include "host/voucher/VoucherForm.h"

#include "host/voucher/VoucherXml.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"
#include "platform/VoucherTypes.h"

namespace q7::host::voucher {

namespace {
QList<QVariantMap> maps(const QVariantList& list)
{
    QList<QVariantMap> result;
    for (const QVariant& v : list)
        result.append(v.toMap());
    return result;
}
} // namespace

void VoucherForm::openEntryForm(const QString& vouType, const Object& handler)
{
    entry_.reset(new VoucherForm(vouType, connection_));
    entry_->owner_ = this;
    entry_->info_->login->loginObject = info_->login->loginObject;
    entry_->info_->authId = info_->authId;
    entry_->open(handler);
}

QVariantMap VoucherForm::entryData()
{
    if (!owner_)
        return {};
    VoucherControl& list = owner_->voucher();
    const int row = owner_->currentRow();
    QVariantMap head{{QStringLiteral("cInvCode"), list.headerText(QStringLiteral("cInvCode"))},
                     {QStringLiteral("cInvName"), list.headerText(QStringLiteral("cInvName"))}};
    QList<QVariantMap> rows;
    int currentId = owner_->info().currentId;
    const QString type = vouType();
    if (type == QLatin1String("BO53")) {
        rows = maps(list.headerText(QStringLiteral("_Users")).toList());
    } else {
        if (row < 1 || row > list.rows())
            return {};
        const QVariantMap line = list.row(row);
        head.insert(QStringLiteral("DInvCode"), line.value(QStringLiteral("DInvCode")));
        head.insert(QStringLiteral("DInvName"), line.value(QStringLiteral("DInvName")));
        currentId = line.value(QStringLiteral("OpComponentId")).toInt();
        if (type == QLatin1String("BO51"))
            rows = maps(line.value(QStringLiteral("_Substitutes")).toList());
        else
            for (const QString& loc : line.value(QStringLiteral("_Locations")).toStringList())
                rows.append({{QStringLiteral("DLoc"), loc}});
    }
    return {{QStringLiteral("CurrentId"), currentId},
            {QStringLiteral("HeadXml"), rowsToXml({head})},
            {QStringLiteral("DetailXml"), rowsToXml(rows)}};
}

// An entry form writes its rows into the list form's voucher; a voucher that
// is stored already is saved at once, all of it in one transaction.
bool VoucherForm::saveEntry()
{
    VoucherControl& list = owner_->voucher();
    QVariantList rows;
    QStringList locations;
    for (int r = 1; r <= control_->rows(); ++r) {
        if (control_->BodyRowIsEmpty(r))
            continue;
        rows.append(control_->row(r));
        locations.append(values::toTextOrEmpty(control_->row(r).value(QStringLiteral("DLoc"))));
    }
    const QVariantMap before = list.head();
    const int row = owner_->currentRow();
    const QVariantMap lineBefore = row >= 1 && row <= list.rows() ? list.row(row) : QVariantMap();
    const QString type = vouType();
    if (type == QLatin1String("BO53"))
        list.setHeaderText(QStringLiteral("_Users"), rows);
    else if (row >= 1 && row <= list.rows())
        list.setBodyText(row, type == QLatin1String("BO51") ? QStringLiteral("_Substitutes") : QStringLiteral("_Locations"),
                         type == QLatin1String("BO51") ? QVariant(rows) : QVariant(locations));
    if (list.status() == q7::StatusBrowse && owner_->info().currentId > 0) {
        const SaveResult result = store_->save(owner_->document());
        if (!result.saved) {
            list.setHeaderText(QStringLiteral("_Users"), before.value(QStringLiteral("_Users")));
            if (!lineBefore.isEmpty())
                for (const char* key : {"_Substitutes", "_Locations"})
                    list.setBodyText(row, QString::fromLatin1(key), lineBefore.value(QString::fromLatin1(key)));
            return false;
        }
        const int keepRow = row;
        owner_->loadBom(result.bomId);
        owner_->currentRow_ = keepRow;
    }
    info_->headDocument->loadXML(entryData().value(QStringLiteral("HeadXml")).toString());
    info_->bodyDocument->loadXML(entryData().value(QStringLiteral("DetailXml")).toString());
    control_->ResetSigh();
    setStatus(q7::StatusBrowse, QStringLiteral("tlbSave"));
    return true;
}

bool VoucherForm::prepareCopy(int bomId)
{
    const std::optional<BomDocument> source = store_->load(bomId);
    if (!source)
        return false;
    copy_ = *source;
    copy_.bomId = 0;
    return true;
}

// The copy keeps the parent chosen in this voucher and takes the source's lines.
QVariantMap VoucherForm::copyData() const
{
    QList<QVariantMap> rows;
    for (const BomLine& line : copy_.lines) {
        QVariantMap fields = line.fields.toMap();
        fields.remove(QStringLiteral("OpComponentId"));
        rows.append(fields);
    }
    QVariantMap head;
    for (auto it = control_->head().begin(); it != control_->head().end(); ++it)
        if (!it.key().startsWith(u'_'))
            head.insert(it.key(), it.value());
    return {{QStringLiteral("HeadXml"), rowsToXml({head})}, {QStringLiteral("DetailXml"), rowsToXml(rows)}};
}

} // namespace q7::host::voucher
