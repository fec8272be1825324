#include "browse/FrmBO02001.h"

#include "browse/FrmBO02001Cond.h"
#include "browse/FrmBO02Desc.h"
#include "browse/OpenForms.h"
#include "browse/XmlDocument.h"
#include "frame/ModBOM.h"
#include "ui/SplitRegion.h"

#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/ErrorsIgnored.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <cmath>

namespace q7::component {

using namespace q7::forms;

namespace {

constexpr int KeyF3 = 114;
constexpr int ResStructure = 40045;
constexpr int ResWhereUsed = 40046;

// The current mode's query object.
Object& modeQuery()
{
    ModBOM::ThreadState& s = ModBOM::state();
    return s.bStructureMode ? s.objStructureQuery : s.objWhereUsedQuery;
}

QString& modeRootKey()
{
    ModBOM::ThreadState& s = ModBOM::state();
    return s.bStructureMode ? s.strStructureRootKey : s.strWhereUsedRootKey;
}

TreeNode* nodeOf(const QVariant& node) { return qobject_cast<TreeNode*>(toObject(node).data()); }

} // namespace

FrmBO02001::FrmBO02001()
{
    setWidthTwips(12600);
    setHeightTwips(8400);
    Toolbar1 = add<Toolbar>(QStringLiteral("Toolbar1"));
    Toolbar1->setGeometryTwips(0, 0, 12000, 420);
    ImageList1 = add<ImageList>(QStringLiteral("ImageList1"));
    ImageList1->setVisible(false);
    CTBCtrl1 = add<MvToolbar>(QStringLiteral("CTBCtrl1"));
    CTBCtrl1->setGeometryTwips(0, 0, 12000, 420);
    MvFrmCaptionMgr = add<CaptionManager>(QStringLiteral("MvFrmCaptionMgr"));
    MvFrmCaptionMgr->setVisible(false);
    MDIExtend1 = add<MDIExtend>(QStringLiteral("MDIExtend1"));
    MDIExtend1->setVisible(false);
    tvBOM = add<TreeView>(QStringLiteral("tvBOM"));
    tvBOM->setGeometryTwips(10, 360, 3600, 7000);
    Picture1 = add<PictureBox>(QStringLiteral("Picture1"));
    Picture1->setGeometryTwips(3700, 360, 8000, 7000);
    Picture1->setBackColor(Qt::white);
    lblTitle = Picture1->add<Label>(QStringLiteral("lblTitle"));
    lblTitle->setAlignment(2);
    Voucher = Picture1->add<VoucherControl>(QStringLiteral("Voucher"));
    VScroll = Picture1->add<FlatScrollBar>(QStringLiteral("VScroll"));
    VScroll->orientation = 0;
    VScroll->setGeometryTwips(0, 0, 255, 2000);
    VScroll->setVisible(false);
    HScroll = Picture1->add<FlatScrollBar>(QStringLiteral("HScroll"));
    HScroll->setGeometryTwips(0, 0, 2000, 255);
    HScroll->setVisible(false);
    picPatch = Picture1->add<PictureBox>(QStringLiteral("picPatch"));
    picPatch->setVisible(false);
    spr = add<SplitRegion>(QStringLiteral("spr"));
    spr->setGeometryTwips(10, 360, 11700, 7000);
    spr->setVisible(false);
    spr->setControl1(QStringLiteral("tvBOM"));
    spr->setControl2(QStringLiteral("Picture1"));
}

Object FrmBO02001::self() { return sharedFromThis(); }

bool FrmBO02001::Enter(QVariant& first, QVariant& second)
{
    const Object initializer = createObject(QString::fromLatin1(ViewInitializerClassId));
    QVariantList args{viewContext_, first, second};
    const bool filled = values::toBoolean(callByName(initializer, QStringLiteral("Init"), args));
    viewContext_ = args[0];
    if (!filled)
        return true;

    const Object context = toObject(viewContext_);
    ModBOM::ThreadState& shared = ModBOM::state();
    shared.objAccount = getProperty(context, QStringLiteral("Account"));
    const QString menuKey = values::toTextOrEmpty(getProperty(context, QStringLiteral("MenuKey")));
    if (menuKey == QLatin1String("BO02001")) {
        shared.bStructureMode = true;
        shared.bWhereUsedMode = false;
    } else if (menuKey == QLatin1String("BO02002")) {
        shared.bStructureMode = false;
        shared.bWhereUsedMode = true;
    }
    FormLoad();
    shared.bOpenFilterOnActivate = true;
    return true;
}

// Each step of the set-up runs on its own: a control without the font
// setting, a host without an icon or help file, or a voucher template that
// cannot be found leaves that part of the window as designed, and the window
// still opens with its toolbar, tree and splitter.
void FrmBO02001::FormLoad()
{
    ModBOM::ThreadState& s = ModBOM::state();
    ignoringErrors([&] { letProperty(tvBOM, QStringLiteral("FontCharset"), 134); });
    ignoringErrors([&] { letProperty(MvFrmCaptionMgr, QStringLiteral("FontCharset"), 134); });
    ignoringErrors([&] { setIcon(ModBOM::objCommon().GetIcon(11)); });
    ignoringErrors([&] {
        const Object common = createObject(QString::fromLatin1(CommonClassId));
        auto* services = dynamic_cast<ICommon*>(common.data());
        if (!services)
            throw AutomationError(ErrTypeMismatch);
        const QVariant login = getProperty(toObject(s.objAccount), QStringLiteral("Login"));
        QCoreApplication::instance()->setProperty("HelpFile", services->GetHelpFilePath(login));
    });
    ignoringErrors([&] {
        const int resource = s.bStructureMode ? ResStructure : ResWhereUsed;
        setCaption(ModBOM::resText(resource));
        MvFrmCaptionMgr->caption = ModBOM::resText(resource);
        letProperty(this, QStringLiteral("HelpContextID"), s.bStructureMode ? 91102001 : 91102002);
    });
    ignoringErrors([&] {
        QVariant images = fromObject(reference(ImageList1));
        QVariant toolbar = fromObject(reference(Toolbar1));
        InitToolBar(images, toolbar);
    });
    ignoringErrors([&] { letProperty(tvBOM, QStringLiteral("Indentation"), 100); });
    ignoringErrors([&] { tvBOM->Clear(); });
    ignoringErrors([&] { letProperty(tvBOM, QStringLiteral("LineStyle"), 1); });
    ignoringErrors([&] { InitVoucherTemplate(); });
    ignoringErrors([&] {
        window();
        spr->ZOrder(1); // behind the panes: only its bar shows between them
        spr->setVisible(true);
    });
    ignoringErrors([&] {
        ModBOM::objPopupMenu().CreateMenu(popupMenu_, 1);
        ModBOM::objPopupMenu().AddMenuEntry(popupMenu_, 0, ModBOM::resText(40049), 0);
    });
}

void FrmBO02001::InitToolBar(QVariant& imageList, QVariant& toolbar)
{
    IToolbar& tools = ModBOM::objToolbar();
    call(toObject(imageList), QStringLiteral("Clear"));
    tools.AddImage(imageList, 1, QStringLiteral("filter"), 308, 1);
    tools.AddImage(imageList, 1, QStringLiteral("refresh"), 501, 1);
    tools.AddImage(imageList, 1, QStringLiteral("help"), 502, 1);
    tools.AddImage(imageList, 1, QStringLiteral("exit"), 503, 1);
    letProperty(toObject(toolbar), QStringLiteral("ImageList"), imageList);
    call(toObject(toolbar), QStringLiteral("ClearButtons"));
    const auto button = [&](const char* key, int caption) {
        const QString text = ModBOM::resText(caption);
        tools.AddButton(toolbar, QString::fromLatin1(key), text, 0, QString::fromLatin1(key), -1, -1, text);
    };
    const auto separator = [&](const char* key) { tools.AddButton(toolbar, QString::fromLatin1(key), QString(), 3, QVariant(), -1, -1, QString()); };
    button("filter", 40050);
    separator("tlbSeparator1");
    button("refresh", 40051);
    separator("tlbSeparator2");
    button("help", 40043);
    button("exit", 40044);
    ModBOM::ApplyToolbarStyle(self());
    CTBCtrl1->TakeSettings(1);
    const int mode = ModBOM::objCommon().GetToolbarMode(ModBOM::state().objAccount);
    if (mode == 1) {
        CTBCtrl1->setVisible(true);
    } else {
        CTBCtrl1->setVisible(false);
        Toolbar1->setVisible(true);
    }
    CTBCtrl1->Refresh();
}

void FrmBO02001::InitVoucherTemplate()
{
    ModBOM::ThreadState& s = ModBOM::state();
    Voucher->setGeometryTwips(0, 0, Voucher->widthTwips(), Voucher->heightTwips());
    const Object manager = createObject(QStringLiteral("Q7MDataHelper.clsDataManager"));
    const QString voucherType = s.bStructureMode ? QStringLiteral("BO21") : QStringLiteral("BO25");
    Object source;
    try {
        source = createObject(QStringLiteral("IDataSource.DefaultDataSource"));
    } catch (const AutomationError&) {
        ModBOM::objMessage().ShowErrorMessage(8008);
    }
    const Object account = toObject(s.objAccount);
    // A data source that could not be created has been reported (8008): the
    // template is still loaded, without it.
    ignoringErrors([&] { call(source, QStringLiteral("SetLogin"), {getProperty(account, QStringLiteral("Login"))}); });
    Voucher->dataSource = fromObject(source);
    QVariantList pointArgs{s.objAccount, voucherType};
    callByName(manager, QStringLiteral("SetTemplatePointNumber"), pointArgs);
    s.objAccount = pointArgs[0];
    QVariantList infoArgs{voucherType, QVariant(), getProperty(toObject(s.objAccount), QStringLiteral("Connection"))};
    callByName(manager, QStringLiteral("GetVouchInfo"), infoArgs);
    const QString templateId = values::toTextOrEmpty(getProperty(toObject(infoArgs[1]), QStringLiteral("DefVTID")));
    const QVariant entries = ModBOM::objTemplate().GetTemplate(s.objAccount, templateId);
    if (entries.metaType().id() == QMetaType::QVariantList && !entries.toList().isEmpty())
        Voucher->LoadTemplate(entries.toList());
    letProperty(lblTitle, QStringLiteral("FontCharset"), 134);
    letProperty(lblTitle, QStringLiteral("FontSize"), 15);
    letProperty(lblTitle, QStringLiteral("FontName"), Voucher->titleFontName());
    letProperty(lblTitle, QStringLiteral("FontItalic"), Voucher->titleFontItalic());
    letProperty(lblTitle, QStringLiteral("FontBold"), Voucher->titleFontBold());
    letProperty(lblTitle, QStringLiteral("FontUnderline"), Voucher->titleFontUnderline());
    lblTitle->setCaption(Voucher->title());
    Voucher->setTitle(QString());
    Voucher->ClearData();
    Voucher->setWidth(Voucher->naturalWidth());
    voucherWidth_ = Voucher->widthTwips();
    Voucher->bodyScrollTop = 0;
}

void FrmBO02001::ShowData(QVariant&)
{
    system::setMousePointer(system::HourglassPointer);
    try {
        const Object query = modeQuery();
        const QString head = values::toTextOrEmpty(call(query, QStringLiteral("GetHeadXML")));
        const QString tree = values::toTextOrEmpty(call(query, QStringLiteral("GetTreeViewXML")));
        const QString detail = values::toTextOrEmpty(call(query, QStringLiteral("GetDetailXML")));
        FillTreeFromXml(tree);
        if (!head.isEmpty()) {
            const auto headRows = loadRows(head);
            if (!headRows) {
                ModBOM::objMessage().ShowMessage(head);
            } else if (!detail.isEmpty()) {
                const auto detailRows = loadRows(detail);
                if (detailRows) {
                    Voucher->LoadData(*headRows, *detailRows);
                    ArrangeVoucherArea();
                } else {
                    ModBOM::objMessage().ShowMessage(detail);
                }
            }
        }
        system::setMousePointer(system::DefaultPointer);
    } catch (const AutomationError& e) {
        system::setMousePointer(system::DefaultPointer);
        ModBOM::showError(e);
    }
}

void FrmBO02001::FillTreeFromXml(const QString& xml)
{
    if (xml.isEmpty())
        return;
    const auto rows = loadRows(xml);
    if (!rows) {
        ModBOM::objMessage().ShowMessage(xml);
        return;
    }
    TreeNode* parent = tvBOM->selected();
    if (!parent)
        return;
    QVariant level;
    iSelectItemLevel(tvBOM->selectedItem(), level);
    const int childLevel = values::toLong(level) + 1;
    if (rows->isEmpty())
        return;
    if (parent->children() == 1)
        tvBOM->Remove(fromObject(parent->childNodes().first()));
    if (parent->children() == 0) {
        const QVariant parentRef = tvBOM->selectedItem();
        for (const QVariant& row : *rows) {
            const QVariantMap r = row.toMap();
            const QVariant added = tvBOM->Add(parentRef, TreeView::Child, QVariant(), r.value(QStringLiteral("Label")));
            TreeNode* node = nodeOf(added);
            node->tag = QStringLiteral("L") + QString::number(childLevel) + u'&' + r.value(QStringLiteral("Data")).toString();
            if (values::toLong(r.value(QStringLiteral("NextLevelCount"), 0)) >= 1)
                tvBOM->Add(added, TreeView::Child);
        }
    }
    if (!parent->expanded())
        parent->setExpanded(true);
}

void FrmBO02001::iSelectItemLevel(const QVariant& node, QVariant& level)
{
    int count = 0;
    for (TreeNode* n = nodeOf(node); n; n = n->parent())
        ++count;
    level = static_cast<short>(count);
}

void FrmBO02001::LoadData(QVariant& key)
{
    try {
        const QString text = values::toTextOrEmpty(key);
        const qsizetype amp = text.indexOf(u'&');
        const QString item = amp < 0 ? text : text.mid(amp + 1);
        ModBOM::ThreadState& s = ModBOM::state();
        if (s.bStructureMode) {
            const QString flag = item.section(u'|', -1);
            if (values::toBoolean(flag)) {
                ModBOM::objMessage().ShowMessage(40056);
                return;
            }
            QVariantList args{item};
            callByName(s.objStructureQuery, QStringLiteral("LoadData"), args);
        } else {
            const qsizetype bar = item.indexOf(u'|');
            QVariantList args{bar < 0 ? item : item.left(bar)};
            callByName(s.objWhereUsedQuery, QStringLiteral("LoadData"), args);
        }
        QVariant form = fromObject(self());
        ShowData(form);
    } catch (const AutomationError& e) {
        ModBOM::showError(e);
    }
}

void FrmBO02001::tvBOM_NodeClick(const QVariant& node)
{
    TreeNode* n = nodeOf(node);
    if (!n)
        return;
    tvBOM->select(n);
    if (n->children() < 2) {
        if (n->children() == 1)
            tvBOM->Remove(fromObject(n->childNodes().first()));
        QVariant tag = n->tag;
        LoadData(tag);
    }
}

void FrmBO02001::tvBOM_Expand(const QVariant& node)
{
    TreeNode* n = nodeOf(node);
    if (!n)
        return;
    tvBOM->select(n);
    if (n->children() == 1)
        tvBOM->Remove(fromObject(n->childNodes().first()));
    QVariant tag = n->tag;
    LoadData(tag);
}

void FrmBO02001::tvBOM_KeyDown(QVariant& KeyCode, QVariant&)
{
    if (values::toLong(KeyCode) == KeyF3)
        rFilter();
}

void FrmBO02001::Form_KeyDown(QVariant& KeyCode, QVariant& Shift) { tvBOM_KeyDown(KeyCode, Shift); }
void FrmBO02001::Picture1_KeyDown(QVariant& KeyCode, QVariant& Shift) { tvBOM_KeyDown(KeyCode, Shift); }
void FrmBO02001::Voucher_KeyDown(QVariant& KeyCode, QVariant& Shift) { tvBOM_KeyDown(KeyCode, Shift); }

void FrmBO02001::rFilter()
{
    auto dialog = makeObject<FrmBO02001Cond>();
    dialog->frmBrowse = self();
    condition_ = dialog;
    dialog->Show(1);
    if (!dialog->isLoaded())
        condition_.reset(); // unloaded while shown: released as this call ends (its Form_Terminate)
}

void FrmBO02001::Toolbar1_ButtonClick(const QVariant& button)
{
    const QString key = values::toTextOrEmpty(getProperty(toObject(button), QStringLiteral("Key")));
    if (key == QLatin1String("filter")) {
        rFilter();
    } else if (key == QLatin1String("refresh")) {
        const QString root = modeRootKey();
        if (!tvBOM->selected() || root.isEmpty())
            return;
        // The root key and the query of a mode are shared by its browse
        // windows: the one filtered last holds them. A window whose tree does
        // not hold that root keeps its tree as it is and says why.
        TreeNode* node = nullptr;
        try {
            node = nodeOf(tvBOM->Item(root));
        } catch (const AutomationError& error) {
            if (error.number() != ErrElementNotFound)
                throw;
        }
        if (!node) {
            ModBOM::objMessage().ShowMessage(QStringLiteral("另一个浏览窗口已按新的条件查询，本窗口不能刷新；请重新过滤。"));
            return;
        }
        tvBOM->select(node);
        while (node->children() > 0)
            tvBOM->Remove(fromObject(node->childNodes().first()));
        QVariant key = root;
        LoadData(key);
    } else if (key == QLatin1String("help")) {
        sendKey(Qt::Key_F1);
    } else if (key == QLatin1String("exit")) {
        Unload();
    }
}

void FrmBO02001::sendKey(int key)
{
    QWidget* target = window();
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

void FrmBO02001::Voucher_BodyMouseDown(int Button, int, double, double)
{
    const int row = Voucher->currentRow();
    if (row >= 1 && !Voucher->IsBlankRow(row) && Button == RightButton) {
        QVariant chosen;
        ModBOM::objPopupMenu().ShowMenu(popupMenu_, fromObject(self()), chosen);
        ShowSubstitutes();
    }
}

void FrmBO02001::ShowSubstitutes()
{
    system::setMousePointer(system::HourglassPointer);
    if (Voucher->currentRow() >= 1) {
        Object desc = OpenForms::find(QStringLiteral("frmBO02Desc"));
        if (!desc) {
            desc = makeObject<FrmBO02Desc>();
            objectCast<FrmBO02Desc>(desc)->load(desc);
        }
        QVariant row = values::toLong(Voucher->GetBodyValue(Voucher->currentRow(), QStringLiteral("OrgRowNo")));
        QVariantList args{row};
        callByName(desc, QStringLiteral("ShowData"), args);
    }
    system::setMousePointer(system::DefaultPointer);
}

// Layout only: each placement is tried on its own, so a control that cannot
// take its place keeps the last one and the others are still arranged.
void FrmBO02001::Form_Resize()
{
    if (!spr) // still being built
        return;
    const Object layout = ModBOM::objLayout();
    ignoringErrors([&] {
        QVariantList args{fromObject(self()), 40, 30, false};
        callByName(layout, QStringLiteral("InitFormResize"), args);
    });
    ignoringErrors([&] { CTBCtrl1->setGeometryTwips(Toolbar1->leftTwips(), Toolbar1->topTwips(), innerWidthTwips(), CTBCtrl1->heightTwips()); });
    ignoringErrors([&] { Toolbar1->setGeometryTwips(CTBCtrl1->leftTwips(), CTBCtrl1->topTwips(), Toolbar1->widthTwips(), CTBCtrl1->heightTwips()); });
    ignoringErrors([&] {
        const double unit = values::toDouble(getProperty(layout, QStringLiteral("WordTwip")));
        spr->setLeft(10);
        spr->setTop(2 * unit);
        spr->setHeight(innerHeightTwips() - spr->topTwips() - 100);
        spr->setWidth(innerWidthTwips() - 100);
        QVariantList args{fromObject(reference(spr)), 40, 30, 0, 0, 0.6, 0.2};
        callByName(layout, QStringLiteral("ArrCtrl"), args);
    });
    ignoringErrors([&] { lblTitle->setGeometryTwips(0, 20, Picture1->widthTwips(), 420); });
    ignoringErrors([&] { Voucher->setGeometryTwips(0, lblTitle->heightTwips() + 30, Voucher->widthTwips(), Voucher->heightTwips()); });
    ignoringErrors([&] { VScroll->setValue(0); });
    ignoringErrors([&] { HScroll->setValue(0); });
    ignoringErrors([&] { ArrangeVoucherArea(); });
}

// Layout only, step by step like Form_Resize, also after the splitter moved:
// a bar or the voucher's width that cannot be set stays as it was and the
// rest of the pane is still arranged.
void FrmBO02001::spr_RepositionSplit() { ignoringErrors([&] { ArrangeVoucherArea(); }); }

void FrmBO02001::ArrangeVoucherArea()
{
    const double paneW = Picture1->widthTwips(), paneH = Picture1->heightTwips();
    ignoringErrors([&] { Voucher->setWidth(voucherWidth_ >= paneW ? voucherWidth_ : paneW); });
    const double titleH = lblTitle->heightTwips();
    const double vSlack = paneH - Voucher->heightTwips() - titleH - 30;
    const double hSlack = paneW - Voucher->widthTwips();
    ignoringErrors([&] {
        picPatch->setGeometryTwips(paneW - VScroll->widthTwips(), paneH - HScroll->heightTwips(), VScroll->widthTwips(), HScroll->heightTwips());
        picPatch->setVisible(false);
    });
    const auto placeV = [&](double height) {
        VScroll->setLeft(paneW - VScroll->widthTwips() - 0.3 * 180);
        VScroll->setHeight(height);
        VScroll->setMin(0);
        VScroll->setMax(static_cast<int>(std::lround((titleH + Voucher->heightTwips() + 30) / VScroll->heightTwips())));
        VScroll->setVisible(true);
    };
    const auto placeH = [&](double offset, double width) {
        HScroll->setTop(paneH - HScroll->heightTwips() - offset);
        HScroll->setWidth(width);
        HScroll->setMin(0);
        HScroll->setMax(static_cast<int>(std::lround(Voucher->widthTwips() / HScroll->widthTwips())));
        HScroll->setVisible(true);
    };
    if (vSlack < 0 && hSlack <= 0) {
        ignoringErrors([&] { placeH(0.3 * 180, paneW - VScroll->widthTwips()); });
        ignoringErrors([&] { placeV(paneH - VScroll->topTwips() - HScroll->heightTwips()); });
        ignoringErrors([&] { picPatch->setVisible(true); });
    } else if (vSlack < 0) {
        ignoringErrors([&] { placeV(paneH - VScroll->topTwips()); });
        ignoringErrors([&] { HScroll->setVisible(false); });
    } else if (hSlack >= 0) {
        ignoringErrors([&] { VScroll->setVisible(false); });
        ignoringErrors([&] { HScroll->setVisible(false); });
    } else {
        ignoringErrors([&] { placeH(0.2 * 180, paneW); });
    }
    vRange_ = VScroll->max();
    hRange_ = HScroll->max();
}

// A range of 0 means the bar has nothing to scroll: the voucher stays where it is.
void FrmBO02001::scrollVertically()
{
    if (vRange_ == 0)
        return;
    const int overflow = static_cast<int>(std::lround(std::fabs(lblTitle->heightTwips() + Voucher->heightTwips() + 30 - VScroll->heightTwips())));
    const int step = overflow / vRange_;
    Voucher->setTop(VScroll->topTwips() + lblTitle->heightTwips() + 30 - VScroll->value() * step);
}

void FrmBO02001::scrollHorizontally()
{
    if (hRange_ == 0)
        return;
    const int overflow = static_cast<int>(std::lround(std::fabs(Voucher->widthTwips() - HScroll->widthTwips())));
    const int step = overflow / hRange_;
    Voucher->setLeft(HScroll->leftTwips() - HScroll->value() * step);
}

// Scrolling only moves the voucher: a move that fails leaves it in place.
void FrmBO02001::VScroll_Change() { ignoringErrors([&] { scrollVertically(); }); }
void FrmBO02001::VScroll_Scroll() { ignoringErrors([&] { scrollVertically(); }); }
void FrmBO02001::HScroll_Change() { ignoringErrors([&] { scrollHorizontally(); }); }
void FrmBO02001::HScroll_Scroll() { ignoringErrors([&] { scrollHorizontally(); }); }

void FrmBO02001::Form_Activate()
{
    ModBOM::ThreadState& s = ModBOM::state();
    s.bStructureMode = false;
    s.bWhereUsedMode = false;
    if (MvFrmCaptionMgr->caption == ModBOM::resText(ResStructure)) {
        s.bStructureMode = true;
    } else if (MvFrmCaptionMgr->caption == ModBOM::resText(ResWhereUsed)) {
        s.bWhereUsedMode = true;
    } else {
        Unload();
        return;
    }
    if (s.bOpenFilterOnActivate) {
        rFilter();
        s.bOpenFilterOnActivate = false;
    }
}

// Closing always goes through: each clean-up step (root key, query object,
// the host's language resource log, which may be absent) is tried on its own.
void FrmBO02001::Form_Unload(QVariant&)
{
    ModBOM::ThreadState& s = ModBOM::state();
    ignoringErrors([&] {
        if (MvFrmCaptionMgr->caption == ModBOM::resText(ResStructure))
            s.strStructureRootKey = QStringLiteral("-1");
        else if (MvFrmCaptionMgr->caption == ModBOM::resText(ResWhereUsed))
            s.strWhereUsedRootKey = QStringLiteral("-1");
    });
    ignoringErrors([&] { modeQuery().reset(); });
    ignoringErrors([&] { call(createObject(QStringLiteral("LingvarPkg.ResLog")), QStringLiteral("Unload")); });
    condition_.reset(); // the dialog refers back to this window
}

} // namespace q7::component
