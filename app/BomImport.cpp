#include "app/BomImport.h"

#include "app/BomCsv.h"
#include "app/FileWindow.h"
#include "app/MadeAhead.h"
#include "app/OpenVoucher.h"
#include "host/MessagePresenter.h"
#include "host/voucher/BomChecks.h"
#include "host/db/InForce.h"
#include "host/voucher/VoucherForm.h"
#include "platform/AutomationError.h"
#include "platform/values/Values.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <QStringDecoder>

#include <algorithm>
#include <memory>
#include <cstdio>

namespace q7::app {

using q7::host::voucher::BomDocument;
using q7::host::voucher::VoucherForm;

namespace {

constexpr int MsgRowMustEnter = 2510; // 第 %s 行 [ %s ] 必须输入！

const QStringList numberColumns{QStringLiteral("Version"),  QStringLiteral("ParentScrap"), QStringLiteral("DSortSeq"),
                                QStringLiteral("DBaseQtyN"), QStringLiteral("DBaseQtyD"),  QStringLiteral("DCompScrap"),
                                QStringLiteral("DPlanRate"), QStringLiteral("DOffset")};
const QStringList dateColumns{QStringLiteral("VersionEffDate"), QStringLiteral("DEffBegDate"), QStringLiteral("DEffEndDate")};
// Without these a file cannot say which BOM it means or what its lines are.
const QStringList neededColumns{QStringLiteral("cInvCode"), QStringLiteral("BomType"), QStringLiteral("Version"), QStringLiteral("VersionEffDate"),
                                QStringLiteral("DInvCode")};
// The columns that name a stored BOM (not typed again when it is replaced).
const QStringList keyColumns{QStringLiteral("cInvCode"), QStringLiteral("InvFree_1"), QStringLiteral("InvFree_2"),
                             QStringLiteral("BomType"),  QStringLiteral("Version"),   QStringLiteral("IdentCode")};

class Problems {
public:
    void add(int line, const QString& column, const QString& message, int number = 0) { list_.append({line, column, message, number}); }
    bool any() const { return !list_.isEmpty(); }
    qsizetype size() const { return list_.size(); }
    const QList<ImportProblem>& list() const { return list_; }

private:
    QList<ImportProblem> list_;
};

// The file's columns: where each stands in a row, and their names in the
// order of the names (the order a line's problems are told in).
struct Columns {
    enum Kind : char { Text, Number, Date };
    QHash<QString, int> index;
    QList<std::pair<QString, int>> byName;
    QList<Kind> kinds;  // by where the column stands
    QList<int> headAt;  // where each of the head's columns stands, -1 when the file has none
};

// A row of the file, its cells read by column name, with its line.
struct Row {
    int line = 0;
    std::shared_ptr<const Columns> columns;
    QStringList cells;
    bool has(const QString& column) const { return columns->index.contains(column); }
    QString value(const QString& column) const
    {
        const int at = columns->index.value(column, -1);
        return at < 0 ? QString() : cells.at(at);
    }
};

struct ImportBom {
    Row head; // the BOM's first row
    QList<Row> lines;
};

// Every line of the file from `from` on that is not valid UTF-8 is a problem.
void checkUtf8(FileWindow& file, qsizetype from, Problems& problems)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString decoded;
    for (int line = 1; from <= file.size(); ++line) {
        qsizetype length = 0;
        for (qsizetype ahead = 1;;) { // what the window holds; a line it cuts is read again through a larger one
            const QByteArrayView view = file.from(from, ahead);
            ahead = std::max<qsizetype>(2 * view.size(), 1);
            length = view.indexOf('\n');
            if (length >= 0 || file.reachesEnd(from, view)) {
                length = length < 0 ? view.size() : length;
                decoded.resize(length); // UTF-16 takes no more units than UTF-8 takes bytes
                utf8.resetState();
                utf8.appendToBuffer(decoded.data(), view.first(length));
                if (utf8.hasError())
                    problems.add(line, {}, QStringLiteral("not valid UTF-8"));
                break;
            }
        }
        from += length + 1;
    }
}

// The header: known columns, none twice, the ones a BOM needs.
void checkHeader(const CsvRecord& header, Problems& problems)
{
    QSet<QString> seen;
    for (const QString& column : header.fields) {
        if (!bomCsvColumns().contains(column))
            problems.add(header.line, column, QStringLiteral("unknown column (the columns are those of bom export)"));
        else if (seen.contains(column))
            problems.add(header.line, column, QStringLiteral("the column is named twice"));
        seen.insert(column);
    }
    for (const QString& column : neededColumns)
        if (!seen.contains(column))
            problems.add(header.line, column, QStringLiteral("the column is missing"));
}

// The cells of a row that no BOM could take, whatever the account holds.
void checkCells(const Row& row, Problems& problems)
{
    for (const auto& [column, at] : row.columns->byName) {
        const QString& value = row.cells.at(at); // trimmed
        if (value.isEmpty())
            continue;
        const Columns::Kind kind = row.columns->kinds.at(at);
        if (kind == Columns::Number && !values::isPlainDecimal(value))
            problems.add(row.line, column, QStringLiteral("'%1' is not a plain decimal number").arg(value));
        else if (kind == Columns::Date && !host::voucher::isDateText(value))
            problems.add(row.line, column, QStringLiteral("'%1' is not a date written yyyy-mm-dd").arg(value));
    }
    if (row.value(QStringLiteral("DInvCode")).isEmpty())
        problems.add(row.line, QStringLiteral("DInvCode"), QStringLiteral("every row is a BOM line and needs its component's code"));
}

// What names a BOM, as the account compares it: the item and its free items without regard
// to case, the type by its code, a main BOM's version as a number, a substitute's identifier.
QString bomKey(const Row& row)
{
    const bool substitute = host::voucher::lists::textToCode(3, row.value(QStringLiteral("BomType"))) == QLatin1String("2");
    QStringList parts{substitute ? QStringLiteral("2") : QStringLiteral("1")};
    for (const char* column : {"cInvCode", "InvFree_1", "InvFree_2"})
        parts.append(row.value(QString::fromLatin1(column)).toUpper());
    const QString version = row.value(QStringLiteral("Version"));
    parts.append(substitute ? row.value(QStringLiteral("IdentCode")).toUpper()
                            : values::isPlainDecimal(version) ? QString::number(version.toDouble(), 'g', 17) : version);
    return parts.join(u'\x1f');
}

bool sameValue(const QString& column, const QString& stored, const QString& value);

// Where a row of the file is, to be read again when its BOM is entered.
struct RowAt {
    CsvReader::Position at;
    qsizetype end = 0; // where the next record starts
    int line = 0;
};

// A BOM of the file: its first row, and where its rows are.
struct FileBom {
    Row head;
    QList<RowAt> rows;
};

// The file's BOMs, in the order they first appear; a head value that differs
// between the rows of one BOM is a problem.
class Grouping {
public:
    void add(const Row& row, CsvReader::Position at, qsizetype end, Problems& problems)
    {
        // A BOM's rows mostly follow each other with the same head: a row whose head cells are those
        // of a row before it that agreed with its BOM belongs to that BOM and agrees with it too.
        QStringList head;
        head.reserve(row.columns->headAt.size());
        for (const int c : row.columns->headAt)
            head.append(c < 0 ? QString() : row.cells.at(c));
        if (!lastAgreed_ || head != lastHead_) {
            const QString key = bomKey(row);
            auto found = byKey_.constFind(key);
            if (found == byKey_.constEnd()) {
                found = byKey_.insert(key, int(boms_.size()));
                boms_.append({row, {}});
            }
            last_ = *found;
            const FileBom& bom = boms_[last_];
            const qsizetype before = problems.size();
            for (const QString& column : bomCsvHeadColumns())
                if (row.has(column) && !sameValue(column, bom.head.value(column), row.value(column)))
                    problems.add(row.line, column,
                                 QStringLiteral("'%1' differs from line %2 of the same BOM ('%3')").arg(row.value(column)).arg(bom.head.line).arg(bom.head.value(column)));
            lastAgreed_ = problems.size() == before;
            lastHead_ = std::move(head);
        }
        boms_[last_].rows.append({at, end, row.line});
    }
    const QList<FileBom>& boms() const { return boms_; }

private:
    QList<FileBom> boms_;
    QHash<QString, int> byKey_;
    qsizetype last_ = 0;       // the BOM of the row before
    QStringList lastHead_;     // the head cells of the row that last named it
    bool lastAgreed_ = false;  // with its BOM's head
};

// The stored BOM the file names: same item, free items, type and version or identifier.
int findStored(VoucherForm& form, const Row& head)
{
    const QVariantMap fields{{QStringLiteral("cInvCode"), head.value(QStringLiteral("cInvCode"))},
                             {QStringLiteral("InvFree_1"), head.value(QStringLiteral("InvFree_1"))},
                             {QStringLiteral("InvFree_2"), head.value(QStringLiteral("InvFree_2"))}};
    const int part = form.store().existingPartId(fields, QString());
    if (!part)
        return 0;
    const int type = host::voucher::lists::textToCode(3, head.value(QStringLiteral("BomType"))) == QLatin1String("2") ? 2 : 1;
    return form.store().findBom(part, type, head.value(QStringLiteral("Version")), head.value(QStringLiteral("IdentCode")));
}

// The list a column's values come from (-1: none).
int listOf(const QString& column)
{
    static const QHash<QString, int> lists{{QStringLiteral("BomType"), 3},       {QStringLiteral("DFVFlag"), 2},       {QStringLiteral("DWIPType"), 1},
                                           {QStringLiteral("DByproductFlag"), 0}, {QStringLiteral("DAccuCostFlag"), 0}, {QStringLiteral("DOptionalFlag"), 0},
                                           {QStringLiteral("DMutexRule"), 4}};
    return lists.value(column, -1);
}

// Whether a stored value and a file's value mean the same: numbers as numbers, codes
// without regard to case, list entries by their code.
bool sameValue(const QString& column, const QString& stored, const QString& value)
{
    // a blank cell stands for what the voucher stores for nothing
    static const QHash<QString, QString> blank{{QStringLiteral("DBaseQtyN"), QStringLiteral("1")},  {QStringLiteral("DBaseQtyD"), QStringLiteral("1")},
                                               {QStringLiteral("DCompScrap"), QStringLiteral("0")}, {QStringLiteral("ParentScrap"), QStringLiteral("0")},
                                               {QStringLiteral("DFVFlag"), QStringLiteral("1")},    {QStringLiteral("DByproductFlag"), QStringLiteral("0")},
                                               {QStringLiteral("DEffBegDate"), QString::fromLatin1(host::db::OpenBegin)},
                                               {QStringLiteral("DEffEndDate"), QString::fromLatin1(host::db::OpenEnd)}};
    if (stored == value)
        return true;
    const QString typed = value.isEmpty() ? blank.value(column) : value;
    if (stored == typed)
        return true;
    if (column.contains(QLatin1String("Free_")))
        return stored.compare(typed, Qt::CaseInsensitive) == 0;
    if (numberColumns.contains(column) && values::isPlainDecimal(stored) && values::isPlainDecimal(typed))
        return stored.toDouble() == typed.toDouble();
    if (const int list = listOf(column); list >= 0)
        return host::voucher::lists::textToCode(list, stored) == host::voucher::lists::textToCode(list, typed);
    return column.endsWith(QLatin1String("Code")) && stored.compare(typed, Qt::CaseInsensitive) == 0;
}

// A BOM's lines in the order of their sort sequence and component (as entered when equal).
template <typename Line, typename Value>
QList<const Line*> inLineOrder(const QList<Line>& lines, Value value)
{
    QList<const Line*> ordered;
    for (const Line& line : lines)
        ordered.append(&line);
    std::stable_sort(ordered.begin(), ordered.end(), [&](const Line* a, const Line* b) {
        const double sa = value(*a, QStringLiteral("DSortSeq")).toDouble(), sb = value(*b, QStringLiteral("DSortSeq")).toDouble();
        if (sa != sb)
            return sa < sb;
        return value(*a, QStringLiteral("DInvCode")).toUpper() < value(*b, QStringLiteral("DInvCode")).toUpper();
    });
    return ordered;
}

// Whether the stored BOM already reads as the file's rows in every column the file has.
bool sameAsStored(const BomDocument& stored, const ImportBom& bom)
{
    if (stored.lines.size() != bom.lines.size())
        return false;
    // what a substitute BOM does not keep is not compared
    const bool substitute = host::voucher::lists::textToCode(3, bom.head.value(QStringLiteral("BomType"))) == QLatin1String("2");
    const auto storedLines = inLineOrder(stored.lines, [](const host::voucher::BomLine& l, const QString& key) { return values::toTextOrEmpty(l.fields.value(key)); });
    const auto fileLines = inLineOrder(bom.lines, [](const Row& r, const QString& key) { return r.value(key); });
    for (qsizetype i = 0; i < fileLines.size(); ++i) {
        for (const auto& [column, at] : fileLines[i]->columns->byName) {
            if (substitute && (column == QLatin1String("Version") || column == QLatin1String("VersionEffDate")))
                continue;
            const bool head = bomCsvHeadColumns().contains(column);
            const QVariant storedValue = head ? stored.head.value(column) : storedLines[i]->fields.value(column);
            if (!sameValue(column, values::toTextOrEmpty(storedValue), fileLines[i]->cells.at(at)))
                return false;
        }
    }
    return true;
}

// A stored line's substitutes and designators, by sort sequence and component.
QString lineKey(const QVariant& sortSeq, const QVariant& component)
{
    return values::toTextOrEmpty(sortSeq).trimmed() + u'\x1f' + values::toTextOrEmpty(component).trimmed().toUpper();
}

// What became of a BOM of the file.
enum class Outcome { Added, Changed, Unchanged, Refused };

class Importer {
public:
    Importer(VoucherForm& form, host::RecordingPresenter& messages, Problems& problems, ImportEntry entry)
        : form_(form), ctl_(form.voucher()), messages_(messages), problems_(problems), entry_(entry)
    {
    }

