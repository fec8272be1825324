#pragma once

#include "platform/ObjectRef.h"
#include "platform/forms/Form.h"
#include "platform/forms/Grid.h"
#include "platform/forms/PictureBox.h"
#include "platform/forms/Toolbar.h"

#include <QEnableSharedFromThis>
#include <QVariant>

namespace q7::component {

// The substitutes window of the BOM browse: the substitute materials of one
// voucher body row, in the grid's column set "BO02". At most one is open.
class FrmBO02Desc : public q7::forms::Form, public QEnableSharedFromThis<FrmBO02Desc> {
    Q_OBJECT
    Q_CLASSINFO("AutomationKind", "Form")
public:
    FrmBO02Desc();

    // Loads the window and enters it among the open forms under its name.
    void load(const q7::Object& self);

    Q_INVOKABLE void InitToolBar(QVariant& imageList, QVariant& toolbar);
    Q_INVOKABLE void ShowData(QVariant& row);

    Q_INVOKABLE void Form_Load();
    Q_INVOKABLE void Form_Resize();
    Q_INVOKABLE void Form_Unload(QVariant& cancel);
    Q_INVOKABLE void Toolbar1_ButtonClick(const QVariant& button);

    q7::Object columnFormat() const { return columnFormat_; }

    q7::forms::Grid* grd = nullptr;
    q7::forms::Toolbar* Toolbar1 = nullptr;
    q7::forms::ImageList* ImageList1 = nullptr;
    q7::forms::MvToolbar* CTBCtrl1 = nullptr;
    q7::forms::CaptionManager* MvFrmCaptionMgr = nullptr;

private:
    void LoadColumnFormat();
    q7::Object columnFormat_;
};

} // namespace q7::component
