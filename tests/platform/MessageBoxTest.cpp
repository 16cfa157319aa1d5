#include "platform/MessageBox.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTest>

namespace {

TEST(MessageBox, IsWideEnoughForItsWholeTitleBesideTheTitleBarButtons) {
    const std::pair<QString, QString> boxes[] = {
        {"Nothing selected", defaultMsgBoxTitle()},
        {"x", "Conflux2_v9: a title much longer than the text of its box"},
        {"Проверьте существование корневой директории", defaultMsgBoxTitle()},
    };
    for (const auto& [text, title] : boxes) {
        SCOPED_TRACE(title.toStdString());
        const auto box = makeMessageBox(text, MsgBoxButtons::Ok, MsgBoxIcon::None, title);
        box->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(box.get()));
        QFont bold = box->font();
        bold.setBold(true);
        const int titleAndCloseBox =
            QFontMetrics(bold).horizontalAdvance(title) + 3 * box->fontMetrics().height();
        EXPECT_GE(box->width(), titleAndCloseBox);
        EXPECT_EQ(box->windowTitle(), title);
    }
}

TEST(MessageBox, GeodatabaseFileDialogKeepsItsFirstEntryAndOpensOnTheGeoPackageOne) {
    const QList<FileFilter> filters = {{"Personal Data Base *.mdb", "*.mdb"},
                                       {"GeoPackage *.gpkg", "*.gpkg"}};
    const auto dialog = makeFileOpenDialog("Поиск файла ", filters, 1);
    EXPECT_EQ(dialog->windowTitle(), "Поиск файла ");
    EXPECT_EQ(dialog->nameFilters(),
              QStringList({"Personal Data Base *.mdb (*.mdb)", "GeoPackage *.gpkg (*.gpkg)"}));
    EXPECT_EQ(dialog->selectedNameFilter(), "GeoPackage *.gpkg (*.gpkg)");
}

}  // namespace
