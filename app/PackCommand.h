#pragma once

#include <QStringList>

namespace q7::app {

// `q7bom pack`: packs the BOMs of an account file made by an earlier version
// (or packs again what changes left unpacked), so that explosions read a BOM
// with one seek.
int runPackCommand(const QStringList& args);

} // namespace q7::app
