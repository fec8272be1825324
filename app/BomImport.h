#pragma once

#include <QList>
#include <QString>

namespace q7::app {

// `q7bom bom import FILE.csv`: the BOMs of an export file entered through the
// voucher, as a person at the voucher would enter them. The file's shape is
// checked before any row (valid UTF-8, known and unrepeated columns, the
// columns a BOM needs, every row as long as the header), then every cell
// (plain decimal numbers, real dates, a component on every row), then each
// BOM by the voucher's rules. A BOM the file names by parent, type and
// version (or identifier) replaces exactly that BOM, keeping its lines'
// substitutes and designators; one whose rows equal what is stored is left
// alone, so importing a file twice changes nothing the second time. Every
// problem is printed with its file line and column; when there is one,
// nothing of the file is written and the answer is 2. With dryRun the file
// is checked the same way and nothing is written either way.
int importBoms(const QString& file, const QString& db, bool dryRun);

// What an import found and did, for whoever reports it.
struct ImportProblem {
    int line = 0;      // of the file, from 1 (0: the file as a whole)
    QString column;    // empty when no one column is at fault
    QString message;
    int messageNumber = 0; // the voucher's message, when it refused the BOM with one
};
struct ImportResult {
    QList<ImportProblem> problems; // none: the file was imported (or, dry, would be)
    int boms = 0, lines = 0, added = 0, changed = 0, unchanged = 0;
};
// How the lines reach the voucher: entered in memory by the voucher's rules
// for typing (the command's way), or typed cell by cell as a person types them
// (the same rules, the same messages; kept to prove the two agree).
enum class ImportEntry { InMemory, Typed };
ImportResult runImport(const QString& file, const QString& db, bool dryRun, ImportEntry entry = ImportEntry::InMemory);

} // namespace q7::app
