#include "app/BomCsv.h"

#include "app/FileWindow.h"

#include "platform/AutomationError.h"

namespace q7::app {


QStringList bomCsvColumns() { return bomCsvHeadColumns() + bomCsvLineColumns(); }

const QStringList& bomCsvHeadColumns()
{
    static const QStringList columns{QStringLiteral("cInvCode"),       QStringLiteral("InvFree_1"), QStringLiteral("InvFree_2"),
                                     QStringLiteral("BomType"),        QStringLiteral("Version"),   QStringLiteral("VersionDesc"),
                                     QStringLiteral("VersionEffDate"), QStringLiteral("IdentCode"), QStringLiteral("IdentDesc"),
                                     QStringLiteral("ParentScrap")};
    return columns;
}

const QStringList& bomCsvLineColumns()
{
    static const QStringList columns{QStringLiteral("DSortSeq"),      QStringLiteral("DInvCode"),      QStringLiteral("DInvFree_1"),
                                     QStringLiteral("DInvFree_2"),    QStringLiteral("DOpSeq"),        QStringLiteral("DBaseQtyN"),
                                     QStringLiteral("DBaseQtyD"),     QStringLiteral("DCompScrap"),    QStringLiteral("DFVFlag"),
                                     QStringLiteral("DWIPType"),      QStringLiteral("DPlanRate"),     QStringLiteral("DByproductFlag"),
                                     QStringLiteral("DAccuCostFlag"), QStringLiteral("DOptionalFlag"), QStringLiteral("DMutexRule"),
                                     QStringLiteral("DWhCode"),       QStringLiteral("DDeptCode"),     QStringLiteral("DEffBegDate"),
                                     QStringLiteral("DEffEndDate"),   QStringLiteral("DOffset"),       QStringLiteral("DRemark")};
    return columns;
}

CsvReader::CsvReader(QByteArrayView utf8) : CsvReader(utf8, Position{}) {}

CsvReader::CsvReader(QByteArrayView utf8, Position from) : text_(utf8), at_(from.offset), line_(from.line) {}

bool CsvReader::next(CsvRecord& record)
{
    // The text is UTF-8: quotes, commas and line ends are single bytes that no other character contains.
    record = CsvRecord{};
    field_.clear();
    bool quoted = false, any = false, closed = false; // closed: the field's quotes are closed, only its end may follow
    int quoteLine = 0;
    const auto refuse = [&](const char* what) { throw AutomationError(ErrBadCallOrArgument, QStringLiteral("line %1: %2").arg(line_).arg(QLatin1String(what))); };
    const auto startRecord = [&] {
        if (!any && field_.isEmpty() && record.fields.isEmpty())
            record.line = line_;
    };
    const auto endField = [&] {
        record.fields.append(QString::fromUtf8(field_));
        field_.clear();
    };
    const qsizetype size = text_.size();
    while (at_ < size) {
        const char c = text_[at_++];
        if (quoted) {
            if (c == '"' && at_ < size && text_[at_] == '"') {
                field_ += '"';
                ++at_;
            } else if (c == '"') {
                quoted = false;
                closed = true;
            } else {
                if (c == '\n')
                    ++line_;
                field_ += c;
            }
        } else if (c == '"') {
            if (closed || !field_.isEmpty())
                refuse("a quote inside a field that does not begin with one (write it doubled, the field in quotes)");
            startRecord();
            quoted = true;
            quoteLine = line_;
            any = true;
        } else if (c == ',') {
            startRecord();
            endField();
            any = true;
            closed = false;
        } else if (c == '\n' || c == '\r') {
            closed = false;
            if (c == '\r' && at_ < size && text_[at_] == '\n')
                ++at_;
            ++line_;
            if (any || !field_.isEmpty()) {
                endField();
                return true;
            }
        } else {
            if (closed)
                refuse("text after a field's closing quote");
            startRecord();
            // the rest of a plain field at once
            qsizetype end = at_;
            while (end < size && text_[end] != ',' && text_[end] != '"' && text_[end] != '\n' && text_[end] != '\r')
                ++end;
            field_.append(c);
            field_.append(text_.sliced(at_, end - at_));
            at_ = end;
            any = true;
        }
    }
    if (quoted)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("line %1: a quoted CSV field is not closed").arg(quoteLine));
    if (any || !field_.isEmpty()) {
        endField();
        return true;
    }
    return false;
}

QList<CsvRecord> parseCsvRecords(const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    CsvReader reader(utf8);
    QList<CsvRecord> records;
    CsvRecord record;
    while (reader.next(record))
        records.append(record);
    return records;
}

QList<QStringList> parseCsv(const QString& text)
{
    QList<QStringList> records;
    for (const CsvRecord& record : parseCsvRecords(text))
        records.append(record.fields);
    return records;
}

bool nextRecord(FileWindow& file, CsvReader::Position& at, CsvRecord& record)
{
    for (qsizetype ahead = 1;;) { // what the window holds, then more
        const QByteArrayView view = file.from(at.offset, ahead);
        ahead = std::max<qsizetype>(2 * view.size(), 1);
        const bool whole = file.reachesEnd(at.offset, view);
        CsvReader reader(view, {0, at.line});
        // A record read up to the window's end may go on past it (a line end "\r\n" split, an open quote):
        // unless the window reaches the end of the file, it is read again through a larger one.
        try {
            const bool read = reader.next(record);
            if (whole || reader.position().offset < view.size()) {
                at = {at.offset + reader.position().offset, reader.position().line};
                return read;
            }
        } catch (const AutomationError&) {
            if (whole || reader.position().offset < view.size())
                throw;
        }
    }
}

} // namespace q7::app
