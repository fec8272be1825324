// The voucher's actions by name, for automation: what a person does in the
// window, with the message that refused an action handed back as text.
#include "host/MessagePresenter.h"
#include "host/voucher/BomStore.h"
#include "host/voucher/VoucherControl.h"
#include "host/voucher/VoucherForm.h"
#include "host/voucher/VoucherLibrary.h"
#include "platform/ClassRegistry.h"
#include "platform/values/Values.h"

#include <memory>

namespace q7::host::voucher {

namespace {

// Collects what the voucher says while an action runs, instead of showing it.
class Said {
public:
    Said() : previous_(currentMessagePresenter()), recorder_(std::make_shared<RecordingPresenter>()) { setMessagePresenter(recorder_); }
    ~Said() { setMessagePresenter(previous_); }
    Said(const Said&) = delete;
    Said& operator=(const Said&) = delete;
    // Why an action was refused: the last message, or a plain word when it said nothing.
    QString refusal() const { return recorder_->messages.isEmpty() ? QStringLiteral("refused") : recorder_->messages.last().text; }

private:
    std::shared_ptr<MessagePresenter> previous_;
    std::shared_ptr<RecordingPresenter> recorder_;
};

} // namespace

bool VoucherForm::ShowBom(const QString& invCode, const QString& version)
{
    const int id = store().mainBomOf(invCode, version);
    return id > 0 && loadBom(id);
}

QString VoucherForm::TypeHead(const QString& key, const QVariant& value)
{
    const Said said;
    return typeHead(key, value) ? QString() : said.refusal();
}

QString VoucherForm::TypeBody(int row, const QString& key, const QVariant& value)
{
    const Said said;
    return typeBody(row, key, value) ? QString() : said.refusal();
}

QString VoucherForm::Save()
{
    const Said said;
    return save() ? QString() : said.refusal();
}

QVariant VoucherForm::HeadText(const QString& key) const { return voucher().headerText(key); }
QVariant VoucherForm::BodyText(int row, const QString& key) const { return voucher().bodyText(row, key); }
int VoucherForm::Rows() const { return voucher().rows(); }

QVariant VoucherLibrary::OpenVoucher(const QString& accountPath, const QString& user)
{
    auto form = VoucherForm::create(QStringLiteral("BO11"), accountPath, user);
    form->open(createObject(QStringLiteral("Q7BomLib.clsBO01001")));
    open_.append(form);
    return fromObject(form);
}

} // namespace q7::host::voucher
