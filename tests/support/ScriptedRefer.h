#pragma once

#include "platform/HostServices.h"

#include <QMap>
#include <QObject>
#include <QStringList>

// A reference service that picks what the test scripted for each refer kind
// (no entry: the person cancels), and notes what was asked.
class ScriptedRefer : public QObject, public q7::IRefer {
    Q_OBJECT
public:
    void InitReferInfo(QVariant& record, int count) override { record = QVariantMap{{QStringLiteral("Count"), count}}; }
    void SetReferInfo(QVariant&, int, const QString&, const QString&, const QString&) override {}
    bool ShowRefer(const QVariant&, const QString& referKind, const QVariantList& parameters, QVariant&, QVariant& picked, int,
                   int) override
    {
        asked.append(referKind);
        askedParameters.append(QVariant(parameters));
        if (!picks.contains(referKind))
            return false;
        picked = picks.value(referKind);
        return true;
    }
    bool ShowFreeItemRefer(const QVariant&, QVariant&, QVariant&, int, QVariant&, int) override { return false; }

    QMap<QString, QVariant> picks;
    QStringList asked;
    QVariantList askedParameters;
};

// Installs a scripted reference service for the component and the host for
// the life of the object.
class ScriptedReferScope {
public:
    ScriptedReferScope();
    ~ScriptedReferScope();
    ScriptedRefer& refer() { return *refer_; }

private:
    QSharedPointer<ScriptedRefer> refer_;
};
