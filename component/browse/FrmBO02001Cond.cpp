#include "browse/FrmBO02001Cond.h"
#include "platform/SqlText.h"

#include "browse/FrmBO02001.h"
#include "frame/ModBOM.h"
#include "platform/ReferKinds.h"

#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/ErrorsIgnored.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"
#include "platform/data/Ado.h"
#include "platform/forms/TreeView.h"

#include <QDate>
#include <cmath>

namespace q7::component {

using namespace q7::forms;

namespace {

constexpr int KeyEnter = 13;
constexpr int KeyLineFeed = 10;
constexpr int KeyF2 = 113;
const QString Forbidden = QStringLiteral("<>'\"|&,");

bool structure() { return ModBOM::state().bStructureMode; }

// A user value inside a quoted SQL literal.
QString quoted(const QString& text) { return doubledQuotes(text); }

data::Connection& accountConnection()
{
    const Object connection = toObject(getProperty(toObject(ModBOM::state().objAccount), QStringLiteral("Connection")));
    auto* typed = qobject_cast<data::Connection*>(connection.data());
    if (!typed)
        throw AutomationError(ErrObjectNotSet);
    return *typed;
}

std::unique_ptr<data::Recordset> openRecordset(const QString& sql)
{
    auto rs = std::make_unique<data::Recordset>();
    rs->Open(sql, accountConnection(), data::adOpenForwardOnly, data::adLockReadOnly);
    return rs;
}

} // namespace

FrmBO02001Cond::FrmBO02001Cond()
{
    setWidthTwips(8700);
    setHeightTwips(5400);
    MvFrmCaptionMgr = add<CaptionManager>(QStringLiteral("MvFrmCaptionMgr"));
    MvFrmCaptionMgr->setVisible(false);
    const auto label = [](Container* c, const QString& name, int index, double l, double t, double w, double h, const QString& caption) {
        Label* lbl = c->add<Label>(name, index);
        lbl->setGeometryTwips(l, t, w, h);
        lbl->setCaption(caption);
        return lbl;
    };
    lblInvCode = label(this, QStringLiteral("lblInvCode"), -1, 130, 240, 720, 180, QStringLiteral("母件编码"));
    txtInvCode = add<TextBox>(QStringLiteral("txtInvCode"));
    txtInvCode->setGeometryTwips(1920, 240, 1695, 300);
    txtInvCode->forbiddenCharacters = Forbidden;
    cmdInvCodeRef = add<CommandButton>(QStringLiteral("cmdInvCodeRef"));
    cmdInvCodeRef->setGeometryTwips(3360, 240, 285, 285);
    lblInvName = label(this, QStringLiteral("lblInvName"), -1, 5280, 240, 540, 180, QStringLiteral("名称："));
    lblInvName->setVisible(false);
    Frame1 = add<Frame>(QStringLiteral("Frame1"));
    Frame1->setGeometryTwips(15, 600, 8520, 2535);
    Frame1->caption = QStringLiteral("结构性自由项 ");
    static constexpr double tops[] = {300, 780, 1260, 1740, 2220};
    for (int i = 1; i <= 10; ++i) {
        const bool odd = i % 2 == 1;
        const double top = tops[(i - 1) / 2];
        lblHint[i] = label(Frame1, QStringLiteral("lblHint"), i, odd ? 120 : (i == 10 ? 5040 : 5130), top, i == 10 ? 720 : 630, 180,
                           QStringLiteral("自由项%1").arg(i));
        cboFree[i] = Frame1->add<ComboBox>(QStringLiteral("cboFree"), i);
        cboFree[i]->setGeometryTwips(odd ? 1920 : 5880, top - 60, 1695, 300);
    }
    Frame2 = add<Frame>(QStringLiteral("Frame2"));
    Frame2->setGeometryTwips(20, 3060, 8160, 1155);
    Frame2->caption = QStringLiteral("Frame2");
    lblHint[11] = label(Frame2, QStringLiteral("lblHint"), 11, 120, 240, 720, 180, QStringLiteral("版本代号"));
    txtVersion = Frame2->add<TextBox>(QStringLiteral("txtVersion"));
    txtVersion->setGeometryTwips(1920, 195, 1695, 300);
    txtVersion->forbiddenCharacters = Forbidden;
    cmdVerRef = Frame2->add<CommandButton>(QStringLiteral("cmdVerRef"));
    cmdVerRef->setGeometryTwips(3315, 195, 285, 285);
    cmdVerRef->setVisible(false);
    lblHint[12] = label(Frame2, QStringLiteral("lblHint"), 12, 5040, 240, 720, 180, QStringLiteral("有效日期"));
    txtVersionEffDate = Frame2->add<TextBox>(QStringLiteral("txtVersionEffDate"));
    txtVersionEffDate->setGeometryTwips(5880, 195, 1695, 300);
    txtVersionEffDate->forbiddenCharacters = Forbidden;
    cmdVersionEffDate = Frame2->add<CommandButton>(QStringLiteral("cmdVersionEffDate"));
    cmdVersionEffDate->setGeometryTwips(7305, 195, 285, 285);
    lblHint[13] = label(Frame2, QStringLiteral("lblHint"), 13, 120, 735, 720, 180, QStringLiteral("展开方式"));
    cboQueryType = Frame2->add<ComboBox>(QStringLiteral("cboQueryType"));
    cboQueryType->setGeometryTwips(1920, 675, 1695, 300);
    lblHint[14] = label(Frame2, QStringLiteral("lblHint"), 14, 4530, 720, 1260, 180, QStringLiteral("使用计划比例否"));
    cboPlanRateFlag = Frame2->add<ComboBox>(QStringLiteral("cboPlanRateFlag"));
    cboPlanRateFlag->setGeometryTwips(5880, 675, 1695, 300);
    cmdOK = add<CommandButton>(QStringLiteral("cmdOK"));
    cmdOK->setGeometryTwips(2520, 4380, 975, 375);
    cmdOK->setCaption(QStringLiteral("确定"));
    cdmCancel = add<CommandButton>(QStringLiteral("cdmCancel"));
    cdmCancel->setGeometryTwips(4320, 4380, 975, 375);
    cdmCancel->setCaption(QStringLiteral("取消"));
}

QList<Control*> FrmBO02001Cond::tabOrder() const
{
    QList<Control*> order{txtInvCode, cmdInvCodeRef};
    for (int i = 1; i <= 10; ++i)
        order.append(cboFree[i]);
    order += QList<Control*>{cmdVerRef, cmdVersionEffDate, cboPlanRateFlag, cboQueryType, txtVersion, txtVersionEffDate, cdmCancel, cmdOK};
    return order;
}

QString FrmBO02001Cond::namePrefix() const { return ModBOM::resText(structure() ? 40001 : 40002); }
QVariant FrmBO02001Cond::login() const { return getProperty(toObject(ModBOM::state().objAccount), QStringLiteral("Login")); }
QString FrmBO02001Cond::code() const { return txtInvCode->text(); }

QString FrmBO02001Cond::loginDateText() const
{
    const QVariant date = getProperty(toObject(ModBOM::state().objAccount), QStringLiteral("LoginDate"));
    return date.toDate().toString(QStringLiteral("yyyy-MM-dd"));
}

void FrmBO02001Cond::Form_Load()
{
    const bool s = structure();
    MvFrmCaptionMgr->caption = ModBOM::resText(s ? 40006 : 40009);
    setCaption(MvFrmCaptionMgr->caption);
    lblInvCode->setCaption(ModBOM::resText(s ? 40007 : 40010));
    lblInvName->setCaption(ModBOM::resText(s ? 40001 : 40002));
    lblHint[11]->setCaption(ModBOM::resText(40163));
    lblHint[12]->setCaption(ModBOM::resText(40020));
    lblHint[13]->setCaption(ModBOM::resText(40011));
    lblHint[14]->setCaption(ModBOM::resText(40018));
    cmdOK->setCaption(ModBOM::resText(30035, TextButton));
    cdmCancel->setCaption(ModBOM::resText(30036, TextButton));
    QList<Control*> gb2312{txtInvCode, cboQueryType, cboPlanRateFlag, lblInvCode, lblInvName};
    for (int i = 1; i <= 10; ++i)
        gb2312.append(cboFree[i]);
    for (int i = 1; i <= 14; ++i)
        gb2312.append(lblHint[i]);
    // Fonts and pictures are cosmetic: a control without a character-set
    // setting or a picture the host lacks keeps its design look.
    for (Control* c : gb2312)
        ignoringErrors([&] { letProperty(c, QStringLiteral("FontCharset"), 134); });
    cboQueryType->Clear();
    cboQueryType->AddItem(ModBOM::resText(40012));
    cboQueryType->AddItem(ModBOM::resText(40013));
    cboPlanRateFlag->Clear();
    cboPlanRateFlag->AddItem(ModBOM::resText(40014));
    cboPlanRateFlag->AddItem(ModBOM::resText(40015));
    ignoringErrors([&] { cmdInvCodeRef->setPicture(ModBOM::objCommon().GetIcon(219)); });
    ignoringErrors([&] { cmdVerRef->setPicture(ModBOM::objCommon().GetIcon(219)); });
    ignoringErrors([&] { cmdVersionEffDate->setPicture(ModBOM::objCommon().GetIcon(1108)); });
    InitBo02001Cond();
    LoadFreeItemCaptions();
    ArrangeFreeItemRows();
    txtInvCode->SetFocus();
}

void FrmBO02001Cond::InitBo02001Cond()
{
    const bool s = structure();
    if (s) {
        txtVersion->setEnabled(true);
        cmdVerRef->setEnabled(true);
        cboQueryType->setEnabled(true);
    }
    txtVersionEffDate->setEnabled(true);
    cmdVersionEffDate->setEnabled(true);
    cboPlanRateFlag->setEnabled(true);
    if (s) {
        lblInvName->setCaption(ModBOM::resText(40001));
        lblHint[12]->setAlignment(1);
        cboQueryType->setListIndex(0);
    } else {
        lblInvName->setCaption(ModBOM::resText(40002));
        for (Control* c : QList<Control*>{lblHint[11], txtVersion, cmdVerRef, lblHint[13], cboQueryType})
            c->setVisible(false);
        lblHint[14]->setTop(lblHint[12]->top());
        cboPlanRateFlag->setTop(txtVersionEffDate->top());
        lblHint[14]->setLeft(lblHint[11]->left());
        lblHint[12]->setAlignment(0);
        lblHint[12]->setWidth(lblInvCode->width());
        lblHint[12]->setCaption(ModBOM::resText(40020));
        txtVersionEffDate->setLeft(txtVersion->left());
        cmdVersionEffDate->setLeft(cmdVerRef->left());
    }
    // An account without a login date leaves the date empty; OK and the
    // date's own check fill it in again.
    ignoringErrors([&] { txtVersionEffDate->setText(loginDateText()); });
    cboPlanRateFlag->setListIndex(1);
    system::setMousePointer(system::DefaultPointer);
}

// The free items' captions are optional user definitions: an account whose
// UserDef table cannot be read, or a row that does not filter, keeps the
// design captions and all ten rows, so each step is tried on its own.
void FrmBO02001Cond::LoadFreeItemCaptions()
{
    std::unique_ptr<data::Recordset> rs;
    ignoringErrors([&] {
        rs = std::make_unique<data::Recordset>();
        rs->cursorLocation = data::adUseClient;
        rs->Open(QStringLiteral("Select cItem,cItemName=coalesce(cItemName,'') From UserDef where (cID in(20,21) or cid between 28 and 35) ") +
                     QStringLiteral("  Order By cId"),
                 accountConnection(), data::adOpenStatic, data::adLockReadOnly);
    });
    if (!rs || rs->recordCount() < 1)
        return;
    for (int i = 1; i <= 10; ++i) {
        ignoringErrors([&] {
            rs->setFilter(QStringLiteral("cItem='自由项") + QString::number(i) + QStringLiteral(" '"));
            const QString name = rs->isEof() ? QString() : values::toTextOrEmpty(rs->Fields(QStringLiteral("cItemName")));
            if (name.isEmpty()) {
                lblHint[i]->setVisible(false);
                cboFree[i]->setVisible(false);
            } else {
                lblHint[i]->setCaption(name);
            }
        });
    }
}

// Like the captions above, the row count comes from the optional user
// definitions: when they cannot be read the dialog keeps its design layout
// with all ten rows. Registering the buttons with the host is cosmetic too.
void FrmBO02001Cond::ArrangeFreeItemRows()
{
    std::unique_ptr<data::Recordset> rs;
    ignoringErrors([&] {
        rs = openRecordset(QStringLiteral("Select coalesce(max(cID),0) as Count From UserDef where (cID in(20,21) or cid between 28 and 35) and "
                                          "len(rtrim(coalesce(cItemName,''))) > 0"));
    });
    if (!rs || rs->isEof())
        return;
    const int count = values::toLong(rs->Fields(QStringLiteral("Count")));
    switch (count) {
    case 0:
        Frame2->setTop(Frame1->top());
        Frame1->setVisible(false);
        break;
    case 20: case 21: Frame2->setTop(cboFree[5]->top()); break;
    case 28: case 29: Frame2->setTop(cboFree[7]->top()); break;
    case 30: case 31: Frame2->setTop(cboFree[9]->top()); break;
    case 32: case 33: Frame2->setTop(cboFree[9]->top() + 1.5 * cboFree[9]->height()); break;
    default: break;
    }
    cmdOK->setTop(Frame2->top() + Frame2->height() + 10);
    cdmCancel->setTop(cmdOK->top());
    setHeightTwips(cmdOK->topTwips() + 2 * cmdOK->heightTwips());
    ignoringErrors([&] { ModBOM::objCommon().SetFormButtons(sharedFromThis(), {fromObject(reference(cmdOK)), fromObject(reference(cdmCancel))}); });
}

void FrmBO02001Cond::hideReferenceButtons()
{
    cmdInvCodeRef->setVisible(false);
    cmdVerRef->setVisible(false);
}

void FrmBO02001Cond::txtInvCode_GotFocus()
{
    cmdInvCodeRef->setVisible(true);
    cmdInvCodeRef->ZOrder(0);
    cmdVerRef->setVisible(false);
}

void FrmBO02001Cond::txtVersion_GotFocus()
{
    cmdInvCodeRef->setVisible(false);
    if (structure()) {
        cmdVerRef->setVisible(true);
        cmdVerRef->ZOrder(0);
    }
}

// Enter moves to the next control in tab order that can take the focus; a
// text box that refuses to be left keeps it.
void FrmBO02001Cond::tabFrom(Control* control)
{
    if (auto* box = qobject_cast<TextBox*>(control); box && !box->leave())
        return;
    if (auto* combo = qobject_cast<ComboBox*>(control)) {
        QVariantList args{false};
        combo->raise(QStringLiteral("Validate"), args);
        if (values::toBoolean(args[0]))
            return;
    }
    const QList<Control*> order = tabOrder();
    const qsizetype at = order.indexOf(control);
    for (qsizetype i = 1; i <= order.size(); ++i) {
        Control* next = order[(at + i) % order.size()];
        bool shown = next->isVisible() && next->isEnabled();
        for (auto* c = dynamic_cast<Control*>(next->container()); c && shown; c = dynamic_cast<Control*>(c->container()))
            shown = c->isVisible();
        if (shown) {
            next->SetFocus();
            return;
        }
    }
}

void FrmBO02001Cond::enterMovesOn(Control* control, const QVariant& keyCode)
{
    const int key = values::toLong(keyCode);
    if (key == KeyEnter || key == KeyLineFeed)
        tabFrom(control);
}

void FrmBO02001Cond::txtInvCode_KeyDown(QVariant& KeyCode, QVariant& Shift)
{
    const int key = values::toLong(KeyCode);
    if (key == KeyEnter || key == KeyLineFeed)
        tabFrom(txtInvCode);
    else if (key == KeyF2 && values::toLong(Shift) != 2)
        cmdInvCodeRef_Click();
    else if (key == KeyF2)
        PickItemWithFreeItems();
}

void FrmBO02001Cond::txtVersion_KeyDown(QVariant& KeyCode, QVariant&) { enterMovesOn(txtVersion, KeyCode); }
void FrmBO02001Cond::txtVersionEffDate_KeyDown(QVariant& KeyCode, QVariant&) { enterMovesOn(txtVersionEffDate, KeyCode); }
void FrmBO02001Cond::cboFree_KeyDown(int Index, QVariant& KeyCode, QVariant&) { enterMovesOn(cboFree[Index], KeyCode); }
void FrmBO02001Cond::cboQueryType_KeyDown(QVariant& KeyCode, QVariant&) { enterMovesOn(cboQueryType, KeyCode); }
void FrmBO02001Cond::cboPlanRateFlag_KeyDown(QVariant& KeyCode, QVariant&) { enterMovesOn(cboPlanRateFlag, KeyCode); }

void FrmBO02001Cond::txtInvCode_Change()
{
    bInvCodeValid = false;
    bInvCodePicked = false;
}

void FrmBO02001Cond::txtInvCode_Validate(QVariant& Cancel)
{
    if (values::trim(txtInvCode->text()).isEmpty()) {
        lblInvName->setCaption(namePrefix());
        return;
    }
    if (!bInvCodePicked && !CheckInvCode()) {
        Cancel = true;
        return;
    }
    if (txtVersion->isVisible())
        LookupVersion();
}

void FrmBO02001Cond::cboFree_Validate(int, QVariant&)
{
    if (!txtInvCode->text().isEmpty() && txtVersion->isVisible())
        LookupVersion();
}

void FrmBO02001Cond::txtVersion_Validate(QVariant& Cancel)
{
    const QString text = values::trim(txtVersion->text());
    if (!text.isEmpty() && !values::isNumeric(text))
        Cancel = true;
}

void FrmBO02001Cond::txtVersionEffDate_Validate(QVariant&)
{
    QVariant text = values::trim(txtVersionEffDate->text());
    bool accepted = false;
    // A date the host's check cannot judge counts as refused: the field
    // always ends up holding a usable date.
    ignoringErrors([&] { accepted = !text.toString().isEmpty() && ModBOM::objCommon().CheckDate(text, 0); });
    if (!accepted)
        txtVersionEffDate->setText(loginDateText());
}

bool FrmBO02001Cond::CheckInvCode()
{
    if (bInvCodeValid)
        return true;
    // Trimming the field and showing the refusal are each tried on their
    // own; the look-up is not: a database that cannot answer is shown as it
    // is, never as an item that does not exist.
    ignoringErrors([&] { txtInvCode->setText(values::trim(txtInvCode->text())); });
    if (txtInvCode->text().isEmpty()) {
        bInvCodeValid = false;
        ClearFreeItemLists();
        return true;
    }
    bool found = false;
    try {
        const auto rs = openRecordset(
            QStringLiteral("Select P.InvCode as cInvCode ,I.cInvName as cInvName, Free1 as InvFree_1,Free2 as InvFree_2,Free3 as InvFree_3,Free4 as "
                           "InvFree_4,Free5 as InvFree_5,Free6 as InvFree_6,Free7 as InvFree_7,Free8 as InvFree_8,Free9 as InvFree_9,Free10 as "
                           "InvFree_10 from bas_part P inner join Inventory I on P.InvCode=I.cInvCode where InvCode='") +
            quoted(code()) + u'\'');
        found = !rs->isEof();
    } catch (const AutomationError& e) {
        // The code stays as typed and unconfirmed; the focus stays with it.
        bInvCodeValid = false;
        ClearFreeItemLists();
        ModBOM::showError(e);
        return false;
    }
    if (!found) {
        bInvCodeValid = false;
        ClearFreeItemLists();
        ignoringErrors([&] { ModBOM::objMessage().ShowCheckMessage(40005, QVariant(), QVariantList{lblInvCode->caption()}); });
        txtInvCode->setText(QString());
        return false;
    }
    bInvCodeValid = true;
    cmdInvCodeRef->setVisible(false);
    cmdInvCodeRef->ZOrder(1);
    FillFreeItemLists();
    return true;
}

void FrmBO02001Cond::FillFreeItemLists()
{
    system::setMousePointer(system::HourglassPointer);
    try {
        const auto flags = openRecordset(QStringLiteral("Select bConfigFree1,bConfigFree2,bConfigFree3,bConfigFree4,bConfigFree5,bConfigFree6,"
                                                        "bConfigFree7,bConfigFree8, bConfigFree9, bConfigFree10 from Inventory where cInvCode='") +
                                         quoted(code()) + u'\'');
        if (!flags->isEof())
            for (int i = 1; i <= 10; ++i)
                cboFree[i]->setEnabled(values::toBoolean(flags->Fields(QStringLiteral("bConfigFree") + QString::number(i))));
        for (int i = 1; i <= 10; ++i) {
            if (cboFree[i]->isEnabled()) {
                cboFree[i]->Clear();
                const auto rs = openRecordset(QStringLiteral("Select Distinct Free") + QString::number(i) + QStringLiteral("  from  bas_part where InvCode='") +
                                              quoted(code()) + QStringLiteral("' order by  Free") + QString::number(i));
                for (; !rs->isEof(); rs->MoveNext())
                    cboFree[i]->AddItem(values::toTextOrEmpty(rs->field(0)));
            }
            cboFree[i]->setListIndex(-1);
        }
    } catch (const AutomationError& e) {
        ModBOM::showError(e);
    }
    system::setMousePointer(system::DefaultPointer);
}

void FrmBO02001Cond::ClearFreeItemLists()
{
    for (int i = 1; i <= 10; ++i)
        cboFree[i]->Clear();
}

void FrmBO02001Cond::cmdInvCodeRef_Click()
{
    try {
        QVariant recordset, picked;
        const bool chosen = ModBOM::objRefer().ShowRefer(login(), referKindName(structure() ? ReferBomParent : ReferBomComponent),
                                                         {values::trim(txtInvCode->text())}, recordset, picked, 0, 0);
        if (!chosen)
            return;
        const Object rs = toObject(recordset);
        txtInvCode->setText(values::toTextOrEmpty(call(rs, QStringLiteral("Fields"), {QStringLiteral("cInvCode")})));
        lblInvName->setCaption(namePrefix() + values::toTextOrEmpty(call(rs, QStringLiteral("Fields"), {QStringLiteral("cInvName")})));
        bInvCodeValid = true;
        FillFreeItemLists();
        bInvCodePicked = true;
        LookupVersion();
    } catch (const AutomationError& e) {
        ModBOM::showError(e);
    }
}

void FrmBO02001Cond::PickItemWithFreeItems()
{
    try {
        QVariant item = txtInvCode->text(), freeValues, recordset;
        if (!ModBOM::objRefer().ShowFreeItemRefer(login(), item, freeValues, 0, recordset, 0))
            return;
        txtInvCode->setText(values::toTextOrEmpty(item));
        bInvCodeValid = true;
        FillFreeItemLists();
        const QVariantList values = freeValues.toList();
        for (int i = 1; i <= 10; ++i) {
            if (!cboFree[i]->isEnabled())
                continue;
            int match = -1;
            for (int k = 0; k < cboFree[i]->listCount(); ++k)
                if (cboFree[i]->List(k) == values::toTextOrEmpty(values.value(i - 1)))
                    match = k;
            cboFree[i]->setListIndex(match);
        }
        bInvCodePicked = true;
        LookupVersion();
    } catch (const AutomationError& e) {
        ModBOM::showError(e);
    }
}

void FrmBO02001Cond::LookupVersion()
{
    if (values::trim(txtVersionEffDate->text()).isEmpty())
        txtVersionEffDate->setText(loginDateText());
    const QString d = quoted(values::trim(txtVersionEffDate->text()));
    QString sql = QStringLiteral("select p.InvCode as InvCode, i.cInvName as InvName, b.Version as Version from inventory i, bas_part p,bom_parent t,bom_bom b ") +
                  QStringLiteral("where i.cInvCode = p.InvCode and p.PartId = t.ParentId and t.BomId = b.BomId and i.cInvCode = '") + quoted(code()) + u'\'';
    for (int k = 1; k <= 10; ++k)
        sql += QStringLiteral("and (i.bConfigFree%1 = 0 OR (i.bConfigFree%1 = 1 AND p.Free%1  = '").arg(k) + quoted(cboFree[k]->text()) + QStringLiteral("'))");
    sql += QStringLiteral("and b.VersionEffDate <= '") + d + QStringLiteral("' and b.VersionEndDate > '") + d + u'\'';
    const auto rs = openRecordset(sql);
    if (rs->isEof())
        return;
    lblInvName->setCaption(namePrefix() + values::toTextOrEmpty(rs->Fields(QStringLiteral("InvName"))));
    if (txtVersion->text().isEmpty())
        txtVersion->setText(values::toTextOrEmpty(rs->Fields(QStringLiteral("Version"))));
}

int32_t FrmBO02001Cond::GetPartId()
{
    QString sql = QStringLiteral("select PartId=p.PartId from inventory i, bas_part p ") + QStringLiteral("where i.cInvCode = p.InvCode and i.cInvCode = '") +
                  quoted(code()) + u'\'';
    for (int k = 1; k <= 10; ++k)
        sql += QStringLiteral("and (i.bConfigFree%1 = 0 OR (i.bConfigFree%1 = 1 AND p.Free%1  = '").arg(k) + quoted(cboFree[k]->text()) + QStringLiteral("'))");
    const auto rs = openRecordset(sql);
    return rs->isEof() ? 0 : values::toLong(rs->Fields(QStringLiteral("PartId")));
}

void FrmBO02001Cond::cmdVerRef_Click()
{
    try {
        QVariant recordset, picked;
        if (ModBOM::objRefer().ShowRefer(login(), referKindName(ReferBomVersion), {txtVersion->text(), GetPartId()}, recordset, picked, 0, 0))
            txtVersion->setText(values::toTextOrEmpty(call(toObject(recordset), QStringLiteral("Fields"), {QStringLiteral("Version")})));
    } catch (const AutomationError& e) {
        ModBOM::showError(e);
    }
}

void FrmBO02001Cond::cmdVersionEffDate_Click()
{
    const double left = txtVersionEffDate->left(), top = txtVersionEffDate->top() + txtVersionEffDate->height();
    ModBOM::ShowCalendar(Frame2->reference(txtVersionEffDate), fromObject(sharedFromThis()), static_cast<int32_t>(std::lround(left)),
                         static_cast<int32_t>(std::lround(top)));
}

void FrmBO02001Cond::cmdOK_Click()
{
    system::setMousePointer(system::HourglassPointer);
    if (txtVersion->isVisible()) {
        // A version look-up that fails is shown and the dialog stays open:
        // going on would ask for the BOM without a version.
        if (values::trim(txtVersion->text()).isEmpty()) {
            try {
                LookupVersion();
            } catch (const AutomationError& e) {
                system::setMousePointer(system::DefaultPointer);
                ModBOM::showError(e);
                return;
            }
        }
        if (values::trim(txtVersionEffDate->text()).isEmpty())
            txtVersionEffDate->setText(loginDateText());
    }
    QVariant condition = BuildCondition();
    if (!condition.toString().isEmpty()) {
        Hide();
        OpenForm(condition);
    }
    system::setMousePointer(system::DefaultPointer);
}

QString FrmBO02001Cond::BuildCondition()
{
    try {
        if (txtInvCode->text().isEmpty()) {
            ModBOM::objMessage().ShowCheckMessage(40025, QVariant(), QVariantList{lblInvCode->caption()});
            txtInvCode->SetFocus();
            return QString();
        }
        QString condition = txtInvCode->text();
        for (int i = 1; i <= 10; ++i) {
            if (cboFree[i]->text().isEmpty() && cboFree[i]->isEnabled()) {
                ModBOM::objMessage().ShowCheckMessage(40025, QVariant(), QVariantList{lblHint[i]->caption()});
                cboFree[i]->SetFocus();
                return QString();
            }
            condition += u'|' + (cboFree[i]->isEnabled() ? cboFree[i]->text() : QString());
        }
        if (txtVersion->isVisible())
            condition += u'|' + (txtVersion->text().isEmpty() ? QStringLiteral("-1") : txtVersion->text());
        if (txtVersionEffDate->text().isEmpty()) {
            ModBOM::objMessage().ShowCheckMessage(40025, QVariant(), QVariantList{lblHint[12]->caption()});
            txtVersionEffDate->SetFocus();
            return QString();
        }
        condition += u'|' + txtVersionEffDate->text();
        if (cboQueryType->isVisible())
            condition += cboQueryType->text() == ModBOM::resText(40013) ? QStringLiteral("|0") : QStringLiteral("|1");
        condition += cboPlanRateFlag->text() == ModBOM::resText(40014) ? QStringLiteral("|1") : QStringLiteral("|0");
        return condition;
    } catch (const AutomationError& e) {
        ModBOM::showError(e);
        return QString();
    }
}

void FrmBO02001Cond::OpenForm(QVariant& condition)
{
    try {
        ModBOM::ThreadState& s = ModBOM::state();
        Object& query = structure() ? s.objStructureQuery : s.objWhereUsedQuery;
        query = createObject(structure() ? QStringLiteral("Morvex.Q7.BO.UIP.BO02001") : QStringLiteral("Morvex.Q7.BO.UIP.BO02002"));
        QVariantList args{condition};
        const QString answer = values::toTextOrEmpty(callByName(query, QStringLiteral("SetConditionValue"), args));
        const QString first = ModBOM::SplitText(answer, QStringLiteral("&"), false).toString();
        if (first == QLatin1String("-1")) {
            ModBOM::objMessage().ShowMessage(ModBOM::resText(40034) + QStringLiteral("\r\n") + ModBOM::resText(40035));
            return;
        }
        const QString rest = ModBOM::SplitText(answer, QStringLiteral("&"), true).toString();
        const QString text = ModBOM::SplitText(rest, QStringLiteral("&"), false).toString();
        auto* browse = qobject_cast<FrmBO02001*>(frmBrowse.data());
        if (!browse)
            throw AutomationError(ErrObjectNotSet);
        browse->tvBOM->Clear();
        const QString key = QStringLiteral("L1") + u'&' + first;
        const QVariant node = browse->tvBOM->Add(QVariant(), 0, key, text);
        letProperty(toObject(node), QStringLiteral("Tag"), key);
        (structure() ? s.strStructureRootKey : s.strWhereUsedRootKey) = key;
        browse->tvBOM->select(qobject_cast<TreeNode*>(toObject(browse->tvBOM->Item(key)).data()));
        QVariant form = fromObject(frmBrowse);
        browse->ShowData(form);
        system::setMousePointer(system::DefaultPointer);
    } catch (const AutomationError& e) {
        ModBOM::showError(e);
    }
}

void FrmBO02001Cond::cdmCancel_Click()
{
    txtInvCode->setText(QString());
    txtVersion->setText(QString());
    const Object browse = frmBrowse;
    Unload();
    if (ModBOM::state().bOpenFilterOnActivate && browse)
        call(browse, QStringLiteral("Unload"));
}

// The host's language resource log may be absent; closing goes through.
void FrmBO02001Cond::Form_Unload(QVariant&)
{
    ignoringErrors([&] { call(createObject(QStringLiteral("LingvarPkg.ResLog")), QStringLiteral("Unload")); });
}

// Released while the browse form still waits for its first conditions (the
// dialog closed by its title bar): the empty browse window goes too, unless
// it is already gone.
void FrmBO02001Cond::Form_Terminate()
{
    if (ModBOM::state().bOpenFilterOnActivate && frmBrowse)
        ignoringErrors([&] { call(frmBrowse, QStringLiteral("Unload")); });
}

} // namespace q7::component
