#include "platform/forms/TreeView.h"

#include "platform/AutomationError.h"
#include "platform/values/Values.h"
#include "platform/forms/Form.h"

#include <QTreeWidget>
#include <functional>

namespace q7::forms {

void TreeNode::setText(const QString& text)
{
    text_ = text;
    tree_->rebuild();
}
void TreeNode::setExpanded(bool expanded)
{
    expanded_ = expanded;
    tree_->rebuild();
}
bool TreeNode::selected() const { return tree_->selected() == this; }
void TreeNode::setSelected(bool selected) { tree_->select(selected ? this : nullptr); }
QVariant TreeNode::parentNode() const { return parent_ ? fromObject(tree_->shared(parent_)) : nothing(); }
QVariant TreeNode::firstChild() const { return children_.isEmpty() ? nothing() : fromObject(children_.first()); }

QSharedPointer<TreeNode> TreeView::shared(TreeNode* node) const
{
    const QList<QSharedPointer<TreeNode>>& siblings = node->parent_ ? node->parent_->children_ : roots_;
    for (const auto& n : siblings)
        if (n.data() == node)
            return n;
    return {};
}

TreeNode* TreeView::find(const QVariant& node) const
{
    if (isObject(node))
        return qobject_cast<TreeNode*>(toObject(node).data());
    const QString key = values::toTextOrEmpty(node);
    std::function<TreeNode*(const QList<QSharedPointer<TreeNode>>&)> search = [&](const QList<QSharedPointer<TreeNode>>& nodes) -> TreeNode* {
        for (const auto& n : nodes) {
            if (!n->key_.isEmpty() && n->key_ == key)
                return n.data();
            if (TreeNode* found = search(n->children_))
                return found;
        }
        return nullptr;
    };
    return search(roots_);
}

QVariant TreeView::Add(const QVariant& relative, const QVariant& relationship, const QVariant& key, const QVariant& text)
{
    const auto given = [](const QVariant& v) { return v.isValid() && !isMissing(v) && !isNull(v); };
    const QString keyText = given(key) ? values::toText(key) : QString();
    if (!keyText.isEmpty() && find(keyText))
        throw AutomationError(35602, QStringLiteral("Key is not unique in collection"));
    auto node = QSharedPointer<TreeNode>::create(this, keyText, given(text) ? values::toText(text) : QString());
    TreeNode* anchor = given(relative) ? find(relative) : nullptr;
    if (given(relative) && !anchor)
        throw AutomationError(ErrElementNotFound, QStringLiteral("Element not found"));
    const int how = given(relationship) ? values::toLong(relationship) : Last;
    if (!anchor) {
        roots_.append(node);
    } else if (how == Child) {
        node->parent_ = anchor;
        anchor->children_.append(node);
    } else {
        node->parent_ = anchor->parent_;
        QList<QSharedPointer<TreeNode>>& siblings = anchor->parent_ ? anchor->parent_->children_ : roots_;
        const qsizetype at = siblings.indexOf(shared(anchor));
        switch (how) {
        case First: siblings.prepend(node); break;
        case Next: siblings.insert(at + 1, node); break;
        case Previous: siblings.insert(at, node); break;
        default: siblings.append(node);
        }
    }
    rebuild();
    return fromObject(node);
}

void TreeView::Remove(const QVariant& node)
{
    TreeNode* target = find(node);
    if (!target)
        throw AutomationError(ErrElementNotFound, QStringLiteral("Element not found"));
    if (selected_ && (selected_ == target))
        selected_ = nullptr;
    QList<QSharedPointer<TreeNode>>& siblings = target->parent_ ? target->parent_->children_ : roots_;
    siblings.removeAll(shared(target));
    rebuild();
}

void TreeView::Clear()
{
    roots_.clear();
    selected_ = nullptr;
    rebuild();
}

QVariant TreeView::Item(const QVariant& key) const
{
    TreeNode* node = find(key);
    if (!node)
        throw AutomationError(ErrElementNotFound, QStringLiteral("Element not found"));
    return fromObject(shared(node));
}

int TreeView::count() const
{
    std::function<int(const QList<QSharedPointer<TreeNode>>&)> total = [&](const QList<QSharedPointer<TreeNode>>& nodes) {
        int n = 0;
        for (const auto& node : nodes)
            n += 1 + total(node->children_);
        return n;
    };
    return total(roots_);
}

QVariant TreeView::selectedItem() const { return selected_ ? fromObject(shared(selected_)) : nothing(); }

void TreeView::select(TreeNode* node)
{
    selected_ = node;
    rebuild();
}

void TreeView::expandNode(TreeNode* node)
{
    QVariantList args{fromObject(shared(node))};
    raise(QStringLiteral("Expand"), args);
    node->expanded_ = true;
    rebuild();
}

void TreeView::clickNode(TreeNode* node)
{
    select(node);
    QVariantList args{fromObject(shared(node))};
    raise(QStringLiteral("NodeClick"), args);
}

void TreeView::keyDown(int keyCode, int shift)
{
    if (auto* form = dynamic_cast<Form*>(container()))
        keyCode = form->previewKeyDown(keyCode, shift);
    if (keyCode != 0)
        raise(QStringLiteral("KeyDown"), QVariantList{keyCode, shift});
}

QWidget* TreeView::createWidget(QWidget* parent)
{
    auto* tree = new QTreeWidget(parent);
    tree->setHeaderHidden(true);
    QPointer<TreeView> self(this);
    QObject::connect(tree, &QTreeWidget::itemClicked, this, [self](QTreeWidgetItem* item) {
        auto* node = static_cast<TreeNode*>(item->data(0, Qt::UserRole).value<QObject*>());
        if (self && node && node != self->selected_) // a node the keys made current has been told already
            self->clickNode(node);
    });
    // The arrow keys (and a click on another node) move the current node: the
    // form hears of it as of a click, once the view has finished moving.
    QObject::connect(tree, &QTreeWidget::currentItemChanged, this, [self](QTreeWidgetItem* item) {
        const QPointer<TreeNode> node = item ? static_cast<TreeNode*>(item->data(0, Qt::UserRole).value<QObject*>()) : nullptr;
        if (!self || !node)
            return;
        QMetaObject::invokeMethod(
            self.data(),
            [self, node] {
                if (self && node && node != self->selected_)
                    self->clickNode(node);
            },
            Qt::QueuedConnection);
    });
    QObject::connect(tree, &QTreeWidget::itemExpanded, this, [self](QTreeWidgetItem* item) {
        auto* node = static_cast<TreeNode*>(item->data(0, Qt::UserRole).value<QObject*>());
        if (self && node && !node->expanded())
            self->expandNode(node);
    });
    return tree;
}

void TreeView::rebuild()
{
    auto* tree = qobject_cast<QTreeWidget*>(existingWidget());
    if (!tree)
        return;
    const QSignalBlocker block(tree);
    tree->clear();
    std::function<void(QTreeWidgetItem*, const QList<QSharedPointer<TreeNode>>&)> fill = [&](QTreeWidgetItem* parent, const auto& nodes) {
        for (const auto& node : nodes) {
            auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree);
            item->setText(0, node->text_);
            item->setData(0, Qt::UserRole, QVariant::fromValue<QObject*>(node.data()));
            fill(item, node->children_);
            item->setExpanded(node->expanded_);
            if (node.data() == selected_)
                tree->setCurrentItem(item);
        }
    };
    fill(nullptr, roots_);
}

} // namespace q7::forms
