#pragma once

#include "host/voucher/Fields.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace q7::host::voucher {

// One BOM as the voucher shows it: head fields and body lines by the
// voucher's field keys ("cInvCode", "Version", "DInvCode", "DBaseQtyN", …).
// Each line carries its substitutes (fields "DInvCode", "DFactor", …) and
// its location designators; the users of a common BOM are parent parts.
struct BomLine {
    Fields fields;
    QList<QVariantMap> substitutes;
    QStringList locations;
};

struct BomDocument {
    int bomId = 0; // 0 for a BOM not stored yet
    qint64 changeCount = 0; // the stored BOM's change counter when it was loaded; its save claims it
    QVariantMap head;
    QList<BomLine> lines;
    QList<QVariantMap> users; // "DInvCode", "DInvFree_1" … of the parts that share this BOM
};

// Code and text of the voucher's drop-down lists (list kinds as the BOM
// handler gives them: 0 yes/no, 1 supply type, 2 fixed/variable, 3 BOM type,
// 4 selection rule).
namespace lists {
QString codeToText(int listKind, const QVariant& code);
QString textToCode(int listKind, const QString& text); // the text itself when it is not in the list
const QStringList& texts(int listKind);
} // namespace lists

} // namespace q7::host::voucher
