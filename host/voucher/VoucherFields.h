#pragma once

#include <QString>
#include <QStringList>

namespace q7::host::voucher {

// The fields a voucher type shows, in order, and their captions.
QStringList headKeys(const QString& vouType);
QStringList bodyKeys(const QString& vouType);
QString caption(const QString& key);

} // namespace q7::host::voucher
