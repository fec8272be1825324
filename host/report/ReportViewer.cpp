#include "host/report/ReportViewer.h"

#include "host/MessagePresenter.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/Events.h"
#include "platform/LateBinding.h"
#include "platform/values/Values.h"

namespace q7::host::report {

namespace {

// Collects the messages shown while the viewer runs a report.
class PresenterScope {
public:
    PresenterScope() : previous_(currentMessagePresenter()), recorder_(std::make_shared<RecordingPresenter>()) { setMessagePresenter(recorder_); }
    ~PresenterScope() { setMessagePresenter(previous_); }
    QString lastText() const { return recorder_->messages.isEmpty() ? QString() : recorder_->messages.last().text; }

private:
    std::shared_ptr<MessagePresenter> previous_;
    std::shared_ptr<RecordingPresenter> recorder_;
};

QString normalisedDate(const QString& text)
{
    const QString value = values::trim(text);
    if (value.isEmpty())
        return value;
    for (const char* format : {"yyyy-MM-dd", "yyyy-M-d", "yyyy/M/d", "yyyyMMdd", "yyyy.M.d"}) {
        const QDate date = QDate::fromString(value, QString::fromLatin1(format));
        if (date.isValid())
            return values::dateText(date);
    }
    return {};
}

} // namespace

QString joinStatement(const q7::ReportSqlParts& parts)
{
    QStringList texts;
    for (const QString* field : {&parts.SqlSelect, &parts.SqlFrom, &parts.SqlWhere, &parts.SqlOrder, &parts.Text5, &parts.Text9})
        if (!field->isEmpty())
            texts.append(*field);
    return texts.join(u' ');
}

ReportViewer::ReportViewer(const QString& reportKey) : definition_(report::definition(reportKey))
{
    const Object programDefine = createObject(QStringLiteral("Q7BomLib.clsProgramDefine"));
    QVariantList args{definition_.key, QString(""), QVariant(), QVariant(), nothing()};
    callByName(programDefine, QStringLiteral("SetProgramType"), args);
    if (args[2].toInt() != 5 || !toObject(args[4]))
        throw AutomationError(ErrCannotCreateObject, QStringLiteral("%1 is not a report").arg(definition_.key));
    handler_ = toObject(args[4]);
    filter_ = makeObject<ViewerFilter>(definition_);
    info_ = makeObject<ViewerReportInfo>();
    call(handler_, QStringLiteral("ReportEventHandle"), {fromObject(filter_)});

    PresenterScope messages;
    QVariantList event{definition_.key, fromObject(filter_), nothing()};
    raiseEvent(filter_.data(), QStringLiteral("SetFilterList"), event);
    for (const auto& item : filter_->items())
        if (item->definition.type == ItemDefinition::Type::Date) {
            const QString date = normalisedDate(values::toTextOrEmpty(item->varValue));
            if (!date.isEmpty())
                item->varValue = date;
        }
}

QStringList ReportViewer::angles() const
{
    if (!values::toBoolean(call(handler_, QStringLiteral("IsMultiAngleReport"))))
        return {};
    QStringList list;
    for (const QVariant& angle : call(handler_, QStringLiteral("MultiAngleList")).toList())
        list.append(angle.toString());
    return list;
}

namespace {

// The refusal of a range whose lower bound lies above its upper bound
// (numbers by value, dates and codes as texts, ignoring case); "" when fine.
QString reversedBounds(const ViewerFilterItem& item, const QString& low, const QString& high)
{
    if (!item.definition.range || values::trim(low).isEmpty() || values::trim(high).isEmpty())
        return {};
    bool lowIsNumber = false, highIsNumber = false;
    const double lowNumber = values::trim(low).toDouble(&lowIsNumber), highNumber = values::trim(high).toDouble(&highIsNumber);
    const bool reversed = item.definition.type == ItemDefinition::Type::Number && lowIsNumber && highIsNumber
        ? lowNumber > highNumber
        : QString::compare(values::trim(low), values::trim(high), Qt::CaseInsensitive) > 0;
    return reversed ? QStringLiteral("[ %1 ] 的下限大于上限：%2 > %3").arg(item.definition.caption, low, high) : QString();
}

// The refusal of a list item's value that is not one of its entries ("" when fine).
QString strayListValue(const ViewerFilterItem& item)
{
    const auto& d = item.definition;
    if (d.type != ItemDefinition::Type::List && d.type != ItemDefinition::Type::Multi)
        return {};
    const QString value = values::trim(values::toTextOrEmpty(item.varValue));
    if (value.isEmpty())
        return {};
    const QStringList entries = d.type == ItemDefinition::Type::Multi ? value.split(u',') : QStringList{value};
    for (const QString& entry : entries) {
        const bool known = std::any_of(d.list.begin(), d.list.end(), [&](const QString& e) { return values::textEquals(e, values::trim(entry)); });
        if (!known)
            return QStringLiteral("[ %1 ] 只能取：%2").arg(d.caption, d.list.join(QStringLiteral("、")));
    }
    return {};
}

} // namespace

ReportOutcome ReportViewer::run(const QList<FilterSetting>& settings, int angle, data::Connection* connection, data::RowConsumer* consumer)
{
    ReportOutcome outcome;
    PresenterScope messages;
    const auto refuse = [&](const QString& message) {
        outcome.refused = true;
        outcome.message = message;
        return outcome;
    };

    for (const FilterSetting& setting : settings) {
        ViewerFilterItem* item = filter_->item(setting.name);
        if (!item)
            throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Report %1 has no filter item %2").arg(definition_.key, setting.name));
        if (setting.high && !item->definition.range)
            throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Filter item %1 takes one value, not a range").arg(setting.name));
        QString low = setting.low, high = setting.high.value_or(values::toTextOrEmpty(item->varValue2));
        if (item->definition.type == ItemDefinition::Type::Date) {
            for (QString* value : {&low, &high}) {
                const QString date = normalisedDate(*value);
                if (!values::trim(*value).isEmpty() && date.isEmpty())
                    return refuse(QStringLiteral("[ %1 ] 不是有效日期：%2").arg(item->definition.caption, *value));
                *value = date;
            }
        }
        if (const QString reversed = reversedBounds(*item, low, high); !reversed.isEmpty())
            return refuse(reversed);
        item->varValue = low;
        item->listValue1 = low;
        item->varValue2 = high;
    }

    const QStringList angleList = angles();
    if (angleList.isEmpty() && angle != 0)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("Report %1 has no angles").arg(definition_.key));
    if (!angleList.isEmpty()) {
        if (angle < 1 || angle > angleList.size())
            throw AutomationError(ErrBadCallOrArgument,
                                  QStringLiteral("Report %1 needs an angle from 1 to %2").arg(definition_.key).arg(angleList.size()));
        letProperty(handler_, QStringLiteral("CurrentType"), angle);
    }

