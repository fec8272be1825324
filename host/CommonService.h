#pragma once

#include "platform/HostServices.h"

#include <QObject>

namespace q7::host {

// The host's common services. Resource texts come from the string table of
// the library the service was made for (the BOM component by default).
class CommonService : public QObject, public ICommon {
    Q_OBJECT
public:
    explicit CommonService(QString library = QStringLiteral("Q7BomLib")) : library_(std::move(library)) {}

    bool IsBlank(const QVariant& text) override;
    bool IsFilled(const QVariant& text) override { return !IsBlank(text); }
    bool IsTrue(const QVariant& flag) override;
    int GetToolbarMode(QVariant& account) override;
    QString GetHelpFilePath(const QVariant& login) override;
    bool CallServer(const QVariant& target, const QString& operation, QVariant& result) override;
    bool CallServerWithParams(const QVariant& target, const QString& operation, const QVariantList& names,
                              const QVariantList& values, QVariant& result) override;
    bool BeginTask(const QVariant& login, const QString& authorityId, int taskKind) override;
    bool EndTask(const QVariant& login, const QString& authorityId, int taskKind) override;
    QImage GetIcon(int number) override;
    QString LoadString(int number, const QVariant& omitted = missingValue(), int kind = TextLabel) override;
    bool CheckDate(QVariant& text, int flag) override;
    void SetFormButtons(const Object& form, const QVariantList& buttons) override;

    // The account's toolbar mode (1 selects the maker's toolbar control).
    static void setToolbarMode(int mode);

private:
    QString library_;
};

} // namespace q7::host
