#include "support/FakeHost.h"

#include "frame/ModBOM.h"
#include "host/CommonService.h"
#include "platform/AutomationError.h"
#include "platform/forms/BasicControls.h"
#include "platform/forms/Form.h"
#include "platform/forms/FormPlacement.h"
#include "platform/forms/Grid.h"
#include "platform/forms/Toolbar.h"
#include "platform/forms/TreeView.h"

#include <QComboBox>
#include <QScopeGuard>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace q7;
using namespace q7::forms;
using namespace q7::component;

namespace {

class ToolkitForm : public Form {
    Q_OBJECT
public:
    ToolkitForm()
    {
        Screen::setTwipsPerPixel(15, 15);
        txt = add<TextBox>(QStringLiteral("txtInvCode"));
        txt->forbiddenCharacters = QStringLiteral("'|&");
        add<Label>(QStringLiteral("lblHint"), 1)->setCaption(QStringLiteral("颜色"));
        add<Label>(QStringLiteral("lblHint"), 2)->setCaption(QStringLiteral("尺寸"));
        tree = add<TreeView>(QStringLiteral("tvBOM"));
        grid = add<Grid>(QStringLiteral("grd"));
        toolbar = add<Toolbar>(QStringLiteral("Toolbar1"));
        maker = add<MvToolbar>(QStringLiteral("CTBCtrl1"));
    }
    Q_INVOKABLE void txtInvCode_Validate(QVariant& Cancel)
    {
        log.append(QStringLiteral("Validate"));
        Cancel = txt->text().trimmed().isEmpty();
    }
    Q_INVOKABLE void txtInvCode_Change() { log.append(QStringLiteral("Change ") + txt->text()); }
    Q_INVOKABLE void txtInvCode_KeyDown(QVariant& KeyCode, QVariant& Shift) { log.append(QStringLiteral("KeyDown %1 %2").arg(KeyCode.toInt()).arg(Shift.toInt())); }
    Q_INVOKABLE void txtInvCode_GotFocus() { log.append(QStringLiteral("GotFocus")); }
    Q_INVOKABLE void lblHint_Click(QVariant& Index) { log.append(QStringLiteral("lblHint %1").arg(Index.toInt())); }
    Q_INVOKABLE void Toolbar1_ButtonClick(QVariant& Button) { log.append(QStringLiteral("Button ") + getProperty(toObject(Button), QStringLiteral("Key")).toString()); }
    Q_INVOKABLE void tvBOM_Expand(QVariant& Node) { log.append(QStringLiteral("Expand ") + getProperty(toObject(Node), QStringLiteral("Text")).toString()); }
    Q_INVOKABLE void tvBOM_NodeClick(QVariant& Node) { log.append(QStringLiteral("NodeClick ") + getProperty(toObject(Node), QStringLiteral("Text")).toString()); }

    TextBox* txt;
    TreeView* tree;
    Grid* grid;
    Toolbar* toolbar;
    MvToolbar* maker;
    QStringList log;
};

} // namespace

TEST(FormsToolkit, EditBoxEventsAndValidation)
{
    ToolkitForm form;
    form.txt->type(QStringLiteral("a'|b"));
    EXPECT_EQ(form.txt->text(), QStringLiteral("ab")); // forbidden characters never arrive
    EXPECT_EQ(form.log, (QStringList{"KeyDown 65 0", "KeyDown 66 0", "Change ab"}));
    form.log.clear();
    EXPECT_TRUE(form.txt->leave());
    form.txt->setText(QStringLiteral("  "));
    form.log.clear();
    EXPECT_FALSE(form.txt->leave()); // a cancelled validate keeps the focus
    EXPECT_EQ(form.log, (QStringList{"Validate", "GotFocus"}));
}

