#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// `q7bom bom show|import|export`: the BOM voucher without a window. Every
// BOM is read and written through the voucher library and the voucher's
// handler, as a person at the voucher would.
int runBomCommand(const QStringList& args);

// The CSV that export writes and import reads: one row per BOM line, the
// BOM's head columns repeated on each of its lines.
QStringList bomCsvColumns();
// Records of a CSV text (RFC 4180 quoting); throws on an unclosed quote.
QList<QStringList> parseCsv(const QString& text);