    Outcome enter(const ImportBom& bom)
    {
        const Row& head = bom.head;
        const int stored = findStored(form_, head);
        QHash<QString, std::pair<QVariant, QVariant>> kept; // line key -> substitutes, designators
        if (stored) {
            if (const auto document = form_.store().load(stored); document && sameAsStored(*document, bom))
                return Outcome::Unchanged;
            form_.loadBom(stored);
            form_.ExecuteMenuTask(QStringLiteral("tlbEdit"));
            for (int r = 1; r <= ctl_.rows(); ++r) {
                const QVariantMap row = ctl_.row(r);
                kept.insert(lineKey(row.value(QStringLiteral("DSortSeq")), row.value(QStringLiteral("DInvCode"))),
                            {row.value(QStringLiteral("_Substitutes")), row.value(QStringLiteral("_Locations"))});
            }
            while (ctl_.rows() > 0)
                ctl_.removeRow(ctl_.rows());
        } else {
            form_.ExecuteMenuTask(QStringLiteral("tlbAdd"));
            if (!form_.typeHead(QStringLiteral("cInvCode"), head.value(QStringLiteral("cInvCode")),
                                {head.value(QStringLiteral("InvFree_1")), head.value(QStringLiteral("InvFree_2"))})) {
                problems_.add(head.line, QStringLiteral("cInvCode"), QStringLiteral("item '%1' is not in the account").arg(head.value(QStringLiteral("cInvCode"))));
                return Outcome::Refused;
            }
        }
        const int before = int(problemCount());
        const bool substitute = host::voucher::lists::textToCode(3, head.value(QStringLiteral("BomType"))) == QLatin1String("2");
        // A new main BOM's version follows its version date (the voucher proposes the next one): typed last.
        QStringList headOrder = bomCsvHeadColumns();
        headOrder.removeAll(QStringLiteral("Version"));
        headOrder.append(QStringLiteral("Version"));
        for (const QString& key : headOrder) {
            // what names the BOM is typed when it is new (the item above); a stored one already has it;
            // a substitute BOM has no version or dates of its own
            if (!head.has(key) || key == QLatin1String("cInvCode") || key.startsWith(QLatin1String("InvFree_")) ||
                (stored && keyColumns.contains(key)) || (substitute && (key == QLatin1String("Version") || key == QLatin1String("VersionEffDate"))))
                continue;
            const QString value = head.value(key);
            if (values::toTextOrEmpty(ctl_.headerText(key)) == value)
                continue;
            if (!form_.typeHead(key, value))
                problems_.add(head.line, key, QStringLiteral("'%1' is not accepted here").arg(value));
        }
        const int first = ctl_.rows() + 1;
        if (entry_ == ImportEntry::Typed) {
            for (const Row& line : bom.lines) {
                const int row = form_.addRow();
                for (const auto& [key, value] : cellsOf(line))
                    if (values::toTextOrEmpty(ctl_.bodyText(row, key)) != value && !form_.typeBody(row, key, value))
                        notAccepted(line, key);
            }
        } else {
            QList<VoucherForm::Cells> rows;
            rows.reserve(bom.lines.size());
            for (const Row& line : bom.lines)
                rows.append(cellsOf(line));
            const QList<QStringList> refused = form_.enterRows(rows);
            for (qsizetype i = 0; i < refused.size(); ++i)
                for (const QString& key : refused[i])
                    notAccepted(bom.lines[i], key);
        }
        for (int row = first; row <= ctl_.rows(); ++row) {
            const auto found = kept.constFind(lineKey(ctl_.bodyText(row, QStringLiteral("DSortSeq")), ctl_.bodyText(row, QStringLiteral("DInvCode"))));
            if (found != kept.constEnd()) {
                ctl_.setBodyText(row, QStringLiteral("_Substitutes"), found->first);
                ctl_.setBodyText(row, QStringLiteral("_Locations"), found->second);
            }
        }
        if (problemCount() > before) {
            storeProblems(bom, before); // what else is wrong, so that a dry run shows it at once
            form_.ExecuteMenuTask(QStringLiteral("tlbCancel"));
            return Outcome::Refused;
        }
        messages_.messages.clear();
        if (!form_.save()) {
            if (!form_.lastRefusal().byRules)
                refused(bom); // the voucher's own checks: required fields, the handler's body check
            storeProblems(bom, int(problemCount())); // every rule the store keeps (the save stopped at the first)
            form_.ExecuteMenuTask(QStringLiteral("tlbCancel"));
            return Outcome::Refused;
        }
        return stored ? Outcome::Changed : Outcome::Added;
    }

private:
    qsizetype problemCount() const { return problems_.size(); }