TEST(FormsToolkit, ControlsByNameAndControlArrays)
{
    ToolkitForm form;
    auto form2 = QSharedPointer<ToolkitForm>(new ToolkitForm);
    const Object second = toObject(getProperty(form2, QStringLiteral("lblHint"), {2}));
    EXPECT_EQ(getProperty(second, QStringLiteral("Caption")).toString(), QStringLiteral("尺寸"));
    const Object array = toObject(getProperty(form2, QStringLiteral("LBLHINT")));
    EXPECT_EQ(call(array, QStringLiteral("Count")).toInt(), 2);
    EXPECT_EQ(call(array, QStringLiteral("UBound")).toInt(), 2);
    objectCast<Label>(second)->raise(QStringLiteral("Click"), QVariantList{});
    EXPECT_EQ(form2->log, QStringList{"lblHint 2"});
    EXPECT_EQ(fake::errorOf([&] { getProperty(form2, QStringLiteral("cmdNone")); }), ErrNoSuchMember);
    // an unknown property of a control is kept by name, not refused
    letProperty(toObject(getProperty(form2, QStringLiteral("grd"))), QStringLiteral("GridLines"), 2);
    EXPECT_EQ(getProperty(toObject(getProperty(form2, QStringLiteral("grd"))), QStringLiteral("GridLines")).toInt(), 2);
}

TEST(FormsToolkit, GeometryInTheContainersScale)
{
    ToolkitForm form;
    form.txt->Move(1500, 300, 3000, 285);
    EXPECT_EQ(form.txt->leftTwips(), 1500);
    form.setScaleMode(ScalePixels);
    EXPECT_DOUBLE_EQ(form.txt->left(), 100);
    EXPECT_DOUBLE_EQ(form.txt->width(), 200);
    form.txt->setTop(40);
    EXPECT_EQ(form.txt->topTwips(), 600);
    form.setScale(0, 100, 100, -100); // a y axis running upwards
    EXPECT_LT(form.twipsPerUnitY(), 0);
    EXPECT_EQ(fake::errorOf([&] { form.txt->setWidth(-5); }), ErrInvalidPropertyValue);
}

TEST(FormsToolkit, TreeNodesWithRelativesAndKeys)
{
    ToolkitForm form;
    TreeView& tree = *form.tree;
    const Object root = toObject(tree.Add(missingValue(), missingValue(), QStringLiteral("R"), QStringLiteral("BK-100")));
    tree.Add(QStringLiteral("R"), TreeView::Child, QStringLiteral("B"), QStringLiteral("second"));
    tree.Add(QStringLiteral("B"), TreeView::Previous, QStringLiteral("A"), QStringLiteral("first"));
    tree.Add(QStringLiteral("B"), TreeView::Next, QVariant(), QStringLiteral("third"));
    const Object placeholder = toObject(tree.Add(QStringLiteral("A"), TreeView::Child));
    EXPECT_EQ(tree.count(), 5);
    EXPECT_EQ(getProperty(root, QStringLiteral("Children")).toInt(), 3);
    QStringList texts;
    for (const auto& child : static_cast<TreeNode*>(root.data())->childNodes())
        texts.append(child->text());
    EXPECT_EQ(texts, (QStringList{"first", "second", "third"}));
    EXPECT_EQ(getProperty(toObject(getProperty(placeholder, QStringLiteral("Parent"))), QStringLiteral("Key")).toString(), QStringLiteral("A"));
    EXPECT_EQ(fake::errorOf([&] { tree.Add(missingValue(), missingValue(), QStringLiteral("A")); }), 35602);
    tree.expandNode(static_cast<TreeNode*>(root.data()));
    EXPECT_EQ(form.log, QStringList{"Expand BK-100"});
    tree.Remove(QStringLiteral("A")); // with its placeholder
    EXPECT_EQ(tree.count(), 3);
    letProperty(root, QStringLiteral("Selected"), true);
    EXPECT_EQ(toObject(tree.selectedItem()), root);
    tree.Clear();
    EXPECT_EQ(tree.count(), 0);
    EXPECT_TRUE(isNothing(tree.selectedItem()));
}

