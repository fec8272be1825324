#include "app/BrowseCommand.h"

#include "browse/FrmBO02001.h"
#include "browse/FrmBO02001Cond.h"
#include "frame/ModBOM.h"
#include "host/browse/AccountContext.h"
#include "host/db/AccountDatabase.h"
#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"
#include "platform/SystemSettings.h"
#include "platform/forms/TreeView.h"

#include <QApplication>
#include <QDate>
#include <QFile>
#include <QPixmap>

#include <cstdio>
#include <functional>
#include <optional>

using namespace q7;
using namespace q7::forms;

namespace {

void printHelp()
{
    std::fputs("Usage: q7bom browse ITEM [--where-used] [--date D] [--version V] [--free N=VALUE]...\n"
               "                         [--plan-ratio] [--level-list] [--depth N] [--db FILE]\n"
               "                         [--screenshot FILE] [--condition-screenshot FILE]\n"
               "Opens the multi-level BOM browse (structure, or where-used with --where-used) as the\n"
               "host does, fills its condition dialog, opens every node down to the given depth and\n"
               "prints the tree indented by two blanks per level.\n"
               "  --date D          effective date yyyy-mm-dd (default: today, the login date)\n"
               "  --version V       BOM version of the item (structure; default: the one in force)\n"
               "  --free N=VALUE    value of free item N (1..10) of the item\n"
               "  --plan-ratio      quantities times the lines' plan ratio\n"
               "  --level-list      show accumulated quantities (structure)\n"
               "  --depth N         levels to show, the item being level 1 (default: all)\n"
               "  --db FILE         account database (default: the demo account)\n"
               "  --screenshot FILE the browse window as a PNG, the item's own BOM shown beside the tree\n"
               "  --condition-screenshot FILE  the filled condition dialog as a PNG\n"
               "Messages go to standard error; status 1 when nothing is found, 2 for refused input.\n",
               stdout);
}

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

Options parse(const QStringList& args)
{
    Options o;
    const auto value = [&](qsizetype& i) {
        if (i + 1 >= args.size())
            throw Refused{args[i] + QStringLiteral(" needs a value")};
        return args[++i];
    };
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--where-used")) {
            o.whereUsed = true;
        } else if (a == QLatin1String("--date")) {
            o.date = QDate::fromString(value(i), QStringLiteral("yyyy-MM-dd"));
            if (!o.date.isValid())
                throw Refused{QStringLiteral("--date expects yyyy-mm-dd, got '%1'").arg(args[i])};
        } else if (a == QLatin1String("--version")) {
            o.version = value(i);
        } else if (a == QLatin1String("--free")) {
            const QString text = value(i);
            bool ok = false;
            const int n = text.section(u'=', 0, 0).toInt(&ok);
            if (!ok || n < 1 || n > 10 || !text.contains(u'='))
                throw Refused{QStringLiteral("--free expects N=VALUE with N from 1 to 10, got '%1'").arg(text)};
            o.free.insert(n, text.section(u'=', 1));
        } else if (a == QLatin1String("--plan-ratio")) {
            o.planRatio = true;
        } else if (a == QLatin1String("--level-list")) {
            o.levelList = true;
        } else if (a == QLatin1String("--depth")) {
            bool ok = false;
            o.depth = value(i).toInt(&ok);
            if (!ok || o.depth < 1)
                throw Refused{QStringLiteral("--depth expects a whole number from 1, got '%1'").arg(args[i])};
        } else if (a == QLatin1String("--db")) {
            o.db = value(i);
        } else if (a == QLatin1String("--screenshot")) {
            o.screenshot = value(i);
        } else if (a == QLatin1String("--condition-screenshot")) {
            o.conditionScreenshot = value(i);
        } else if (a.startsWith(QLatin1String("--"))) {
            throw Refused{QStringLiteral("unknown option '%1' (see --help)").arg(a)};
        } else if (o.item.isEmpty()) {
            o.item = a;
        } else {
            throw Refused{QStringLiteral("unexpected argument '%1' (see --help)").arg(a)};
        }
    }
    if (o.item.isEmpty())
        throw Refused{QStringLiteral("an item code is required (see --help)")};
    return o;
}

// Fills the condition dialog as a user types into it; a refused field is refused input.
void fillCondition(FrmBO02001Cond& dialog, const Options& o, std::optional<Refused>& refused)
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
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"))) {
        printHelp();
        return 0;
    }
    Options o;
    try {
        o = parse(args);
    } catch (const Refused& r) {
        std::fprintf(stderr, "q7bom browse: %s\n", r.message.toUtf8().constData());
        return 2;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
        std::fputs("q7bom browse: needs a QApplication\n", stderr);
        return 1;
    }
    const QString path = o.db.isEmpty() ? host::account::ensureDemoAccount() : o.db;
    if (!QFile::exists(path)) {
        std::fprintf(stderr, "q7bom browse: no account database %s\n", path.toUtf8().constData());
        return 2;
    }
    const auto account = host::AccountContext::open(path, o.date.isValid() ? o.date : system::today());
    const QString menuKey = o.whereUsed ? QStringLiteral("BO02002") : QStringLiteral("BO02001");
    const Object factory = createObject(QStringLiteral("Q7BomLib.clsViewFactory"));
    auto form = objectCast<FrmBO02001>(toObject(call(factory, QStringLiteral("CreateView"), {QStringLiteral("Morvex.Q7.BO.") + menuKey})));
    QVariant first = fromObject(account), second = menuKey;
    form->Enter(first, second);
    form->setWidthTwips(16000);
    form->setHeightTwips(9000);

    std::optional<Refused> refused;
    bool conditionSaved = true;
    Form::setModalDriver([&](Form& shown) {
        auto* dialog = qobject_cast<FrmBO02001Cond*>(&shown);
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
