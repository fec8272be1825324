#include "browse/FrmBO02Desc.h"

#include "browse/OpenForms.h"
#include "browse/XmlDocument.h"
#include "frame/ModBOM.h"

#include "platform/AutomationError.h"
#include "platform/ClassRegistry.h"
#include "platform/ErrorsIgnored.h"
#include "platform/LateBinding.h"
#include "platform/system/SystemSettings.h"
#include "platform/values/Values.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace q7::component {

using namespace q7::forms;

FrmBO02Desc::FrmBO02Desc()
{
    setWidthTwips(9000);
    setHeightTwips(5400);
    Toolbar1 = add<Toolbar>(QStringLiteral("Toolbar1"));
    Toolbar1->setGeometryTwips(0, 0, 9000, 420);
    ImageList1 = add<ImageList>(QStringLiteral("ImageList1"));
    ImageList1->setVisible(false);
    CTBCtrl1 = add<MvToolbar>(QStringLiteral("CTBCtrl1"));
    CTBCtrl1->setGeometryTwips(0, 0, 9000, 420);
    MvFrmCaptionMgr = add<CaptionManager>(QStringLiteral("MvFrmCaptionMgr"));
    MvFrmCaptionMgr->setVisible(false);
    grd = add<Grid>(QStringLiteral("grd"));
    grd->setGeometryTwips(60, 480, 8700, 4200);
}

void FrmBO02Desc::load(const Object& self)
{
    OpenForms::add(QStringLiteral("frmBO02Desc"), self);
    Show();
}

// Each set-up step is tried on its own: a control without the font setting,
// a host without toolbar images, or a column format that cannot be loaded
// leaves that part as designed and the window still opens.
void FrmBO02Desc::Form_Load()
{
    ignoringErrors([&] { letProperty(grd, QStringLiteral("FontCharset"), 134); });
    ignoringErrors([&] { letProperty(MvFrmCaptionMgr, QStringLiteral("FontCharset"), 134); });
    ignoringErrors([&] {
        MvFrmCaptionMgr->caption = ModBOM::resText(40049);
        setCaption(MvFrmCaptionMgr->caption);
    });
    ignoringErrors([&] {
        QVariant images = fromObject(reference(ImageList1));
        QVariant toolbar = fromObject(reference(Toolbar1));
        InitToolBar(images, toolbar);
    });
    ignoringErrors([&] { CTBCtrl1->setGeometryTwips(Toolbar1->leftTwips(), Toolbar1->topTwips(), innerWidthTwips(), CTBCtrl1->heightTwips()); });
    ignoringErrors([&] { LoadColumnFormat(); });
}

void FrmBO02Desc::InitToolBar(QVariant& imageList, QVariant& toolbar)
{
    IToolbar& tools = ModBOM::objToolbar();
    call(toObject(imageList), QStringLiteral("Clear"));
    tools.AddImage(imageList, 1, QStringLiteral("column"), 504, 1);
    tools.AddImage(imageList, 1, QStringLiteral("help"), 502, 1);
    tools.AddImage(imageList, 1, QStringLiteral("exit"), 503, 1);
    letProperty(toObject(toolbar), QStringLiteral("ImageList"), imageList);
    call(toObject(toolbar), QStringLiteral("ClearButtons"));
    for (const auto& [key, caption] : {std::pair{"column", 40042}, std::pair{"help", 40043}, std::pair{"exit", 40044}}) {
        const QString text = ModBOM::resText(caption);
        tools.AddButton(toolbar, QString::fromLatin1(key), text, 0, QString::fromLatin1(key), -1, -1, text);
    }
    ModBOM::ApplyToolbarStyle(sharedFromThis());
    CTBCtrl1->TakeSettings(1);
    const bool maker = ModBOM::objCommon().GetToolbarMode(ModBOM::state().objAccount) == 1;
    CTBCtrl1->setVisible(maker);
    Toolbar1->setVisible(!maker);
    CTBCtrl1->Refresh();
}

void FrmBO02Desc::LoadColumnFormat()
{
    const Object account = toObject(ModBOM::state().objAccount);
    const Object connection = toObject(getProperty(account, QStringLiteral("Connection")));
    const QString connectionString = values::toTextOrEmpty(getProperty(connection, QStringLiteral("ConnectionString")));
    const QString loginText = values::toTextOrEmpty(call(toObject(getProperty(account, QStringLiteral("Login"))), QStringLiteral("Text")));
    if (!columnFormat_)
        columnFormat_ = createObject(QStringLiteral("Q7Host.ColumnFormat"));
    call(columnFormat_, QStringLiteral("Init"), {connectionString, loginText});
    call(columnFormat_, QStringLiteral("Load"), {QStringLiteral("BO02")});
    ModBOM::InitGridHeader(reference(grd), columnFormat_);
    letProperty(grd, QStringLiteral("Appearance"), values::toBoolean(getProperty(columnFormat_, QStringLiteral("FlatGrid"))) ? 0 : 1);
}

