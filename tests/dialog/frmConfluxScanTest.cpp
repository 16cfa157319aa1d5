// The directory scan as the dialog runs it: its fields, its grid rows and its messages.
#include "DialogFixture.h"
#include "platform/DbfFixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class ScanTest : public DialogFixture {
protected:
    QString path(const QString& relative) const { return m_dir.path() + "/" + relative; }
    QString root() const { return m_dir.path(); }
    void file(const QString& relative, const QByteArray& bytes = {}) const {
        const QString full = path(relative);
        QDir().mkpath(full.left(full.lastIndexOf('/')));
        QFile out(full);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size());
    }
    QStringList paths(const QStringList& relative) const {
        QStringList out;
        for (const QString& r : relative)
            out << path(r);
        return out;
    }
    static void scan(const QString& root, const QString& depth = "2", const QString& fileMask = "*",
                     const QString& dirMask = "*") {
        form().TxtsDir->setText(root);
        form().TxtDepthLevel->setText(depth);
        form().TxtFileMask->setText(fileMask);
        form().TxtDirMask->setText(dirMask);
        form().CmdGetDir->click();
    }
    static QString label() { return form().LblSelected->text(); }

    QTemporaryDir m_dir;
};

TEST_F(ScanTest, FieldsDecideTheRowsListed) {
    DbfFixture dbf;
    dbf.fields = {{"A", 'N', 4}, {"B", 'N', 4}};
    dbf.records = {{"1", "2"}, {"3", "4"}, {"5", "6"}};
    for (const char* name : {"abc.shp", "abd.shp", "abcd.shp", "Bx/y.shp", "Bx/C/z.shp"})
        file(name);
    file("abc.dbf", dbf.bytes());
    struct Case {
        QString depth, fileMask, dirMask;
        QStringList found;
    };
    // The depth is read as its leading number; ".shp" is added to the file mask and blanks
    // around either mask go.
    const Case cases[] = {
        {"2", "*", "*", {"Bx/y.shp", "abc.shp", "abcd.shp", "abd.shp"}},
        {"3 levels", "*", " b* ", {"Bx/y.shp"}},
        {"0", "*", "*", {}},
        {"1", " ab? ", "*", {"abc.shp", "abd.shp"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth.toStdString());
        scan(root() + "/", c.depth, c.fileMask, c.dirMask);
        QStringList found = column(0);
        found.sort();
        EXPECT_EQ(found, c.found.isEmpty() ? QStringList{""} : paths(c.found));
        EXPECT_EQ(label(), c.found.isEmpty()
                               ? QString("Файлов нет!")
                               : "Выбрано: " + QString::number(c.found.size()) + " файл(ов)");
        EXPECT_EQ(dialog().state().RecursCount, 0);
    }
    EXPECT_EQ(grid().TextMatrix(0, 0), "файл");
    for (qsizetype row = 1; row < grid().Rows(); ++row) {
        const bool abc = grid().TextMatrix(row, 3) == "abc";
        EXPECT_EQ(grid().TextMatrix(row, 1), abc ? "2" : " - ");
        EXPECT_EQ(grid().TextMatrix(row, 2), abc ? "3" : " - ");
    }
}

TEST_F(ScanTest, MissingEmptyRootAndBadMaskLeaveTheGridAlone) {
    file("keep.shp");
    scan(root());
    const QStringList before = column(0);
    struct Case {
        QString root, fileMask, message;
    };
    const Case cases[] = {
        {path("missing"), "*", "Проверьте существование корневой директории"},
        {"", "*", ""},
        {root(), "ab[c", "Invalid pattern: ab[c.shp"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.root.toStdString() + " " + c.fileMask.toStdString());
        prompter.messages.clear();
        scan(c.root, "2", c.fileMask);
        EXPECT_EQ(column(0), before);
        EXPECT_EQ(label(), "Файлов нет!");
        if (c.message.isEmpty()) {
            EXPECT_TRUE(prompter.messages.isEmpty());
        } else {
            ASSERT_EQ(prompter.messages.size(), 1);
            EXPECT_EQ(prompter.messages[0].text, c.message);
            EXPECT_EQ(prompter.messages[0].icon, MsgBoxIcon::Exclamation);
            EXPECT_EQ(prompter.messages[0].title, "Conflux2_v9");
        }
    }
}

}  // namespace
