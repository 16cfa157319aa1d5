#include "DialogFixture.h"
#include "platform/DbfFixture.h"

#include "platform/FlexGrid.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QToolButton>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// A temporary folder tree; `root()` has no trailing "/".
class Tree {
public:
    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const { return root() + "/" + relative; }
    QString file(const QString& relative, const QByteArray& bytes = {}) const {
        const QString full = path(relative);
        QDir().mkpath(full.left(full.lastIndexOf('/')));
        QFile out(full);
        out.open(QIODevice::WriteOnly);
        out.write(bytes);
        return full;
    }

private:
    QTemporaryDir m_dir;
};

QByteArray table(int fields, int records) {
    DbfFixture dbf;
    for (int f = 0; f < fields; ++f)
        dbf.fields.append({"F" + QByteArray::number(f), 'N', 4});
    for (int r = 0; r < records; ++r)
        dbf.records.append(QList<QByteArray>(fields, QByteArray::number(r)));
    return dbf.bytes();
}

class ScanTest : public DialogFixture {
protected:
    void scan(const QString& root, const QString& depth = "2", const QString& fileMask = "*",
              const QString& dirMask = "*") {
        form().TxtsDir->setText(root);
        form().TxtDepthLevel->setText(depth);
        form().TxtFileMask->setText(fileMask);
        form().TxtDirMask->setText(dirMask);
        form().CmdGetDir->click();
    }
    static FlexGrid& grid() { return *form().FlexGrid1; }
    static QStringList column(int col) {
        QStringList cells;
        for (qsizetype row = 1; row < grid().Rows(); ++row)
            cells << grid().TextMatrix(row, col);
        return cells;
    }
    QStringList paths(const Tree& tree, const QStringList& relative) {
        QStringList out;
        for (const QString& r : relative)
            out << tree.path(r);
        return out;
    }
    static QString label() { return form().LblSelected->text(); }
};

struct DepthCase {
    QString depth;
    QStringList found;
};

TEST_F(ScanTest, DepthFieldDecidesTheLevelsListed) {
    Tree tree;
    tree.file("x.shp");
    tree.file("B/y.shp");
    tree.file("B/C/z.shp");
    const QList<DepthCase> cases = {
        {"2", {"x.shp", "B/y.shp"}},
        {"1", {"x.shp"}},
        {" 2.5", {"x.shp", "B/y.shp", "B/C/z.shp"}},
        {"1.9", {"x.shp", "B/y.shp"}},
        {"0", {}},
        {"abc", {}},
        {"", {}},
        {"3 levels", {"x.shp", "B/y.shp", "B/C/z.shp"}},
    };
    for (const DepthCase& c : cases) {
        SCOPED_TRACE(c.depth.toStdString());
        scan(tree.root(), c.depth);
        if (c.found.isEmpty()) {
            EXPECT_EQ(label(), "Файлов нет!");
            EXPECT_EQ(grid().Rows(), 2);
            EXPECT_EQ(grid().TextMatrix(1, 0), "");
        } else {
            EXPECT_EQ(column(0), paths(tree, c.found));
            EXPECT_EQ(label(), "Выбрано: " + QString::number(c.found.size()) + " файл(ов)");
        }
        EXPECT_EQ(dialog().state().RecursCount, 0);
    }
}

TEST_F(ScanTest, MasksRootSpellingAndHiddenEntries) {
    Tree tree;
    tree.file("ABC.SHP");
    tree.file("abd.shp");
    tree.file("abcd.shp");
    tree.file("abc.dbf");
    tree.file(".hidden.shp");
    tree.file(".hid/x.shp");
    tree.file("Bx/y.shp");
    tree.file("Bx/C/z.shp");
    scan(tree.root(), "3", "ab?");
    QStringList found = column(0);
    found.sort();
    EXPECT_EQ(found, paths(tree, {"ABC.SHP", "abd.shp"}));
    // The folder mask tests the folder that holds the file, never the rest of the path.
    scan(tree.root() + "/", "3", "*", " b* ");
    EXPECT_EQ(column(0), paths(tree, {"Bx/y.shp"}));
    scan(tree.root(), "3", "*", "b*");
    EXPECT_EQ(column(0), paths(tree, {"Bx/y.shp"}));
}

TEST_F(ScanTest, GridRowsShowTableCountsOrDashes) {
    Tree tree;
    tree.file("roads.shp");
    tree.file("roads.dbf", table(5, 120));
    tree.file("rivers.shp");
    tree.file("cut.shp");
    tree.file("cut.dbf", table(2, 3).left(40));
    tree.file("bad.shp");
    tree.file("bad.dbf", QByteArray(64, 'x'));
    scan(tree.root(), "1");
    ASSERT_EQ(grid().Rows(), 5);
    EXPECT_EQ(grid().TextMatrix(0, 0), "файл");
    EXPECT_EQ(grid().TextMatrix(0, 1), "поля");
    EXPECT_EQ(grid().TextMatrix(0, 2), "записи");
    for (qsizetype row = 1; row < grid().Rows(); ++row) {
        const QString path = grid().TextMatrix(row, 0);
        const bool roads = path.endsWith("/roads.shp");
        SCOPED_TRACE(path.toStdString());
        EXPECT_EQ(grid().TextMatrix(row, 1), roads ? "5" : " - ");
        EXPECT_EQ(grid().TextMatrix(row, 2), roads ? "120" : " - ");
        EXPECT_EQ(grid().TextMatrix(row, 3), path.mid(tree.root().size() + 1).chopped(4));
    }
}

TEST_F(ScanTest, MissingEmptyRootAndBadMaskLeaveTheGridAlone) {
    Tree tree;
    tree.file("keep.shp");
    scan(tree.root());
    const QStringList before = column(0);
    struct Case {
        QString root;
        QString fileMask;
        QString message;
    };
    const QList<Case> cases = {
        {tree.path("missing"), "*", "Проверьте существование корневой директории"},
        {"", "*", ""},
        {tree.root(), "ab[c", "ab[c.shp"},
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
            EXPECT_TRUE(prompter.messages[0].text.contains(c.message));
            EXPECT_EQ(prompter.messages[0].icon, MsgBoxIcon::Exclamation);
            EXPECT_EQ(prompter.messages[0].title, "Conflux2_v9");
        }
        EXPECT_EQ(dialog().state().RecursCount, 0);
    }
}

// Paint events of one label, with the caption each one showed.
class PaintSpy : public QObject {
public:
    explicit PaintSpy(QLabel* label) : m_label(label) { label->installEventFilter(this); }
    ~PaintSpy() override { m_label->removeEventFilter(this); }
    QStringList painted;

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            painted << m_label->text();
        return false;
    }

private:
    QLabel* m_label;
};

TEST_F(ScanTest, ProgressSignIsPaintedWhileTheWalkRuns) {
    Tree tree;
    for (int i = 0; i < 20; ++i)
        tree.file(QString("d%1/f.shp").arg(i));
    form().LblSelected->setText("Выбрано: 1 файл(ов)");
    QStringList painted;
    {
        const PaintSpy spy(form().LblSelected);
        scan(tree.root());
        painted = spy.painted;
    }
    // The first turn is painted at once (the caption was not "/", so it turns to "/"); later
    // turns are paced.
    ASSERT_FALSE(painted.isEmpty());
    EXPECT_EQ(painted.front(), "/");
    for (const QString& sign : painted)
        EXPECT_TRUE(sign == "/" || sign == "\\") << sign.toStdString();
    EXPECT_EQ(label(), "Выбрано: 20 файл(ов)");
}

}  // namespace
