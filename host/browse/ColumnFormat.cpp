#include "host/browse/ColumnFormat.h"

#include "platform/AutomationError.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QSpinBox>
#include <QSqlError>
#include <QSqlQuery>
#include <QTableWidget>
#include <QVBoxLayout>

namespace q7::host::browse {

namespace {

struct Default {
    const char* key;
    const char* caption;
    int width;
    int alignment;
};

// The substitutes grid of the browse.
constexpr Default bo02[] = {
    {"Sequence", "序号", 600, 7},          {"SubInvCode", "替代料编码", 1300, 1}, {"SubInvName", "替代料名称", 1600, 1},
    {"SubInvStd", "规格型号", 1200, 1},    {"SubUnit", "计量单位", 900, 1},       {"Factor", "替代比例", 1000, 7},
    {"EffBegDate", "生效日期", 1200, 1},   {"EffEndDate", "失效日期", 1200, 1},   {"ReplaceFlag", "替代标志", 900, 1},
};

ColumnFormat::Editor& editor()
{
    static ColumnFormat::Editor e;
    return e;
}

int& unloads()
{
    static int n = 0;
    return n;
}

// The settings dialog: a row per column with its shown flag and width.
bool runDialog(QList<ColumnFormat::Setting>& settings)
{
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("栏目设置"));
    auto* table = new QTableWidget(static_cast<int>(settings.size()), 3, &dialog);
    table->setHorizontalHeaderLabels({QStringLiteral("栏目"), QStringLiteral("显示"), QStringLiteral("宽度")});
    table->verticalHeader()->hide();
    QList<QCheckBox*> shown;
    QList<QSpinBox*> widths;
    for (int i = 0; i < settings.size(); ++i) {
        table->setItem(i, 0, new QTableWidgetItem(settings[i].caption));
        auto* check = new QCheckBox;
        check->setChecked(settings[i].visible);
        table->setCellWidget(i, 1, check);
        auto* width = new QSpinBox;
        width->setRange(0, 10000);
        width->setSingleStep(100);
        width->setValue(settings[i].width);
        table->setCellWidget(i, 2, width);
        shown.append(check);
        widths.append(width);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(table);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    for (int i = 0; i < settings.size(); ++i) {
        settings[i].visible = shown[i]->isChecked();
        settings[i].width = widths[i]->value();
    }
    return true;
}


} // namespace

QVariant FormatColumnList::Item(int index) const
{
    if (index < 1 || index > columns.size())
        throw AutomationError(ErrSubscriptOutOfRange);
    return fromObject(columns[index - 1]);
}

void ColumnFormat::setEditor(Editor e) { editor() = std::move(e); }

void ColumnFormat::Init(const QString& connectionString, const QString& loginText)
{
    connection_->Open(connectionString);
    login_ = loginText;
    data::runBound(connection_->database(), QStringLiteral("CREATE TABLE IF NOT EXISTS ColumnFormatSetting (SetKey TEXT COLLATE NOCASE, LoginText TEXT, "
                                                 "ColKey TEXT COLLATE NOCASE, Shown INTEGER, Width INTEGER, PRIMARY KEY (SetKey, LoginText, ColKey))"));
}

bool ColumnFormat::Load(const QString& setKey)
{
    if (setKey.compare(QLatin1String("BO02"), Qt::CaseInsensitive) != 0)
        throw AutomationError(ErrBadCallOrArgument, QStringLiteral("没有栏目组%1").arg(setKey));
    setKey_ = setKey.toUpper();
    columns_->columns.clear();
    for (const Default& d : bo02) {
        auto column = makeObject<FormatColumn>();
        column->key = QString::fromLatin1(d.key);
        column->caption = QString::fromUtf8(d.caption);
        column->width = d.width;
        column->alignment = d.alignment;
        columns_->columns.append(column);
    }
    if (connection_->isOpen()) {
        QSqlQuery q = data::runBound(connection_->database(),
                           QStringLiteral("SELECT ColKey, Shown, Width FROM ColumnFormatSetting WHERE SetKey = ? AND LoginText = ?"), {setKey_, login_});
        while (q.next())
            for (const auto& column : columns_->columns)
                if (column->key.compare(q.value(0).toString(), Qt::CaseInsensitive) == 0) {
                    column->visible = q.value(1).toInt() != 0;
                    column->width = q.value(2).toInt();
                }
    }
    return true;
}

QString ColumnFormat::fieldList() const
{
    QStringList keys;
    for (const auto& column : columns_->columns)
        keys.append(column->key);
    return keys.join(u',');
}

void ColumnFormat::ShowSettings(int)
{
    changed = false;
    QList<Setting> settings;
    for (const auto& column : columns_->columns)
        settings.append({column->key, column->caption, column->visible, column->width});
    const QList<Setting> before = settings;
    const bool accepted = editor() ? editor()(settings) : runDialog(settings);
    if (!accepted)
        return;
    for (int i = 0; i < settings.size() && i < columns_->columns.size(); ++i) {
        auto& column = columns_->columns[i];
        if (column->visible != settings[i].visible || column->width != settings[i].width)
            changed = true;
        column->visible = settings[i].visible;
        column->width = settings[i].width;
    }
    if (changed)
        save();
}

void ColumnFormat::save()
{
    if (!connection_->isOpen())
        return;
    for (const auto& column : columns_->columns)
        data::runBound(connection_->database(),
             QStringLiteral("INSERT OR REPLACE INTO ColumnFormatSetting (SetKey, LoginText, ColKey, Shown, Width) VALUES (?,?,?,?,?)"),
             {setKey_, login_, column->key, column->visible ? 1 : 0, column->width});
}

void ResLog::Unload() { ++unloads(); }

int ResLog::unloadCount() { return unloads(); }

} // namespace q7::host::browse