    // A line's cells in the order the voucher's columns are typed.
    static VoucherForm::Cells cellsOf(const Row& line)
    {
        VoucherForm::Cells cells;
        for (const QString& key : bomCsvLineColumns())
            if (line.has(key))
                cells.append({key, line.value(key)});
        return cells;
    }
    void notAccepted(const Row& line, const QString& key)
    {
        problems_.add(line.line, key, QStringLiteral("'%1' is not accepted here").arg(line.value(key)));
    }

    // The store's problems with the BOM as entered, each at its file line; a field already
    // reported from `since` on (a value the voucher refused) is not reported again.
    void storeProblems(const ImportBom& bom, int since)
    {
        QSet<QString> reported;
        for (const ImportProblem& p : problems_.list().mid(since))
            reported.insert(QString::number(p.line) + u'|' + p.column);
        for (const host::voucher::Problem& problem : form_.store().problems(form_.document())) {
            const int line = problem.line >= 1 && problem.line <= bom.lines.size() ? bom.lines[problem.line - 1].line : bom.head.line;
            if (!reported.contains(QString::number(line) + u'|' + problem.field))
                problems_.add(line, problem.field, problem.message, problem.number);
        }
    }

    // Why the voucher refused the BOM, at the file line of the row at fault.
    void refused(const ImportBom& bom)
    {
        const host::voucher::Refusal& refusal = form_.lastRefusal();
        const host::PresentedMessage* shown = messages_.messages.isEmpty() ? nullptr : &messages_.messages.last();
        int row = refusal.line;
        QString column = refusal.field;
        if (!row && shown && shown->message.toInt() == MsgRowMustEnter)
            row = shown->arguments.value(0).toInt(); // the handler's check of the body names the row
        const int line = row >= 1 && row <= bom.lines.size() ? bom.lines[row - 1].line : bom.head.line;
        problems_.add(line, column, shown ? shown->text : refusal.text, shown ? shown->message.toInt() : refusal.message);
    }

