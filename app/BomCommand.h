#pragma once

#include "app/BomCsv.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace q7::app {

// `q7bom bom show|import|export`: the BOM voucher without a window. Every
// BOM is read and written through the voucher library and the voucher's
// handler, as a person at the voucher would.
int runBomCommand(const QStringList& args);

} // namespace q7::app
