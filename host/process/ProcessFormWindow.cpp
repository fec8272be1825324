#include "host/process/ProcessFormWindow.h"

#include "host/MessagePresenter.h"
#include "host/process/ProcessForm.h"
#include "host/process/ProcessHead.h"
#include "host/process/RunsDialog.h"
#include "host/ui/Confirm.h"
#include "host/ui/DialogDriver.h"
#include "platform/values/Values.h"
#include "platform/forms/BasicControls.h"
#include "platform/forms/Grid.h"
#include "platform/forms/Keys.h"
#include "platform/forms/Units.h"

#include <algorithm>

namespace q7::host::process {

namespace {

constexpr double Margin = 240, RowHeight = 315, RowGap = 90, LabelWidth = 1300, BoxWidth = 2500, ColumnGap = 360;
constexpr double ColumnWidth = LabelWidth + BoxWidth;
constexpr double StatusHeight = 2 * RowHeight; // two lines of text

// Which column of the form a field stands in: the old (or only) item on the
// left, the new item on the right, everything else below both.
enum class Place { Left, Right, Below };
Place placeOf(const QString& key)
{
    if (key.startsWith(QLatin1String("New")) || key.startsWith(QLatin1String("DInvFree_")))
        return Place::Right;
    if (key.contains(QLatin1String("Inv")) && !key.startsWith(QLatin1String("SInv")) && !key.startsWith(QLatin1String("EInv")))
        return Place::Left;
    return Place::Below;
}

} // namespace

ProcessFormWindow::ProcessFormWindow(ProcessForm& model) : model_(model)
{
    setCaption(model_.definition().caption);
    helpContextId = model_.helpId();
    layOut();
    window();
    showModel();
}

void ProcessFormWindow::layOut()
{
    const ProcessHead& head = model_.head();
    double rowOf[3] = {0, 0, 0};
    int below = 0;
    const auto placeRow = [&](Place place, double& left, double& top) {
        if (place == Place::Below) {
            left = Margin + (below % 2) * (ColumnWidth + ColumnGap);
            top = std::max(rowOf[0], rowOf[1]) + (below / 2) * (RowHeight + RowGap);
            ++below;
            return;
        }
        const int column = place == Place::Left ? 0 : 1;
        left = Margin + column * (ColumnWidth + ColumnGap);
        top = rowOf[column];
        rowOf[column] += RowHeight + RowGap;
    };
    rowOf[0] = rowOf[1] = Margin;

    if (!model_.description().isEmpty() || model_.definition().hasDescription) {
        auto* label = add<forms::Label>(QStringLiteral("lblDesc"));
        label->setGeometryTwips(Margin, Margin, 2 * ColumnWidth + ColumnGap, 2 * RowHeight);
        label->setCaption(model_.description());
        rowOf[0] = rowOf[1] = Margin + 3 * RowHeight;
    }
    for (const QString& key : head.keys()) {
        const FieldDefinition& field = head.definition(key);
        if (field.kind == FieldKind::Flag)
            continue;
        const QString title = head.state(key)->sCardFormula1;
        if (field.freeItem > 0 && title.isEmpty())
            continue; // free items the account does not use
        double left = 0, top = 0;
        placeRow(placeOf(key), left, top);
        auto* caption = add<forms::Label>(QStringLiteral("lblField"), static_cast<int>(textKeys_.size() + listKeys_.size()));
        caption->setGeometryTwips(left, top, LabelWidth - 90, RowHeight);
        caption->setCaption(title.isEmpty() ? field.caption : title);
        caption->setAlignment(1);
        if (field.kind == FieldKind::List) {
            auto* list = add<forms::ComboBox>(QStringLiteral("cboField"), static_cast<int>(listKeys_.size()));
            list->setGeometryTwips(left + LabelWidth, top, BoxWidth, RowHeight);
            for (const QString& text : model_.listTexts(key))
                list->AddItem(text);
            listKeys_.append(key);
            lists_.append(list);
        } else {
            auto* text = add<forms::TextBox>(QStringLiteral("txtField"), static_cast<int>(textKeys_.size()));
            text->setGeometryTwips(left + LabelWidth, top, BoxWidth, RowHeight);
            if (field.kind == FieldKind::Shown) {
                text->locked = true;
                text->setBackColor(QColor(0xe8, 0xe8, 0xe8));
            }
            textKeys_.append(key);
            texts_.append(text);
        }
    }
    const double buttonsTop = std::max(rowOf[0], rowOf[1]) + ((below + 1) / 2) * (RowHeight + RowGap) + RowGap;
    const double width = 2 * ColumnWidth + ColumnGap;
    const char* buttons[][2] = {{"cmdRuns", "运行记录"}, {"cmdPreview", "预览"}, {"cmdRun", "运行"}, {"cmdExit", "退出"}};
    double left = Margin + width - 4 * 1100 - 3 * 120;
    for (const auto& [name, text] : buttons) {
        auto* button = add<forms::CommandButton>(QString::fromLatin1(name));
        button->setGeometryTwips(left, buttonsTop, 1100, 375);
        button->setCaption(QString::fromUtf8(text));
        left += 1100 + 120;
    }
    // the status has a row of its own under the buttons, wide and two lines high, so a refusal is read in full
    const double statusTop = buttonsTop + 375 + RowGap;
    status_ = add<forms::Label>(QStringLiteral("lblStatus"));
    status_->setGeometryTwips(Margin, statusTop, width, StatusHeight);
    status_->setWordWrap(true);
    const double gridTop = statusTop + StatusHeight + RowGap;
    grid_ = add<forms::Grid>(QStringLiteral("grdResult"));
    grid_->setGeometryTwips(Margin, gridTop, width, 2400);
    grid_->setCols(1);
    grid_->setRows(1);
    setWidthTwips(width + 2 * Margin + FramePixelsX * forms::Screen::twipsPerPixelX());
    setHeightTwips(gridTop + 2400 + Margin + FramePixelsY * forms::Screen::twipsPerPixelY());
}

void ProcessFormWindow::showModel()
{
    showing_ = true; // the controls' events while they are filled are not the user's
    const ProcessHead& head = model_.head();
    for (qsizetype i = 0; i < textKeys_.size(); ++i) {
        texts_[i]->setText(values::toTextOrEmpty(head.headerText(textKeys_[i])));
        texts_[i]->setEnabled(head.isEnabled(textKeys_[i]));
    }
    for (qsizetype i = 0; i < listKeys_.size(); ++i) {
        const int index = static_cast<int>(model_.listTexts(listKeys_[i]).indexOf(values::toTextOrEmpty(head.headerText(listKeys_[i]))));
        lists_[i]->setListIndex(index);
        lists_[i]->setEnabled(head.isEnabled(listKeys_[i]));
    }
    if (auto* label = qobject_cast<forms::Label*>(control(QStringLiteral("lblDesc"))))
        label->setCaption(model_.description());
    showing_ = false;
}

void ProcessFormWindow::txtField_Validate(int index, QVariant& cancel)
{
    if (showing_ || index < 0 || index >= textKeys_.size() || texts_[index]->locked)
        return;
    const QString key = textKeys_[index];
    if (texts_[index]->text() == values::toTextOrEmpty(model_.head().headerText(key)))
        return;
    QString reason;
    if (!model_.setField(key, texts_[index]->text(), &reason)) {
        setStatus(reason);
        cancel = true;
        return;
    }
    setStatus(QString());
    showModel();
}

void ProcessFormWindow::txtField_KeyDown(int index, QVariant& keyCode, const QVariant&)
{
    if (values::toLong(keyCode) != forms::KeyF2 || index < 0 || index >= textKeys_.size() || texts_[index]->locked)
        return;
    keyCode = 0;
    if (!commitTyped())
        return;
    model_.browse(textKeys_[index]);
    showModel();
}

void ProcessFormWindow::cboField_Click(int index)
{
    if (showing_ || index < 0 || index >= listKeys_.size())
        return;
    QString reason;
    if (!model_.setField(listKeys_[index], lists_[index]->text(), &reason))
        setStatus(reason);
    showModel();
}

bool ProcessFormWindow::commitTyped()
{
    for (qsizetype i = 0; i < texts_.size(); ++i) {
        QVariant cancel = false;
        txtField_Validate(static_cast<int>(i), cancel);
        if (values::toBoolean(cancel))
            return false;
    }
    return true;
}

void ProcessFormWindow::showRuns()
{
    RunsDialog runs(model_.connection(), model_.user(), window());
    ui::runDialog(runs);
}

void ProcessFormWindow::preview()
{
    if (commitTyped())
        attempt(true);
}

// A run changes the account: the user first sees how many rows it changes
// and says yes to them.
void ProcessFormWindow::runOperation()
{
    if (!commitTyped())
        return;
    const auto preview = attempt(true);
    if (!preview)
        return;
    if (preview->rows.isEmpty())
        return; // nothing to change: the preview says so
    const QString question = QStringLiteral("%1\n\n运行将修改以上 %2 行，确定运行吗？").arg(preview->summary).arg(preview->rows.size());
    if (!ui::confirm(window(), question)) {
        setStatus(QStringLiteral("%1（未运行）").arg(preview->summary));
        return;
    }
    attempt(false);
}

std::optional<ops::OperationResult> ProcessFormWindow::attempt(bool dryRun)
{
    try {
        // the handler's refusal reaches the user as a message; the status keeps it too
        std::optional<ops::OperationResult> result;
        const QList<PresentedMessage> heard = heardWhile([&] { result = model_.run(dryRun); });
        if (!result) {
            clearResult();
            setStatus(heard.isEmpty() ? QStringLiteral("输入不完整") : heard.first().text);
            return std::nullopt;
        }
        showResult(*result);
        return result;
    } catch (const ops::RefusedOperation& refused) {
        clearResult(); // rows of an earlier preview are not what this input does
        setStatus(refused.description());
        messagePresenter().present({MessageKind::Error, refused.description(), {}, refused.description()});
        return std::nullopt;
    }
}

void ProcessFormWindow::clearResult()
{
    grid_->setRows(1);
    grid_->setCols(1);
    grid_->SetTextMatrix(0, 0, QString());
}

void ProcessFormWindow::showResult(const ops::OperationResult& result)
{
    grid_->setRedraw(false);
    grid_->setCols(std::max<int>(1, static_cast<int>(result.headers.size())));
    grid_->setRows(static_cast<int>(result.rows.size()) + 1);
    grid_->setFixedRows(1);
    grid_->setFormatString(result.headers.join(u'|'));
    grid_->setFixedCols(0);
    // Columns as wide as their longest text (a Chinese character takes two).
    const auto textWidth = [](const QString& text) {
        double w = 0;
        for (const QChar c : text)
            w += c.unicode() >= 0x2e80 ? 2 : 1;
        return w * 105 + 150;
    };
    for (int c = 0; c < result.headers.size(); ++c) {
        double w = textWidth(result.headers[c]);
        for (const QStringList& row : result.rows)
            w = std::max(w, textWidth(row.value(c)));
        grid_->SetColWidth(c, w);
    }
    for (int r = 0; r < result.rows.size(); ++r)
        for (int c = 0; c < result.rows[r].size() && c < result.headers.size(); ++c)
            grid_->SetTextMatrix(r + 1, c, result.rows[r][c]);
    grid_->setRedraw(true);
    setStatus(result.summary);
}

void ProcessFormWindow::setStatus(const QString& text) { status_->setCaption(text); }

QString ProcessFormWindow::status() const { return status_->caption(); }

forms::TextBox* ProcessFormWindow::textBox(const QString& key) const
{
    for (qsizetype i = 0; i < textKeys_.size(); ++i)
        if (values::textEquals(textKeys_[i], key))
            return texts_[i];
    return nullptr;
}

forms::ComboBox* ProcessFormWindow::listBox(const QString& key) const
{
    for (qsizetype i = 0; i < listKeys_.size(); ++i)
        if (values::textEquals(listKeys_[i], key))
            return lists_[i];
    return nullptr;
}

} // namespace q7::host::process
