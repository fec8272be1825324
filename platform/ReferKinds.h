#pragma once

#include <QString>

// The kinds of reference look-up that IRefer::ShowRefer answers, with the
// names the host's reference lists go by.
namespace q7 {

enum ReferKind {
    ReferInventory = 1,
    ReferBomVersion = 2,
    ReferBomIdentCode = 3,
    ReferProutingOperation = 4,
    ReferBomParent = 5,
    ReferBomComponent = 6,
};

inline QString referKindName(int kind)
{
    switch (kind) {
    case ReferInventory: return QStringLiteral("Inventory");
    case ReferBomVersion: return QStringLiteral("BomVersion");
    case ReferBomIdentCode: return QStringLiteral("BomIdentCode");
    case ReferProutingOperation: return QStringLiteral("ProutingOperation");
    case ReferBomParent: return QStringLiteral("BomParent");
    case ReferBomComponent: return QStringLiteral("BomComponent");
    default: return QString();
    }
}

// The kind of a name (ignoring case); 0 for a name that is none of them.
inline int referKindOf(const QString& name)
{
    for (int kind = ReferInventory; kind <= ReferBomComponent; ++kind)
        if (name.compare(referKindName(kind), Qt::CaseInsensitive) == 0)
            return kind;
    return 0;
}

} // namespace q7