    VoucherForm& form_;
    host::voucher::VoucherControl& ctl_;
    host::RecordingPresenter& messages_;
    Problems& problems_;
    const ImportEntry entry_;
};

// Shows the voucher's messages to the import instead of the console while it runs.
class CapturedMessages {
public:
    CapturedMessages() : previous_(host::currentMessagePresenter()), recorder_(std::make_shared<host::RecordingPresenter>())
    {
        host::setMessagePresenter(recorder_);
    }
    ~CapturedMessages() { host::setMessagePresenter(previous_); }
    CapturedMessages(const CapturedMessages&) = delete;
    CapturedMessages& operator=(const CapturedMessages&) = delete;
    host::RecordingPresenter& recorder() { return *recorder_; }

private:
    std::shared_ptr<host::MessagePresenter> previous_;
    std::shared_ptr<host::RecordingPresenter> recorder_;
};

ImportResult finished(const Problems& problems, ImportResult result = {})
{
    result.problems = problems.list();
    std::stable_sort(result.problems.begin(), result.problems.end(), [](const ImportProblem& a, const ImportProblem& b) { return a.line < b.line; });
    return result;
}

} // namespace

namespace {

// A row of the file as the import reads it: every cell trimmed.
Row rowOf(const CsvRecord& record, const std::shared_ptr<const Columns>& columns)
{
    Row row{record.line, columns, {}};
    row.cells.reserve(record.fields.size());
    for (const QString& cell : std::as_const(record.fields))
        row.cells.append(cell.trimmed());
    return row;
}

} // namespace

