#pragma once

#include "platform/Framework.h"
#include "platform/forms/BasicControls.h"
#include "platform/forms/Form.h"
#include "platform/forms/PictureBox.h"
#include "platform/forms/Toolbar.h"
#include "platform/forms/TreeView.h"
#include "platform/forms/VoucherControl.h"

#include <QEnableSharedFromThis>
#include <QVariant>

namespace q7::component {

class SplitRegion;

// The multi-level BOM browse window (structure or where-used), reached by
// the host only through IFormView. The tree on the left grows one level per
// opened node from the query object of the mode; the voucher on the right
// shows the selected node's BOM (or users) as a document.
class FrmBO02001 : public q7::forms::Form, public q7::IFormView, public QEnableSharedFromThis<FrmBO02001> {
    Q_OBJECT
    Q_CLASSINFO("AutomationKind", "Form")
    Q_PROPERTY(QVariant ViewContext READ viewContext)
public:
    FrmBO02001();

    bool Active() override { return true; }
    bool Enter(QVariant& first, QVariant& second) override;
    bool ExitIt() override { return true; }

    Q_INVOKABLE void FormLoad();
    Q_INVOKABLE void InitToolBar(QVariant& imageList, QVariant& toolbar);
    Q_INVOKABLE void rFilter();
    Q_INVOKABLE void LoadData(QVariant& key);
    Q_INVOKABLE void ShowData(QVariant& form);
    Q_INVOKABLE void iSelectItemLevel(const QVariant& node, QVariant& level);

    // Events.
    Q_INVOKABLE void Form_Activate();
    Q_INVOKABLE void Form_Resize();
    Q_INVOKABLE void Form_Unload(QVariant& cancel);
    Q_INVOKABLE void Form_KeyDown(QVariant& KeyCode, QVariant& Shift);
    Q_INVOKABLE void tvBOM_NodeClick(const QVariant& node);
    Q_INVOKABLE void tvBOM_Expand(const QVariant& node);
    Q_INVOKABLE void tvBOM_KeyDown(QVariant& KeyCode, QVariant& Shift);
    Q_INVOKABLE void Picture1_KeyDown(QVariant& KeyCode, QVariant& Shift);
    Q_INVOKABLE void Voucher_KeyDown(QVariant& KeyCode, QVariant& Shift);
    Q_INVOKABLE void Voucher_BodyMouseDown(int Button, int Shift, double X, double Y);
    Q_INVOKABLE void Toolbar1_ButtonClick(const QVariant& button);
    Q_INVOKABLE void spr_RepositionSplit();
    Q_INVOKABLE void VScroll_Change();
    Q_INVOKABLE void VScroll_Scroll();
    Q_INVOKABLE void HScroll_Change();
    Q_INVOKABLE void HScroll_Scroll();

    const QVariant& viewContext() const { return viewContext_; }
    // The condition dialog opened last (kept while it is loaded).
    q7::Object conditionDialog() const { return condition_; }
    int verticalRange() const { return vRange_; }
    int horizontalRange() const { return hRange_; }
    double naturalVoucherWidth() const { return voucherWidth_; }
    const QVariant& popupMenu() const { return popupMenu_; }

    q7::forms::Toolbar* Toolbar1 = nullptr;
    q7::forms::ImageList* ImageList1 = nullptr;
    q7::forms::MvToolbar* CTBCtrl1 = nullptr;
    q7::forms::CaptionManager* MvFrmCaptionMgr = nullptr;
    q7::forms::MDIExtend* MDIExtend1 = nullptr;
    q7::forms::TreeView* tvBOM = nullptr;
    q7::forms::PictureBox* Picture1 = nullptr;
    q7::forms::Label* lblTitle = nullptr;
    q7::forms::VoucherControl* Voucher = nullptr;
    q7::forms::FlatScrollBar* VScroll = nullptr;
    q7::forms::FlatScrollBar* HScroll = nullptr;
    q7::forms::PictureBox* picPatch = nullptr;
    SplitRegion* spr = nullptr;

private:
    void InitVoucherTemplate();
    void FillTreeFromXml(const QString& xml);
    void ArrangeVoucherArea();
    void ShowSubstitutes();
    void sendKey(int key);
    void scrollVertically();
    void scrollHorizontally();
    q7::Object self();

    QVariant viewContext_;
    QVariant popupMenu_;
    q7::Object condition_;
    int vRange_ = 0;
    int hRange_ = 0;
    double voucherWidth_ = 0;
};

} // namespace q7::component
