#pragma once

#include <QObject>
#include <QVariant>

namespace q7::component {

// Tells the host what kind of program a menu entry is and, for document,
// maintenance and report entries, hands it a new handler.
class clsProgramDefine : public QObject {
    Q_OBJECT
public:
    // Only sMenuID is examined (exactly, case-sensitively); outputs that the
    // entry does not set are left as the caller passed them.
    Q_INVOKABLE void SetProgramType(const QString& sMenuID, const QString& sAuthID, QVariant& eProgramType,
                                    QVariant& sVouType, QVariant& oClass);
};

} // namespace q7::component
