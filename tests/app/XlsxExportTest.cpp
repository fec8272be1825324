// A report's grid written as a workbook, through the library opened on first
// use: the file is a workbook holding the headings and the texts.
#include "app/gui/ReportExport.h"
#include "platform/AutomationError.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(XlsxExport, WritesAWorkbookAndRefusesAPlaceItCannotWrite)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("grid.xlsx"));
    q7::app::gui::writeXlsx(path, QStringLiteral("BOM [1]"), {QStringLiteral("子件编码"), QStringLiteral("使用数量")},
                       {{QStringLiteral("S0000001"), 4.2}, {QStringLiteral("S0000002"), QVariant()}});
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("PK")); // a zip, as every workbook is
    EXPECT_TRUE(bytes.contains("xl/worksheets/sheet1.xml"));
    EXPECT_THROW(q7::app::gui::writeXlsx(dir.filePath(QStringLiteral("no/such/folder/grid.xlsx")), QStringLiteral("x"), {QStringLiteral("a")}, {}),
                 q7::AutomationError);
}
