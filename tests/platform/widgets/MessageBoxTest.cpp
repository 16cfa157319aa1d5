#include "platform/widgets/CallStackWindow.h"
#include "platform/widgets/MessageBox.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDir>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A File Geodatabase is a folder: opening it in the dialog (a double-click, or Open on it)
// chooses it rather than only entering it.
TEST(MessageBox, GeodatabaseFileDialogChoosesAFileGeodatabaseFolderWhenItIsOpened) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkdir("Maps.GDB"));
    const QList<FileFilter> filters = {{"GeoPackage *.gpkg", "*.gpkg"},
                                       {"File Geodatabase *.gdb", "*", ".gdb"}};
    const auto dialog = makeFileOpenDialog("Поиск файла ", filters, 1);
    dialog->setDirectory(dir.path());
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    QAbstractItemView* view = nullptr;  // the list or the detail view, whichever shows
    for (const char* name : {"listView", "treeView"}) {
        auto* candidate = dialog->findChild<QAbstractItemView*>(name);
        view = candidate && candidate->isVisible() ? candidate : view;
    }
    ASSERT_TRUE(view);
    QModelIndex folder;
    ASSERT_TRUE(QTest::qWaitFor([&] {
        folder = view->model()->index(0, 0, view->rootIndex());
        return folder.data().toString() == "Maps.GDB";
    }));
    const QPoint at = view->visualRect(folder).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->result() == QDialog::Accepted; }));
    EXPECT_EQ(chosenFile(*dialog), dir.filePath("Maps.GDB"));
}

// A report's description is one long line: it shows whole, wrapped, in a window that grows with
// its text within the screen and scrolls beyond.
TEST(CallStackWindow, ShowsALongDescriptionWholeAndScrollsAReportTallerThanTheScreen) {
    const QString description =
        "Shapefile '/home/anna/archive/N-37-001/roads.shp' cannot be read: its index (.shx) is "
        "missing, and so are the records of every sheet copied with it from the old server";
    for (const int repeats : {1, 400}) {
        SCOPED_TRACE(repeats);
        CallStackWindow window;
        window.setText(("Record Call Stack Sequence\r\n\tConflux  \r\nDescription\r\n\t" +
                        description + "\r\n")
                           .repeated(repeats));
        window.show(false);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const auto* text = window.findChild<QPlainTextEdit*>();
        EXPECT_EQ(text->horizontalScrollBar()->maximum(), 0);
        EXPECT_EQ(text->verticalScrollBar()->maximum() == 0, repeats == 1);
        EXPECT_TRUE(window.screen()->availableGeometry().size().boundedTo(window.size()) ==
                    window.size());
    }
}

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

}  // namespace