// A BOM's rows read again from the file: the runs of rows that follow each other are read at once.
// A row that no longer reads as it read the first time means the file has changed.
QList<Row> readRowsAgain(FileWindow& file, const QList<RowAt>& rows, const QSet<int>& badLines, const std::shared_ptr<const Columns>& columns)
{
    QList<Row> read;
    read.reserve(rows.size());
    CsvRecord record;
    for (qsizetype first = 0; first < rows.size();) {
        qsizetype last = first; // the run [first, last]
        while (last + 1 < rows.size() && rows[last + 1].at.offset == rows[last].end)
            ++last;
        const qsizetype from = rows[first].at.offset;
        const QByteArrayView bytes = file.span(from, rows[last].end - from);
        for (qsizetype r = first; r <= last; ++r) {
            if (badLines.contains(rows[r].line))
                continue;
            CsvReader reader(bytes.first(rows[last].end - from), {rows[r].at.offset - from, rows[r].at.line});
            bool same = false;
            try { // the row was read whole the first time: a row it no longer reads as is a changed file
                same = reader.next(record) && record.line == rows[r].line && from + reader.position().offset == rows[r].end;
            } catch (const AutomationError&) {
            }
            if (!same)
                throw FileChanged{};
            read.append(rowOf(record, columns));
        }
        first = last + 1;
    }
    return read;
}

