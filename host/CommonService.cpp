#include "host/CommonService.h"

#include "platform/AutomationError.h"
#include "platform/LateBinding.h"
#include "platform/Resources.h"
#include "platform/values/Values.h"

#include <QDate>
#include <QSet>

namespace q7::host {

namespace {
int& toolbarMode()
{
    static int mode = 0;
    return mode;
}
QSet<QString>& runningTasks()
{
    static QSet<QString> tasks;
    return tasks;
}
} // namespace

void CommonService::setToolbarMode(int mode) { toolbarMode() = mode; }

bool CommonService::IsBlank(const QVariant& text)
{
    if (isEmpty(text) || isNull(text) || isMissing(text))
        return true;
    if (isObject(text))
        return isNothing(text);
    return values::trim(values::toText(text)).isEmpty();
}

bool CommonService::IsTrue(const QVariant& flag)
{
    if (IsBlank(flag))
        return false;
    const QString text = values::trim(values::toText(flag));
    if (values::textEquals(text, QStringLiteral("true")) || text == QLatin1String("1") || text == QStringLiteral("是"))
        return true;
    if (values::isNumeric(flag))
        return values::toDouble(flag) != 0.0;
    return false;
}

int CommonService::GetToolbarMode(QVariant&) { return toolbarMode(); }

QString CommonService::GetHelpFilePath(const QVariant&) { return QStringLiteral("q7bom.chm"); }

bool CommonService::CallServer(const QVariant& target, const QString& operation, QVariant& result)
{
    return CallServerWithParams(target, operation, {}, {}, result);
}

bool CommonService::CallServerWithParams(const QVariant& target, const QString& operation, const QVariantList& names,
                                         const QVariantList& values, QVariant& result)
{
    // The server side is an object reached by name; the operation gets the
    // name and value arrays and answers its result. A failing operation is answered as no success.
    if (!isObject(target) || isNothing(target))
        return false;
    try {
        result = call(toObject(target), operation, {names, values});
    } catch (const AutomationError&) {
        return false;
    }
    return true;
}

bool CommonService::BeginTask(const QVariant&, const QString& authorityId, int taskKind)
{
    const QString key = authorityId + u'/' + QString::number(taskKind);
    if (runningTasks().contains(key))
        return false;
    runningTasks().insert(key);
    return true;
}

bool CommonService::EndTask(const QVariant&, const QString& authorityId, int taskKind)
{
    return runningTasks().remove(authorityId + u'/' + QString::number(taskKind));
}

namespace {
// The host's window icon: a document with a tree on it, drawn pixel by pixel.
QImage windowIcon()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    const QRgb paper = 0xfffdfbf0, edge = 0xff30507a, branch = 0xff2f8a4a;
    for (int y = 2; y < 30; ++y)
        for (int x = 5; x < 27; ++x)
            image.setPixel(x, y, x == 5 || x == 26 || y == 2 || y == 29 ? edge : paper);
    for (int y = 8; y < 24; ++y)
        image.setPixel(10, y, branch);
    for (int row : {8, 14, 20})
        for (int x = 10; x < 22; ++x)
            image.setPixel(x, row + (x > 12 ? 1 : 0), x > 12 ? edge : branch);
    return image;
}
} // namespace

QImage CommonService::GetIcon(int number)
{
    if (number == 11)
        return windowIcon();
    return loadBitmap(library_, number);
}

QString CommonService::LoadString(int number, const QVariant&, int)
{
    return loadString(library_, number).value_or(QString(""));
}

bool CommonService::CheckDate(QVariant& text, int)
{
    const QString value = values::trim(values::toTextOrEmpty(text));
    for (const char* format : {"yyyy-MM-dd", "yyyy-M-d", "yyyy/M/d", "yyyyMMdd"}) {
        const QDate date = QDate::fromString(value, QString::fromLatin1(format));
        if (date.isValid()) {
            text = values::dateText(date); // normalised
            return true;
        }
    }
    return false;
}

void CommonService::SetFormButtons(const Object&, const QVariantList&) {}

} // namespace q7::host
