#include "app/gui/FilterDialog.h"

#include "host/db/AccountDatabase.h"
#include "host/db/FreeItemTitles.h"
#include "platform/AutomationError.h"
#include "platform/values/Values.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QToolButton>
#include <QVBoxLayout>

namespace q7::app::gui {

using host::report::FilterSetting;
using host::report::ItemDefinition;

namespace {

QWidget* makeEditor(const ItemDefinition& definition, const QString& objectName, QWidget* parent)
{
    if (definition.type == ItemDefinition::Type::List) {
        auto* box = new QComboBox(parent);
        box->addItem(QString());
        box->addItems(definition.list);
        box->setObjectName(objectName);
        return box;
    }
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    if (definition.type == ItemDefinition::Type::Date)
        edit->setPlaceholderText(QStringLiteral("yyyy-mm-dd"));
    else if (definition.type == ItemDefinition::Type::Multi)
        edit->setPlaceholderText(definition.list.join(u','));
    return edit;
}

} // namespace

FilterDialog::FilterDialog(const ReportDocument& document, Runner runner, QWidget* parent)
    : QDialog(parent), document_(document), runner_(std::move(runner))
{
    setWindowTitle(QStringLiteral("%1 — 过滤").arg(document.title()));
    setObjectName(QStringLiteral("filterDialog"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    QStringList freeTitles;
    try {
        freeTitles = host::db::freeItemTitles(connection().database());
    } catch (const AutomationError&) {
        // an account that cannot be read shows the items' own captions; the run says what is wrong
    }
    const auto withPick = [this](QWidget* editor, FilterPick kind) -> QWidget* {
        if (kind == FilterPick::None)
            return editor;
        picks_.insert(editor, kind);
        auto* box = new QWidget(this);
        auto* row = new QHBoxLayout(box);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(2);
        editor->setParent(box);
        row->addWidget(editor, 1);
        auto* button = new QToolButton(box);
        button->setText(QStringLiteral("…"));
        button->setObjectName(QStringLiteral("pick_") + editor->objectName());
        button->setToolTip(QStringLiteral("参照 (F2)"));
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QToolButton::clicked, this, [this, editor] { pick(editor); });
        row->addWidget(button);
        return box;
    };
    for (const FilterField& field : document.fields()) {
        const ItemDefinition& d = field.definition;
        QString caption = values::trim(d.caption);
        static const QRegularExpression freeItem(QStringLiteral("^cFree(\\d+)$"), QRegularExpression::CaseInsensitiveOption);
        if (const auto match = freeItem.match(d.name.section(u'.', -1)); match.hasMatch())
            if (const QString title = freeTitles.value(match.captured(1).toInt() - 1); !title.isEmpty())
                caption = title;
        captions_.insert(d.name, caption);
        const FilterPick kind = pickOf(d);
        QWidget* low = makeEditor(d, QStringLiteral("low_") + d.name, this);
        low_.insert(d.name, low);
        if (d.range) {
            auto* row = new QHBoxLayout;
            QWidget* high = makeEditor(d, QStringLiteral("high_") + d.name, this);
            high_.insert(d.name, high);
            row->addWidget(withPick(low, kind), 1);
            row->addWidget(new QLabel(QStringLiteral("到"), this));
            row->addWidget(withPick(high, kind), 1);
            form->addRow(caption, row);
        } else {
            form->addRow(caption, withPick(low, kind));
        }
    }
    if (!document.angles().isEmpty()) {
        angle_ = new QComboBox(this);
        angle_->setObjectName(QStringLiteral("angle"));
        angle_->addItems(document.angles());
        form->addRow(QStringLiteral("比较角度"), angle_);
    }
    for (const FilterField& field : document.fields()) // top to bottom, from before to
        for (QWidget* editor : {low_.value(field.definition.name), high_.value(field.definition.name)})
            if (editor) {
                order_.append(editor);
                editor->installEventFilter(this);
            }
    if (angle_) {
        order_.append(angle_);
        angle_->installEventFilter(this);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    connect(buttons, &QDialogButtonBox::accepted, this, &FilterDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &FilterDialog::reject);
    layout->addWidget(buttons);

    QList<FilterSetting> defaults;
    for (const FilterField& field : document.fields())
        defaults.append({field.definition.name, field.low, field.definition.range ? std::optional<QString>(field.high) : std::nullopt});
    setValues(defaults, 1);
}

QString FilterDialog::textOf(const QWidget* editor)
{
    if (const auto* box = qobject_cast<const QComboBox*>(editor))
        return box->currentText();
    return static_cast<const QLineEdit*>(editor)->text();
}

void FilterDialog::setText(QWidget* editor, const QString& text)
{
    if (auto* box = qobject_cast<QComboBox*>(editor)) {
        const int index = box->findText(values::trim(text));
        box->setCurrentIndex(index < 0 ? 0 : index);
    } else {
        static_cast<QLineEdit*>(editor)->setText(text);
    }
}

void FilterDialog::setValues(const QList<FilterSetting>& settings, int angle)
{
    for (const FilterSetting& setting : settings) {
        for (auto it = low_.begin(); it != low_.end(); ++it) {
            if (!values::textEquals(it.key(), setting.name))
                continue;
            setText(it.value(), setting.low);
            if (QWidget* high = high_.value(it.key()))
                setText(high, setting.high.value_or(QString()));
        }
    }
    if (angle_ && angle >= 1 && angle <= angle_->count())
        angle_->setCurrentIndex(angle - 1);
}

QList<FilterSetting> FilterDialog::settings() const
{
    QList<FilterSetting> list;
    for (const FilterField& field : document_.fields()) {
        const QString& name = field.definition.name;
        FilterSetting setting{name, textOf(low_.value(name)), std::nullopt};
        if (QWidget* high = high_.value(name))
            setting.high = textOf(high);
        list.append(setting);
    }
    return list;
}

int FilterDialog::angle() const { return angle_ ? angle_->currentIndex() + 1 : 0; }

QWidget* FilterDialog::editor(const QString& itemName, int which) const
{
    for (auto it = low_.begin(); it != low_.end(); ++it)
        if (values::textEquals(it.key(), itemName))
            return which == 0 ? it.value() : high_.value(it.key());
    return nullptr;
}

bool FilterDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const qsizetype index = order_.indexOf(qobject_cast<QWidget*>(watched));
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && key->modifiers() == Qt::NoModifier && index >= 0) {
            accept(); // runs from any item; a refusal brings the focus to the item it names
            return true;
        }
        if (key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier && index >= 0 && pick(order_[index]))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

data::Connection& FilterDialog::connection()
{
    if (!connection_) {
        auto connection = std::make_unique<data::Connection>();
        host::db::openAccount(*connection, document_.accountPath());
        connection_ = std::move(connection);
    }
    return *connection_;
}

QString FilterDialog::captionOf(const QString& itemName) const
{
    for (auto it = captions_.begin(); it != captions_.end(); ++it)
        if (values::textEquals(it.key(), itemName))
            return it.value();
    return {};
}

QString FilterDialog::parentCode() const
{
    for (const FilterField& field : document_.fields()) {
        const FilterPick kind = pickOf(field.definition);
        if (kind == FilterPick::Parent || kind == FilterPick::Item)
            return values::trim(textOf(low_.value(field.definition.name)));
    }
    return {};
}

bool FilterDialog::pick(QWidget* editor)
{
    const FilterPick kind = picks_.value(editor, FilterPick::None);
    if (kind == FilterPick::None)
        return false;
    try {
        const QString value = pickValue(kind, connection(), textOf(editor), parentCode(), this);
        if (!value.isEmpty())
            setText(editor, value);
    } catch (const AutomationError& error) {
        QMessageBox::warning(this, windowTitle(), error.description());
    }
    editor->setFocus(Qt::OtherFocusReason);
    return true;
}

void FilterDialog::accept()
{
    if (running_)
        return; // a second Enter while the first run goes on
    running_ = true;
    run_ = runner_(settings(), angle());
    running_ = false;
    if (run_.cancelled)
        return; // stopped by the user: the filter stays for another try
    if (!run_.refused) {
        QDialog::accept();
        return;
    }
    QWidget* offending = run_.offendingItem.isEmpty() ? nullptr : editor(run_.offendingItem);
    QMessageBox::warning(this, windowTitle(), run_.message);
    if (offending)
        offending->setFocus(Qt::OtherFocusReason);
}

void FilterDialog::reject()
{
    if (!running_) // the run is stopped with its own Cancel; the dialog waits for it
        QDialog::reject();
}

} // namespace q7::app::gui