ImportResult runImport(const QString& file, const QString& db, bool dryRun, ImportEntry entry)
{
    Problems problems;
    // The file is read a window at a time: once to check its bytes, once for its shape, its cells and
    // its BOMs, and each BOM's rows again as the BOM is entered, so that little of the file is held at a time.
    FileWindow input(file);
    if (!input.isOpen()) {
        problems.add(0, {}, QStringLiteral("cannot read the file"));
        return finished(problems);
    }
    const auto fileChanged = [&] {
        Problems changed;
        changed.add(0, {}, QStringLiteral("the file changed while it was being read"));
        return finished(changed);
    };
    CsvReader::Position start; // after a byte order mark
    try {
        if (input.from(0, 3).startsWith("\xEF\xBB\xBF"))
            start.offset = 3;
        checkUtf8(input, start.offset, problems);
    } catch (const FileChanged&) {
        return fileChanged();
    }
    if (problems.any())
        return finished(problems);
    CsvRecord header;
    auto columns = std::make_shared<Columns>();
    Problems shape, cells; // the file's shape; then its cells, which are not read when the shape is wrong
    Grouping grouping;
    QSet<int> badLines; // rows whose cells no BOM could take
    try {
        CsvReader::Position at = start;
        if (!nextRecord(input, at, header)) {
            problems.add(0, {}, QStringLiteral("the file is empty"));
            return finished(problems);
        }
        checkHeader(header, shape);
        for (int c = 0; c < header.fields.size(); ++c) {
            const QString& column = header.fields[c];
            columns->index.insert(column, c);
            columns->byName.append({column, c});
            columns->kinds.append(numberColumns.contains(column) ? Columns::Number : dateColumns.contains(column) ? Columns::Date : Columns::Text);
        }
        for (const QString& column : bomCsvHeadColumns())
            columns->headAt.append(columns->index.value(column, -1));
        std::sort(columns->byName.begin(), columns->byName.end());
        bool anyRow = false;
        CsvRecord record;
        for (CsvReader::Position from = at; nextRecord(input, at, record); from = at) {
            const Row row = rowOf(record, columns);
            anyRow = true;
            if (row.cells.size() != header.fields.size()) {
                shape.add(row.line, {}, QStringLiteral("%1 fields where the header has %2").arg(row.cells.size()).arg(header.fields.size()));
                continue;
            }
            if (shape.any())
                continue;
            const qsizetype before = cells.size();
            checkCells(row, cells);
            if (cells.size() > before)
                badLines.insert(row.line);
            grouping.add(row, from, at.offset, cells);
        }
        if (!anyRow)
            shape.add(header.line, {}, QStringLiteral("the file has its header and no rows"));
    } catch (const AutomationError& error) { // "line N: what"
        const QString said = error.description();
        problems.add(said.section(u':', 0, 0).section(u' ', 1).toInt(), {}, said.section(QStringLiteral(": "), 1));
        return finished(problems);
    } catch (const FileChanged&) {
        return fileChanged();
    }
    if (shape.any()) // the file's shape: no row is read
        return finished(shape);
    problems = cells;

    CapturedMessages messages;
    auto form = openVoucher(db);
    Importer importer(*form, messages.recorder(), problems, entry);
    ImportResult result;
    form->setShowSavedBom(false); // each BOM is entered anew or loaded before it is changed
    form->store().beginBatch();
    try {
        // The next BOMs' rows are read while one is entered; a row already found wrong is left out and
        // the rest entered, so that every problem shows at once.
        const QList<FileBom>& boms = grouping.boms();
        const auto rowsOf = std::make_unique<MadeAhead<QList<Row>>>(boms.size(), 4, [&](long long b) { return readRowsAgain(input, boms[b].rows, badLines, columns); });
        for (const FileBom& bom : boms) {
            ImportBom usable{bom.head, rowsOf->take()};
            if (!usable.lines.isEmpty())
                usable.head = usable.lines.first();
            switch (usable.lines.isEmpty() ? Outcome::Refused : importer.enter(usable)) {
            case Outcome::Added: ++result.added; break;
            case Outcome::Changed: ++result.changed; break;
            case Outcome::Unchanged: ++result.unchanged; break;
            case Outcome::Refused: break;
            }
            ++result.boms;
            result.lines += int(bom.rows.size());
        }
    } catch (const FileChanged&) {
        form->store().rollbackBatch();
        return fileChanged();
    } catch (...) {
        form->store().rollbackBatch();
        throw;
    }
    // what the file's rows were is no longer needed: the end of the batch (the packs made again) has it
    grouping = Grouping{};
    badLines.clear();
    if (!input.unchanged()) { // what was entered may not be what the file holds now
        form->store().rollbackBatch();
        return fileChanged();
    }
    if (problems.any() || dryRun)
        form->store().rollbackBatch();
    else
        form->store().commitBatch();
    return finished(problems, result);
}

int importBoms(const QString& file, const QString& db, bool dryRun)
{
    const ImportResult result = runImport(file, db, dryRun);
    if (!result.problems.isEmpty()) {
        for (const ImportProblem& p : result.problems) {
            QString where = file;
            if (p.line > 0)
                where += u':' + QString::number(p.line);
            if (!p.column.isEmpty())
                where += QStringLiteral(": ") + p.column;
            std::fprintf(stderr, "%s: %s\n", where.toUtf8().constData(), p.message.toUtf8().constData());
        }
        std::fprintf(stderr, "q7bom bom import: %lld problem%s; nothing of %s was written%s\n", static_cast<long long>(result.problems.size()),
                     result.problems.size() == 1 ? "" : "s", file.toUtf8().constData(), dryRun ? " (dry run)" : "");
        return 2;
    }
    std::printf("%s%d BOMs with %d lines: %d new, %d changed, %d unchanged%s\n", dryRun ? "dry run: " : "imported ", result.boms, result.lines,
                result.added, result.changed, result.unchanged, dryRun ? "; nothing was written" : "");
    return 0;
}

} // namespace q7::app
