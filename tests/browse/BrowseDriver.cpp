#include "browse/BrowseDriver.h"

#include "frame/ModBOM.h"
#include "platform/ClassRegistry.h"
#include "platform/LateBinding.h"

#include <functional>

using namespace q7;
using namespace q7::forms;
using namespace q7::component;

namespace browse {

Session::Session(const QString& menuKey, const QString& accountPath, const QDate& loginDate)
{
    account = host::browse::AccountContext::open(accountPath, loginDate);
    const Object factory = createObject(QStringLiteral("Q7BomLib.clsViewFactory"));
    const QVariant view = call(factory, QStringLiteral("CreateView"), {QStringLiteral("Morvex.Q7.BO.") + menuKey});
    form = objectCast<FrmBO02001>(toObject(view));
    QVariant first = fromObject(account), second = menuKey;
    form->Enter(first, second);
    form->Show();
}

Session::~Session()
{
    if (form)
        form->Unload();
    ModBOM::resetThread();
}

FrmBO02001Cond& Session::dialog() const { return *objectCast<FrmBO02001Cond>(form->conditionDialog()); }

void Session::enterItem(const QString& code)
{
    FrmBO02001Cond& d = dialog();
    d.txtInvCode->SetFocus();
    d.txtInvCode->setText(QString());
    d.txtInvCode->type(code);
    d.txtInvCode->keyDown(13, 0);
}

void Session::chooseFree(int index, const QString& value)
{
    ComboBox* combo = dialog().cboFree[index];
    for (int i = 0; i < combo->listCount(); ++i)
        if (combo->List(i) == value)
            combo->setListIndex(i);
}

void Session::ok() { dialog().cmdOK->click(); }

QStringList Session::treeLines() const
{
    QStringList lines;
    std::function<void(const QList<QSharedPointer<TreeNode>>&, int)> walk = [&](const auto& nodes, int depth) {
        for (const auto& node : nodes) {
            lines.append(QString(depth * 2, u' ') + node->text());
            walk(node->childNodes(), depth + 1);
        }
    };
    walk(form->tvBOM->roots(), 0);
    return lines;
}

void Session::growAll(int depth)
{
    std::function<void(TreeNode*, int)> grow = [&](TreeNode* node, int level) {
        if (level >= depth)
            return;
        if (node->children() == 1 && node->childNodes().first()->text().isEmpty())
            form->tvBOM->expandNode(node);
        const auto children = node->childNodes();
        for (const auto& child : children)
            grow(child.data(), level + 1);
    };
    for (const auto& root : form->tvBOM->roots())
        grow(root.data(), 1);
}

} // namespace browse
