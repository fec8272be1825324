#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The CSV that `bom export` writes and `bom import` reads: one row per BOM
// line, the BOM's head columns repeated on each of its lines.
QStringList bomCsvColumns();
const QStringList& bomCsvHeadColumns();
const QStringList& bomCsvLineColumns();

// A record of a CSV text and the line of the file it starts on (from 1).
struct CsvRecord {
    int line = 0;
    QStringList fields;
};
// Records of a CSV text (RFC 4180 quoting; blank lines are no records);
// throws on an unclosed quote.
QList<CsvRecord> parseCsvRecords(const QString& text);
QList<QStringList> parseCsv(const QString& text);
