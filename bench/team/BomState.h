#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>

namespace q7::data {
class Connection;
}
namespace q7::host::voucher {
struct BomDocument;
}

// A BOM as the load's audit compares it: its change counter and its lines
// (position, component, base quantity), whatever their dates.
namespace q7::bench::team {

struct LineState {
    int sortSeq = 0;
    QString component;
    double qtyN = 0;
    double qtyD = 0;
};

struct BomState {
    int bomId = 0;
    qint64 changeCount = 0; // the BOM's change counter (host/db/BomChanges): every committed change moves it on
    QList<LineState> lines; // in a fixed order (sort sequence, component, quantity)
};

// The BOM's counter and lines as one snapshot of the account: a read
// transaction on the file, a read-only repeatable-read one on the server.
BomState readBomState(data::Connection& connection, int bomId);

// The lines a save of the document leaves in the account.
QList<LineState> documentLines(const host::voucher::BomDocument& document);

// Whether two sets of lines are the same (quantities within a relative 1e-12).
bool sameLines(const QList<LineState>& a, const QList<LineState>& b);
QString linesText(const QList<LineState>& lines); // "10 S0000123 2/1; 20 …"

QJsonObject toJson(const BomState& state);
BomState bomStateFromJson(const QJsonObject& object);

} // namespace q7::bench::team