TEST(FormsToolkit, TreeRelationshipFirstAndMissingRelative)
{
    ToolkitForm form;
    form.tree->Add(missingValue(), missingValue(), QStringLiteral("B"), QStringLiteral("b"));
    form.tree->Add(QStringLiteral("B"), TreeView::First, QStringLiteral("A"), QStringLiteral("a"));
    EXPECT_EQ(form.tree->roots().first()->key(), QStringLiteral("A"));
    EXPECT_EQ(fake::errorOf([&] { form.tree->Add(QStringLiteral("none"), TreeView::Child); }), 35601);
    EXPECT_EQ(fake::errorOf([&] { form.tree->Remove(QStringLiteral("none")); }), 35601);
}

TEST(FormsToolkit, GridTakesTheHeaderRoutine)
{
    ToolkitForm form;
    QList<Object> cols;
    for (const auto& [caption, visible] : {std::pair{"替代料编码", true}, std::pair{"内部", false}, std::pair{"替代比", true}}) {
        auto c = makeObject<fake::Recorder>();
        c->properties = {{QStringLiteral("Caption"), QString::fromUtf8(caption)}, {QStringLiteral("Visible"), visible},
                         {QStringLiteral("Width"), 1200}, {QStringLiteral("Alignment"), 1}};
        cols.append(c);
    }
    auto columns = makeObject<fake::Recorder>();
    columns->properties.insert(QStringLiteral("Count"), 3);
    columns->answers.insert(QStringLiteral("Item"), [cols](QVariantList& a) { return fromObject(cols[a[0].toInt() - 1]); });
    auto format = makeObject<fake::Recorder>();
    format->properties = {{QStringLiteral("Columns"), fromObject(columns)}, {QStringLiteral("FixedCols"), 0}};
    auto grid = QSharedPointer<Grid>(form.reference(form.grid).objectCast<Grid>());
    ModBOM::InitGridHeader(grid, format);
    EXPECT_EQ(grid->rows(), 1); // only the header row stays
    EXPECT_EQ(grid->cols(), 3);
    EXPECT_EQ(grid->TextMatrix(0, 1), QStringLiteral("内部"));
    EXPECT_EQ(grid->ColWidth(1), 0); // hidden column
    EXPECT_EQ(grid->ColWidth(2), 1200);
    EXPECT_EQ(grid->RowHeight(0), 360);
    EXPECT_TRUE(grid->redraw());
    grid->AddItem(QStringLiteral("SP-321\t\t1"));
    EXPECT_EQ(grid->TextMatrix(1, 2), QStringLiteral("1"));
    EXPECT_EQ(fake::errorOf([&] { grid->TextMatrix(2, 0); }), 381);
}

TEST(FormsToolkit, ToolbarsThroughTheHostServiceAndTheMakersToolbar)
{
    auto form = QSharedPointer<ToolkitForm>::create();
    auto images = QSharedPointer<ImageList>(new ImageList(form.data(), QStringLiteral("ImageList1")));
    QVariant list = fromObject(images), bar = fromObject(form->reference(form->toolbar));
    auto& toolbarService = ModBOM::objToolbar();
    toolbarService.AddImage(list, 1, QStringLiteral("filter"), 308, 1);
    EXPECT_EQ(images->count(), 1);
    EXPECT_THROW(toolbarService.AddImage(list, 1, QStringLiteral("none"), 1, 1), AutomationError);
    toolbarService.AddButton(bar, QStringLiteral("filter"), QStringLiteral("过滤"), 0, QStringLiteral("filter"), -1, -1, QStringLiteral("过滤"));
    toolbarService.AddButton(bar, QStringLiteral("tlbSeparator1"), QString(), 3, QVariant(), -1, -1, QString());
    EXPECT_EQ(form->toolbar->buttons().size(), 2);

    host::CommonService::setToolbarMode(1);
    ModBOM::ApplyToolbarStyle(form);
    host::CommonService::setToolbarMode(0);
    EXPECT_EQ(form->maker->GetToolbarStyle(), 1);
    EXPECT_TRUE(form->maker->specialEffect);
    EXPECT_FALSE(form->toolbar->isVisible());
    form->maker->click(QStringLiteral("filter")); // forwarded to the classic toolbar's button
    EXPECT_EQ(form->log, QStringList{"Button filter"});
    ModBOM::resetThread();
}

