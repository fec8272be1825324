#include "app/BrowseCommand.h"
#include "host/voucher/BomChecks.h"
#include "platform/values/Values.h"

#include "app/CommandParser.h"

#include "browse/FrmBO02001.h"
#include "browse/FrmBO02001Cond.h"
#include "frame/ModBOM.h"
#include "host/browse/AccountContext.h"
#include "host/db/AccountDatabase.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/forms/TreeView.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QPixmap>

#include <cstdio>
#include <functional>
#include <optional>

namespace q7::app {

using namespace q7::forms;

namespace {

struct Options {
    QString item;
    bool whereUsed = false;
    QDate date;
    QString version;
    QMap<int, QString> free;
    bool planRatio = false;
    bool levelList = false;
    int depth = 1000;
    QString db, screenshot, conditionScreenshot;
};

// Refused input: the message and exit status 2.
struct Refused {
    QString message;
};

// The options as the command line gives them; a refused option throws Refused.
Options optionsOf(const CommandParser& command)
{
    Options o;
    o.item = command.positionals().first();
    o.whereUsed = command.isSet(QStringLiteral("where-used"));
    if (command.isSet(QStringLiteral("date"))) {
        o.date = QDate::fromString(command.value(QStringLiteral("date")), QStringLiteral("yyyy-MM-dd"));
        if (!o.date.isValid())
            throw Refused{QStringLiteral("--date expects yyyy-mm-dd, got '%1'").arg(command.value(QStringLiteral("date")))};
    }
    o.version = command.value(QStringLiteral("version"));
    if (command.isSet(QStringLiteral("version")) &&
        !(q7::values::isPlainDecimal(o.version) && q7::host::voucher::isVersionNumber(o.version.trimmed().toDouble())))
        throw Refused{QStringLiteral("--version expects a version number from 1 to 99999999, got '%1'").arg(o.version)};
    for (const QString& text : command.values(QStringLiteral("free"))) {
        bool ok = false;
        const int n = text.section(u'=', 0, 0).toInt(&ok);
        if (!ok || n < 1 || n > 10 || !text.contains(u'='))
            throw Refused{QStringLiteral("--free expects N=VALUE with N from 1 to 10, got '%1'").arg(text)};
        o.free.insert(n, text.section(u'=', 1));
    }
    o.planRatio = command.isSet(QStringLiteral("plan-ratio"));
    o.levelList = command.isSet(QStringLiteral("level-list"));
    if (command.isSet(QStringLiteral("depth"))) {
        bool ok = false;
        o.depth = command.value(QStringLiteral("depth")).toInt(&ok);
        if (!ok || o.depth < 1)
            throw Refused{QStringLiteral("--depth expects a whole number from 1, got '%1'").arg(command.value(QStringLiteral("depth")))};
    }
    o.db = command.value(QStringLiteral("db"));
    if (command.isSet(QStringLiteral("db")) && o.db.trimmed().isEmpty())
        throw Refused{QStringLiteral("--db needs the path of an account database")};
    o.screenshot = command.value(QStringLiteral("screenshot"));
    o.conditionScreenshot = command.value(QStringLiteral("condition-screenshot"));
    return o;
}

// Fills the condition dialog as a user types into it; a refused field is refused input.
void fillCondition(component::FrmBO02001Cond& dialog, const Options& o, std::optional<Refused>& refused)
{
    dialog.txtInvCode->SetFocus();
    dialog.txtInvCode->type(o.item);
    if (dialog.txtInvCode->text() != o.item) {
        refused = Refused{QStringLiteral("the item code may not contain < > ' \" | & ,")};
        return;
    }
    if (!dialog.txtInvCode->leave()) {
        refused = Refused{QStringLiteral("item %1 does not exist").arg(o.item)};
        return;
    }
    for (auto it = o.free.begin(); it != o.free.end(); ++it) {
        ComboBox* list = dialog.cboFree[it.key()];
        int index = -1;
        for (int k = 0; k < list->listCount(); ++k)
            if (list->List(k) == it.value())
                index = k;
        if (!list->isEnabled() || index < 0) {
            refused = Refused{QStringLiteral("free item %1 of %2 has no value '%3'").arg(it.key()).arg(o.item, it.value())};
            return;
        }
        list->setListIndex(index);
    }
    if (o.date.isValid())
        dialog.txtVersionEffDate->setText(o.date.toString(QStringLiteral("yyyy-MM-dd")));
    if (dialog.txtVersion->isVisible()) {
        dialog.txtVersion->setText(o.version);
        if (o.version.isEmpty())
            dialog.LookupVersion();
    }
    dialog.cboPlanRateFlag->setListIndex(o.planRatio ? 0 : 1);
    if (dialog.cboQueryType->isVisible())
        dialog.cboQueryType->setListIndex(o.levelList ? 1 : 0);
}

bool save(QWidget* window, const QString& file)
{
    QApplication::processEvents();
    if (window->grab().save(file, "PNG"))
        return true;
    std::fprintf(stderr, "q7bom browse: cannot write %s\n", file.toUtf8().constData());
    return false;
}

} // namespace

int runBrowseCommand(const QStringList& args)
{
    CommandParser command(QStringLiteral("browse"), QStringLiteral("[options] ITEM"),
                          QStringLiteral("Opens the multi-level BOM browse (structure, or where-used with --where-used) as the\n"
                                         "host does, fills the condition dialog, grows the tree through the query object and\n"
                                         "prints it indented (or draws the window into a PNG). Messages go to standard error;\n"
                                         "status 1 when nothing is found, 2 for refused input."));
    command.addOption({QStringLiteral("where-used"), QStringLiteral("The where-used browse instead of the structure.")});
    command.addOption({QStringLiteral("date"), QStringLiteral("Effective date yyyy-mm-dd (default: today, the login date)."), QStringLiteral("D")});
    command.addOption({QStringLiteral("version"), QStringLiteral("BOM version of the item (structure; default: the one in force)."),
                       QStringLiteral("V")});
    command.addOption({QStringLiteral("free"), QStringLiteral("Value of free item N (1..10) of the item; repeatable."), QStringLiteral("N=VALUE")});
    command.addOption({QStringLiteral("plan-ratio"), QStringLiteral("Quantities times the lines' plan ratio.")});
    command.addOption({QStringLiteral("level-list"), QStringLiteral("Show accumulated quantities (structure).")});
    command.addOption({QStringLiteral("depth"), QStringLiteral("Levels to show, the item being level 1 (default: all)."), QStringLiteral("N")});
    command.addOption({QStringLiteral("db"), QStringLiteral("Account database (default: the demo account)."), QStringLiteral("FILE")});
    command.addOption({QStringLiteral("screenshot"), QStringLiteral("The browse window as a PNG, the item's own BOM beside the tree."),
                       QStringLiteral("FILE")});
    command.addOption({QStringLiteral("condition-screenshot"), QStringLiteral("The filled condition dialog as a PNG."), QStringLiteral("FILE")});
    if (const auto done = command.parse(args, 1, 1))
        return *done;
    Options o;
    try {
        o = optionsOf(command);
    } catch (const Refused& r) {
        return command.refuse(r.message);
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fputs("q7bom browse: needs a QApplication\n", stderr);
        return 1;
    }
    const QString path = o.db.isEmpty() ? host::db::ensureDemoAccount() : o.db;
    if (!host::db::isServerAccount(path) && !QFile::exists(path)) {
        std::fprintf(stderr, "q7bom browse: no account database %s\n", path.toUtf8().constData());
        return 2;
    }
    const auto account = host::browse::AccountContext::open(path, o.date.isValid() ? o.date : system::today());
    const QString menuKey = o.whereUsed ? QStringLiteral("BO02002") : QStringLiteral("BO02001");
    const Object factory = createObject(QStringLiteral("Q7BomLib.clsViewFactory"));
    auto form = objectCast<component::FrmBO02001>(toObject(call(factory, QStringLiteral("CreateView"), {QStringLiteral("Morvex.Q7.BO.") + menuKey})));
    QVariant first = fromObject(account), second = menuKey;
    form->Enter(first, second);
    form->setWidthTwips(16000);
    form->setHeightTwips(9000);

    std::optional<Refused> refused;
    bool conditionSaved = true;
    Form::setModalDriver([&](Form& shown) {
        auto* dialog = qobject_cast<component::FrmBO02001Cond*>(&shown);
        if (!dialog)
            return;
        fillCondition(*dialog, o, refused);
        if (!refused && !o.conditionScreenshot.isEmpty())
            conditionSaved = save(dialog->window(), o.conditionScreenshot);
        if (refused)
            dialog->cdmCancel->click();
        else
            dialog->cmdOK->click();
    });
    form->Show(); // the first activation opens the condition dialog
    Form::setModalDriver({});
    if (refused) {
        std::fprintf(stderr, "q7bom browse: %s\n", refused->message.toUtf8().constData());
        return 2;
    }
    TreeView* tree = form->tvBOM;
    if (tree->roots().isEmpty())
        return 1; // the dialog's message says why

    std::function<void(TreeNode*, int)> grow = [&](TreeNode* node, int level) {
        if (level >= o.depth)
            return;
        if (node->children() == 1 && node->childNodes().first()->text().isEmpty() && !node->tag.toString().endsWith(QStringLiteral("|True")))
            tree->expandNode(node);
        const auto children = node->childNodes();
        for (const auto& child : children)
            grow(child.data(), level + 1);
    };
    TreeNode* root = tree->roots().first().data();
    grow(root, 1);

    std::function<void(TreeNode*, int)> print = [&](TreeNode* node, int depth) {
        std::printf("%s%s\n", QString(depth * 2, u' ').toUtf8().constData(), node->text().toUtf8().constData());
        for (const auto& child : node->childNodes())
            if (!child->text().isEmpty())
                print(child.data(), depth + 1);
    };
    if (o.screenshot.isEmpty() && o.conditionScreenshot.isEmpty())
        print(root, 0);
    if (!o.screenshot.isEmpty()) {
        // the item's own document beside the tree; reloading a node with a
        // single child would take its grown branch back to a placeholder
        tree->select(root);
        if (root->children() != 1) {
            QVariant tag = root->tag;
            form->LoadData(tag);
        }
        if (!save(form->window(), o.screenshot))
            return 1;
        std::printf("%s\n", o.screenshot.toUtf8().constData());
    }
    if (!o.conditionScreenshot.isEmpty()) {
        if (!conditionSaved)
            return 1;
        std::printf("%s\n", o.conditionScreenshot.toUtf8().constData());
    }
    form->Unload();
    return 0;
}

} // namespace q7::app