    QVariantList check{definition_.key, fromObject(filter_), false};
    raiseEvent(filter_.data(), QStringLiteral("CheckFilterCondition"), check);
    if (values::toBoolean(check[2]))
        return refuse(messages.lastText());
    // What the handler does not check must still be one of the drop-down's entries.
    for (const auto& item : filter_->items())
        if (const QString stray = strayListValue(*item); !stray.isEmpty())
            return refuse(stray);

    QVariantList info{definition_.key, fromObject(info_)};
    raiseEvent(filter_.data(), QStringLiteral("SetReportInfo"), info);
    outcome.declaredColumns = info_->columns;

    QVariantList sql{definition_.key, fromObject(filter_), fromObject(info_), nothing(), QStringLiteral("demo"), QString("")};
    try {
        raiseEvent(filter_.data(), QStringLiteral("SetReportSQL"), sql);
    } catch (const ViewerRefusal& refusal) {
        return refuse(refusal.message);
    }
    outcome.statement = values::toTextOrEmpty(sql[5]);
    if (outcome.statement.isEmpty())
        outcome.statement = joinStatement(info_->locate.value<q7::ReportSqlParts>());
    if (connection)
        outcome.rows = consumer ? connection->stream(outcome.statement, *consumer) : connection->query(outcome.statement);
    return outcome;
}

} // namespace q7::host::report
