#pragma once

#include "browse/FrmBO02001.h"
#include "browse/FrmBO02001Cond.h"
#include "host/browse/AccountContext.h"

#include <QDate>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

namespace browse {

// Opens the browse window as the host does: an account context over an
// account file, the view from the view factory, Enter with the menu key and
// the first activation (which opens the condition dialog).
struct Session {
    Session(const QString& menuKey, const QString& accountPath, const QDate& loginDate = QDate(2026, 12, 7));
    ~Session();

    // The condition dialog that the window opened last.
    q7::component::FrmBO02001Cond& dialog() const;
    // Types the item code and leaves the field (as Tab does).
    void enterItem(const QString& code);
    // Picks a list entry of a free item by its text.
    void chooseFree(int index, const QString& value);
    void ok();

    // The tree as indented lines "  label" (two blanks per level below the root).
    QStringList treeLines() const;
    // Opens every node below the root, level by level.
    void growAll(int depth = 100);

    QSharedPointer<q7::host::browse::AccountContext> account;
    QSharedPointer<q7::component::FrmBO02001> form;
};

} // namespace browse