namespace {

class LifeCycleForm : public Form {
    Q_OBJECT
public:
    Q_INVOKABLE void Form_Load() { log.append(QStringLiteral("Load")); }
    Q_INVOKABLE void Form_KeyDown(QVariant& KeyCode, QVariant& Shift)
    {
        log.append(QStringLiteral("Form_KeyDown %1 %2").arg(KeyCode.toInt()).arg(Shift.toInt()));
        if (KeyCode.toInt() == 114) // F3 is the form's own key
            KeyCode = 0;
    }
    Q_INVOKABLE void txtCode_KeyDown(QVariant& KeyCode, QVariant&) { log.append(QStringLiteral("txtCode_KeyDown %1").arg(KeyCode.toInt())); }
    Q_INVOKABLE void Form_Activate() { log.append(QStringLiteral("Activate")); }
    Q_INVOKABLE void Form_Resize() { log.append(QStringLiteral("Resize")); }
    Q_INVOKABLE void Form_Unload(QVariant& Cancel)
    {
        log.append(QStringLiteral("Unload"));
        Cancel = refuseUnload ? 1 : 0;
    }
    QStringList log;
    bool refuseUnload = true;
};

} // namespace

namespace {

// Records its unload events in a list outside itself (Terminate comes as it goes).
class ClosingForm : public Form {
    Q_OBJECT
public:
    explicit ClosingForm(QStringList* log) : log_(log) {}
    Q_INVOKABLE void Form_QueryUnload(QVariant& Cancel, QVariant& UnloadMode)
    {
        log_->append(QStringLiteral("QueryUnload %1").arg(UnloadMode.toInt()));
        Cancel = keep ? 1 : 0;
    }
    Q_INVOKABLE void Form_Unload(QVariant&) { log_->append(QStringLiteral("Unload")); }
    Q_INVOKABLE void Form_Terminate() { log_->append(QStringLiteral("Terminate")); }
    bool keep = false;

private:
    QStringList* log_;
};

} // namespace

TEST(FormsToolkit, ClosingTheWindowUnloadsTheFormUnlessQueryUnloadCancels)
{
    QStringList log;
    const auto form = makeObject<ClosingForm>(&log);
    int unloadedSignals = 0;
    QObject::connect(form.data(), &Form::unloaded, [&] { ++unloadedSignals; });
    form->Show();
    form->keep = true;
    EXPECT_FALSE(form->window()->close()); // the title bar's close, cancelled
    EXPECT_TRUE(form->isLoaded());
    EXPECT_TRUE(form->isVisible());
    form->keep = false;
    EXPECT_TRUE(form->window()->close());
    EXPECT_FALSE(form->isLoaded());
    EXPECT_FALSE(form->isVisible());
    form->Show();
    form->Unload(); // from code: unload mode 1
    EXPECT_EQ(log, (QStringList{"QueryUnload 0", "QueryUnload 0", "Unload", "QueryUnload 1", "Unload"}));
    EXPECT_EQ(unloadedSignals, 2);
}

TEST(FormsToolkit, TerminateComesWhenTheLastReferenceGoes)
{
    QStringList log;
    auto form = makeObject<ClosingForm>(&log);
    Object other = form;
    form->Show();
    form->Unload();
    form.reset();
    EXPECT_EQ(log, (QStringList{"QueryUnload 1", "Unload"})); // unloaded, still referenced
    other.reset();
    EXPECT_EQ(log, (QStringList{"QueryUnload 1", "Unload", "Terminate"}));
}

