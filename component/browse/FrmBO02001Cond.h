#pragma once

#include "platform/ObjectRef.h"
#include "platform/forms/BasicControls.h"
#include "platform/forms/Form.h"
#include "platform/forms/Toolbar.h"

#include <QEnableSharedFromThis>
#include <QList>
#include <QVariant>

namespace q7::component {

// The modal condition dialog of the BOM browse: item code, free items,
// version (structure), effective date, expansion mode (structure) and plan
// ratio, checked against the account and handed to the mode's query object.
class FrmBO02001Cond : public q7::forms::Form, public QEnableSharedFromThis<FrmBO02001Cond> {
    Q_OBJECT
    Q_CLASSINFO("AutomationKind", "Form")
public:
    FrmBO02001Cond();

    q7::Object frmBrowse;
    bool bInvCodeValid = false;
    bool bInvCodePicked = false;

    Q_INVOKABLE void InitBo02001Cond();
    Q_INVOKABLE void OpenForm(QVariant& condition);
    Q_INVOKABLE QString BuildCondition();

    // Events.
    Q_INVOKABLE void Form_Load();
    Q_INVOKABLE void Form_Unload(QVariant& cancel);
    Q_INVOKABLE void Form_Terminate();
    Q_INVOKABLE void txtInvCode_GotFocus();
    Q_INVOKABLE void txtVersion_GotFocus();
    Q_INVOKABLE void txtVersionEffDate_GotFocus() { hideReferenceButtons(); }
    Q_INVOKABLE void cboFree_GotFocus(int) { hideReferenceButtons(); }
    Q_INVOKABLE void cboQueryType_GotFocus() { hideReferenceButtons(); }
    Q_INVOKABLE void cboPlanRateFlag_GotFocus() { hideReferenceButtons(); }
    Q_INVOKABLE void cmdVersionEffDate_GotFocus() { hideReferenceButtons(); }
    Q_INVOKABLE void cmdOK_GotFocus() { hideReferenceButtons(); }
    Q_INVOKABLE void txtInvCode_KeyDown(QVariant& KeyCode, QVariant& Shift);
    Q_INVOKABLE void txtVersion_KeyDown(QVariant& KeyCode, QVariant& Shift);
    Q_INVOKABLE void txtVersionEffDate_KeyDown(QVariant& KeyCode, QVariant& Shift);
    Q_INVOKABLE void cboFree_KeyDown(int Index, QVariant& KeyCode, QVariant& Shift);
    Q_INVOKABLE void cboQueryType_KeyDown(QVariant& KeyCode, QVariant& Shift);
    Q_INVOKABLE void cboPlanRateFlag_KeyDown(QVariant& KeyCode, QVariant& Shift);
    Q_INVOKABLE void txtInvCode_Change();
    Q_INVOKABLE void txtInvCode_Validate(QVariant& Cancel);
    Q_INVOKABLE void cboFree_Validate(int Index, QVariant& Cancel);
    Q_INVOKABLE void txtVersion_Validate(QVariant& Cancel);
    Q_INVOKABLE void txtVersionEffDate_Validate(QVariant& Cancel);
    Q_INVOKABLE void cmdInvCodeRef_Click();
    Q_INVOKABLE void cmdVerRef_Click();
    Q_INVOKABLE void cmdVersionEffDate_Click();
    Q_INVOKABLE void cmdOK_Click();
    Q_INVOKABLE void cdmCancel_Click();

    bool CheckInvCode();
    void LookupVersion();
    int32_t GetPartId();
    // The controls in tab order.
    QList<q7::forms::Control*> tabOrder() const;

    q7::forms::CaptionManager* MvFrmCaptionMgr = nullptr;
    q7::forms::Label* lblInvCode = nullptr;
    q7::forms::TextBox* txtInvCode = nullptr;
    q7::forms::CommandButton* cmdInvCodeRef = nullptr;
    q7::forms::Label* lblInvName = nullptr;
    q7::forms::Frame* Frame1 = nullptr;
    q7::forms::Label* lblHint[15] = {};
    q7::forms::ComboBox* cboFree[11] = {};
    q7::forms::Frame* Frame2 = nullptr;
    q7::forms::TextBox* txtVersion = nullptr;
    q7::forms::CommandButton* cmdVerRef = nullptr;
    q7::forms::TextBox* txtVersionEffDate = nullptr;
    q7::forms::CommandButton* cmdVersionEffDate = nullptr;
    q7::forms::ComboBox* cboQueryType = nullptr;
    q7::forms::ComboBox* cboPlanRateFlag = nullptr;
    q7::forms::CommandButton* cmdOK = nullptr;
    q7::forms::CommandButton* cdmCancel = nullptr;

private:
    void hideReferenceButtons();
    void tabFrom(q7::forms::Control* control);
    void enterMovesOn(q7::forms::Control* control, const QVariant& keyCode);
    void LoadFreeItemCaptions();
    void ArrangeFreeItemRows();
    void FillFreeItemLists();
    void ClearFreeItemLists();
    void PickItemWithFreeItems();
    QString loginDateText() const;
    QString namePrefix() const;
    QVariant login() const;
    QString code() const;
};

} // namespace q7::component
