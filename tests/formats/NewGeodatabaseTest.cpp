// A new empty geodatabase whose path is taken or cannot be written is refused untouched (the
// command line's tests make and fill both kinds).
#include "errors/ConfluxError.h"
#include "formats/NewGeodatabase.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

namespace {
QStringList entries(const QString& folder) {
    QStringList names =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    names.sort();
    return names;
}

QString failureOf(const QString& path) {
    try {
        createGeodatabase(path);
    } catch (const ConfluxError& error) {
        return error.description();
    }
    return {};
}
}  // namespace

TEST(NewGeodatabaseTest, WhatCannotBeMadeIsRefusedUntouched) {
    const QTemporaryDir dir;
    QFile taken(dir.filePath("taken.gpkg"));
    ASSERT_TRUE(taken.open(QIODevice::WriteOnly));
    taken.write("mine");
    taken.close();
    QDir(dir.path()).mkdir("taken.gdb");
    QDir(dir.path()).mkdir("readonly");
    QFile::setPermissions(dir.filePath("readonly"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const struct {
        const char* name;
        QString path;
    } cases[] = {
        {"ExistingFile", dir.filePath("taken.gpkg")},
        {"ExistingFolder", dir.filePath("taken.gdb")},
        {"MissingFolder", dir.filePath("missing/base.gpkg")},
        {"OtherEnding", dir.filePath("base.mdb")},
        {"NoEnding", dir.filePath("base")},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const QString failure = failureOf(test.path);
        EXPECT_TRUE(failure.startsWith("Cannot create '" + test.path + "': "))
            << failure.toStdString();
    }
    EXPECT_EQ(entries(dir.path()), (QStringList{"readonly", "taken.gdb", "taken.gpkg"}));
    EXPECT_EQ(entries(dir.filePath("taken.gdb")), QStringList());
    ASSERT_TRUE(taken.open(QIODevice::ReadOnly));
    EXPECT_EQ(taken.readAll(), "mine");
    if (::geteuid() != 0) {  // permissions do not hold back root
        EXPECT_FALSE(failureOf(dir.filePath("readonly/base.gdb")).isEmpty());
        EXPECT_EQ(entries(dir.filePath("readonly")), QStringList());
    }
}