// Filling the grid runs step by step: a column format that could not be
// loaded gives no field list and no columns, a grid setting that fails is
// skipped, and an answer that is empty or not XML leaves the grid as it was.
// Only the query object's own failure is shown, with the grid emptied.
void FrmBO02Desc::ShowData(QVariant& row)
{
    system::setMousePointer(system::HourglassPointer);
    QString fields;
    ignoringErrors([&] { fields = values::toTextOrEmpty(getProperty(columnFormat_, QStringLiteral("FieldList"))).remove(u'_'); });
    ModBOM::ThreadState& s = ModBOM::state();
    QString answer;
    try {
        QVariant fieldList = fields;
        QVariantList args{row, fieldList};
        if (s.bStructureMode) {
            s.lStructureDescRow = values::toLong(row);
            answer = values::toTextOrEmpty(callByName(s.objStructureQuery, QStringLiteral("GetComponentSubXML"), args));
        } else {
            s.lWhereUsedDescRow = values::toLong(row);
            answer = values::toTextOrEmpty(callByName(s.objWhereUsedQuery, QStringLiteral("GetComponentSubXML"), args));
        }
    } catch (const AutomationError& e) {
        ModBOM::showError(e);
        // the rows shown belong to the component asked before
        grd->setRows(grd->fixedRows());
    }
    const auto rows = answer.isEmpty() ? std::nullopt : loadRows(answer);
    if (rows) {
        ignoringErrors([&] { grd->setRows(grd->fixedRows()); });
        if (!rows->isEmpty()) {
            ignoringErrors([&] { grd->setRedraw(false); });
            QStringList keys;
            ignoringErrors([&] {
                const Object columns = toObject(getProperty(columnFormat_, QStringLiteral("Columns")));
                const int count = values::toLong(getProperty(columns, QStringLiteral("Count")));
                for (int i = 1; i <= count; ++i)
                    keys.append(values::toTextOrEmpty(getProperty(toObject(getProperty(columns, QStringLiteral("Item"), {i})), QStringLiteral("Key"))));
            });
            for (const QVariant& r : *rows) {
                const QVariantMap attributes = r.toMap();
                QString line;
                for (const QString& key : keys)
                    line += attributes.value(key).toString() + u'\t';
                ignoringErrors([&] { grd->AddItem(line); });
            }
        }
    }
    ignoringErrors([&] { grd->setRedraw(true); });
    system::setMousePointer(system::DefaultPointer);
}

void FrmBO02Desc::Toolbar1_ButtonClick(const QVariant& button)
{
    const QString key = values::toTextOrEmpty(getProperty(toObject(button), QStringLiteral("Key")));
    if (key == QLatin1String("column")) {
        const Object columns = toObject(getProperty(columnFormat_, QStringLiteral("Columns")));
        if (values::toLong(getProperty(columns, QStringLiteral("Count"))) < 1)
            return;
        call(columnFormat_, QStringLiteral("ShowSettings"), {0});
        if (!values::toBoolean(call(columnFormat_, QStringLiteral("IsChanged"))))
            return;
        LoadColumnFormat();
        ModBOM::InitGridHeader(reference(grd), columnFormat_);
        ModBOM::ThreadState& s = ModBOM::state();
        QVariant row = s.bStructureMode ? s.lStructureDescRow : s.lWhereUsedDescRow;
        ShowData(row);
    } else if (key == QLatin1String("help")) {
        QCoreApplication::postEvent(window(), new QKeyEvent(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier));
    } else if (key == QLatin1String("exit")) {
        Unload();
    }
}

// Layout only: each placement is tried on its own.
void FrmBO02Desc::Form_Resize()
{
    if (!grd) // still being built
        return;
    const Object layout = ModBOM::objLayout();
    ignoringErrors([&] {
        QVariantList args{fromObject(sharedFromThis()), 40, 30, false};
        callByName(layout, QStringLiteral("InitFormResize"), args);
    });
    ignoringErrors([&] { CTBCtrl1->setGeometryTwips(Toolbar1->leftTwips(), Toolbar1->topTwips(), innerWidthTwips(), CTBCtrl1->heightTwips()); });
    ignoringErrors([&] {
        QVariantList args{fromObject(reference(grd))};
        callByName(layout, QStringLiteral("ArrCtrl"), args);
    });
}

// The host's language resource log may be absent; closing goes through.
void FrmBO02Desc::Form_Unload(QVariant&)
{
    OpenForms::remove(this);
    ignoringErrors([&] { call(createObject(QStringLiteral("LingvarPkg.ResLog")), QStringLiteral("Unload")); });
}

} // namespace q7::component