TEST(FormsToolkit, KeysPressedInTheWidgetsReachKeyDown)
{
    LifeCycleForm form;
    auto* edit = form.add<TextBox>(QStringLiteral("txtCode"));
    form.Show();
    QTest::keyClick(edit->widget(), Qt::Key_F2);
    QTest::keyClick(edit->widget(), Qt::Key_F2, Qt::ControlModifier);
    QTest::keyClick(edit->widget(), Qt::Key_Return);
    form.keyPreview = true;
    QTest::keyClick(edit->widget(), Qt::Key_F3); // the form swallows it
    EXPECT_EQ(form.log.mid(2), (QStringList{"txtCode_KeyDown 113", "txtCode_KeyDown 113", "txtCode_KeyDown 13", "Form_KeyDown 114 0"}));
}

TEST(FormsToolkit, FormLifeCycle)
{
    LifeCycleForm form;
    form.Show();
    form.Show();
    form.setWidthTwips(7200);
    form.Unload(); // refused by the form
    EXPECT_TRUE(form.isVisible());
    form.refuseUnload = false;
    form.Unload();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.log, (QStringList{"Load", "Activate", "Activate", "Resize", "Unload", "Unload"}));
    EXPECT_DOUBLE_EQ(form.innerWidthTwips(), 7200 - 8 * 15);
}

TEST(FormsToolkit, KeyPreviewLetsTheFormSeeKeysFirst)
{
    LifeCycleForm form;
    auto* edit = form.add<TextBox>(QStringLiteral("txtCode"));
    edit->keyDown(114, 0);
    EXPECT_EQ(form.log, QStringList{"txtCode_KeyDown 114"}); // without preview only the control hears it
    form.log.clear();
    form.keyPreview = true;
    edit->keyDown(114, 0);
    edit->keyDown(65, 1);
    EXPECT_EQ(form.log, (QStringList{"Form_KeyDown 114 0", "Form_KeyDown 65 1", "txtCode_KeyDown 65"}));
}

TEST(FormsToolkit, ScaleConversionsListsAndScrollBars)
{
    ToolkitForm form;
    EXPECT_DOUBLE_EQ(form.ScaleX(1440, ScaleTwips, ScaleInches), 1);
    EXPECT_DOUBLE_EQ(form.ScaleY(30, ScalePixels, ScaleTwips), 450);
    EXPECT_NEAR(form.ScaleX(1, ScaleCentimeters, ScaleMillimeters), 10, 1e-9);

    auto* combo = form.add<ComboBox>(QStringLiteral("cboFree"), 1);
    combo->AddItem(QStringLiteral("红"));
    combo->AddItem(QStringLiteral("蓝"));
    combo->setListIndex(1);
    EXPECT_EQ(combo->text(), QStringLiteral("蓝"));
    combo->setListIndex(-1);
    EXPECT_EQ(combo->text(), QString());
    EXPECT_EQ(fake::errorOf([&] { combo->setListIndex(2); }), ErrInvalidPropertyValue);
    combo->setText(QStringLiteral("红"));
    EXPECT_EQ(combo->listIndex(), 0);

    auto* bar = form.add<FlatScrollBar>(QStringLiteral("VScroll"));
    bar->setMax(10);
    bar->setValue(25);
    EXPECT_EQ(bar->value(), 10);
    bar->setMax(4);
    EXPECT_EQ(bar->value(), 4);
}

TEST(FormsToolkit, MoveKeepsWhatIsOmittedAndGridsCheckTheirShape)
{
    ToolkitForm form;
    form.txt->Move(100, 200, 300, 400);
    form.txt->Move(150);
    EXPECT_EQ(QStringLiteral("%1,%2 %3x%4").arg(form.txt->leftTwips()).arg(form.txt->topTwips()).arg(form.txt->widthTwips()).arg(form.txt->heightTwips()),
              QStringLiteral("150,200 300x400"));
    call(form.reference(form.txt), QStringLiteral("Move"), {10, missingValue(), 20});
    EXPECT_EQ(form.txt->widthTwips(), 20);
    EXPECT_EQ(form.txt->heightTwips(), 400);
    form.grid->setRows(3);
    form.grid->setFixedRows(2);
    EXPECT_EQ(fake::errorOf([&] { form.grid->setRows(1); }), ErrInvalidPropertyValue); // fewer rows than fixed rows
    form.grid->setFormatString(QStringLiteral("a|b|c"));
    EXPECT_EQ(form.grid->cols(), 3);
}

