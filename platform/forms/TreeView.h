#pragma once

#include "platform/forms/Control.h"

#include <QList>
#include <QPointer>
#include <QSharedPointer>

namespace q7::forms {

class TreeView;

// A node of a tree view: key, text, tag, parent, children, expanded, selected.
class TreeNode : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Key READ key)
    Q_PROPERTY(QString Text READ text WRITE setText)
    Q_PROPERTY(QVariant Tag MEMBER tag)
    Q_PROPERTY(int Children READ children)
    Q_PROPERTY(bool Expanded READ expanded WRITE setExpanded)
    Q_PROPERTY(bool Selected READ selected WRITE setSelected)
    Q_PROPERTY(QVariant Parent READ parentNode)
    Q_PROPERTY(QVariant Child READ firstChild)
public:
    TreeNode(TreeView* tree, QString key, QString text) : tree_(tree), key_(std::move(key)), text_(std::move(text)) {}
    QString key() const { return key_; }
    QString text() const { return text_; }
    void setText(const QString& text);
    int children() const { return static_cast<int>(children_.size()); }
    bool expanded() const { return expanded_; }
    void setExpanded(bool expanded);
    bool selected() const;
    void setSelected(bool selected);
    QVariant parentNode() const;
    QVariant firstChild() const;
    QVariant tag;

    TreeNode* parent() const { return parent_; }
    const QList<QSharedPointer<TreeNode>>& childNodes() const { return children_; }

private:
    friend class TreeView;
    TreeView* tree_;
    QString key_, text_;
    bool expanded_ = false;
    TreeNode* parent_ = nullptr;
    QList<QSharedPointer<TreeNode>> children_;
};

// A tree view. Nodes are added relative to another node (relationship 0
// first, 1 last, 2 next, 3 previous, 4 child) or at the top; keys are unique
// when given. Events: NodeClick (node), Expand (node), KeyDown (KeyCode, Shift).
class TreeView : public Control {
    Q_OBJECT
    Q_PROPERTY(int Count READ count)
    Q_PROPERTY(QVariant SelectedItem READ selectedItem)
public:
    using Control::Control;
    enum Relationship { First = 0, Last = 1, Next = 2, Previous = 3, Child = 4 };

    // Add(relative, relationship, key, text): relative is a node, a key or omitted.
    Q_INVOKABLE QVariant Add(const QVariant& relative = QVariant(), const QVariant& relationship = QVariant(),
                             const QVariant& key = QVariant(), const QVariant& text = QVariant());
    Q_INVOKABLE void Remove(const QVariant& node); // a node or its key; its children go with it
    Q_INVOKABLE void Clear();
    Q_INVOKABLE QVariant Item(const QVariant& key) const;
    int count() const;
    QVariant selectedItem() const;

    TreeNode* selected() const { return selected_; }
    void select(TreeNode* node);
    const QList<QSharedPointer<TreeNode>>& roots() const { return roots_; }
    // The user opens or clicks a node.
    void expandNode(TreeNode* node);
    void clickNode(TreeNode* node);
    // A key goes down in the tree (the form sees it first with KeyPreview).
    void keyDown(int keyCode, int shift = 0);

protected:
    QWidget* createWidget(QWidget* parent) override;

private:
    friend class TreeNode;
    TreeNode* find(const QVariant& node) const;
    QSharedPointer<TreeNode> shared(TreeNode* node) const;
    void rebuild();
    QList<QSharedPointer<TreeNode>> roots_;
    QPointer<TreeNode> selected_;
};

} // namespace q7::forms
