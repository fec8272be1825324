#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

namespace q7::app {

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

// The same records read one at a time from UTF-8 text, which it does not
// copy; a position it has reached reads the same records again.
class CsvReader {
public:
    struct Position {
        qsizetype offset = 0;
        int line = 1;
    };
    explicit CsvReader(QByteArrayView utf8);
    CsvReader(QByteArrayView utf8, Position from);
    Position position() const { return {at_, line_}; }
    // The next record; false at the end of the text. Throws as parseCsvRecords does.
    bool next(CsvRecord& record);

private:
    QByteArrayView text_;
    qsizetype at_;
    int line_;
    QByteArray field_;
};

class FileWindow;
// The next record of a file read through its window, from `at` (an offset in the file and its line),
// which then stands after the record; false at the end of the file. A record the window cuts is read
// again through a window large enough to hold it. Throws as CsvReader does, and FileChanged.
bool nextRecord(FileWindow& file, CsvReader::Position& at, CsvRecord& record);
QList<QStringList> parseCsv(const QString& text);

} // namespace q7::app