TEST(FormsToolkit, DisabledToolbarButtonsDoNotClick)
{
    ToolkitForm form;
    QVariant bar = fromObject(form.reference(form.toolbar));
    ModBOM::objToolbar().AddButton(bar, QStringLiteral("exit"), QStringLiteral("退出"), 0, QVariant(), -1, -1, QString());
    ModBOM::objToolbar().SetButtonEnabled(form.reference(form.toolbar), QStringLiteral("exit"), false);
    form.toolbar->click(QStringLiteral("exit"));
    EXPECT_TRUE(form.log.isEmpty());
    EXPECT_EQ(fake::errorOf([&] { form.toolbar->click(QStringLiteral("none")); }), 35601);
    ModBOM::resetThread();
}

#include "FormsToolkitTest.moc"

// A list filled and chosen before the form's window exists shows it once the window is made.
TEST(FormsToolkit, AListSetBeforeTheWindowShowsItsChoice)
{
    ToolkitForm form;
    auto* combo = form.add<ComboBox>(QStringLiteral("cboQueryType"));
    combo->AddItem(QStringLiteral("全阶"));
    combo->AddItem(QStringLiteral("单阶"));
    combo->setListIndex(1);
    form.window();
    auto* box = qobject_cast<QComboBox*>(combo->widget());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->count(), 2);
    EXPECT_EQ(box->currentText(), QStringLiteral("单阶"));
}

// A form's own window opens over the main window, owned by it, no larger than
// the screen and wholly on it, wherever its size would have put it.
TEST(FormsToolkit, AFormsWindowOpensOverTheMainWindowAndOnTheScreen)
{
    QWidget main;
    main.setGeometry(100, 100, 600, 400);
    main.show();
    setFormOwner(&main);
    const auto ownerOff = qScopeGuard([] { setFormOwner(nullptr); });
    for (const QSize size : {QSize(300, 200), QSize(5000, 4000)}) {
        ToolkitForm form;
        form.window()->resize(size);
        form.Show();
        const QWidget* window = form.window();
        EXPECT_EQ(window->parentWidget(), &main);
        EXPECT_TRUE(window->isWindow());
        const QRect area = main.screen()->availableGeometry();
        EXPECT_TRUE(area.contains(QRect(window->pos(), window->size()))) << size.width();
        if (size.width() < 400) { // a small one is centred on the main window
            EXPECT_LE(std::abs(window->geometry().center().x() - main.frameGeometry().center().x()), 10);
        }
        form.Hide();
    }
}

// The arrow keys move the current node as a click does: the form hears NodeClick once per node.
TEST(FormsToolkit, ArrowKeysInTheTreeRaiseNodeClick)
{
    ToolkitForm form;
    TreeView& tree = *form.tree;
    const Object root = toObject(tree.Add(missingValue(), missingValue(), QStringLiteral("R"), QStringLiteral("BK-100")));
    tree.Add(QStringLiteral("R"), TreeView::Child, QStringLiteral("A"), QStringLiteral("first"));
    tree.Add(QStringLiteral("R"), TreeView::Child, QStringLiteral("B"), QStringLiteral("second"));
    static_cast<TreeNode*>(root.data())->setExpanded(true);
    form.Show();
    letProperty(root, QStringLiteral("Selected"), true);
    form.log.clear();
    auto* widget = qobject_cast<QTreeWidget*>(tree.widget());
    ASSERT_NE(widget, nullptr);
    widget->setFocus();
    for (int i = 0; i < 2; ++i) {
        QTest::keyClick(widget, Qt::Key_Down);
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(form.log, (QStringList{"NodeClick first", "NodeClick second"}));
    EXPECT_EQ(getProperty(toObject(tree.selectedItem()), QStringLiteral("Key")).toString(), QStringLiteral("B"));
    form.Hide();
}
