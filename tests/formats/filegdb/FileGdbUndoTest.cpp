// What the File Geodatabase writer leaves when it does not finish, is refused, or is killed:
// every file of the geodatabase byte for byte as it was, and no file of its own.
#include "FileGdbTestSupport.h"
#include "formats/filegdb/FileGdbUndo.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

namespace {
const std::vector<OutputField> kFields = {OutputField::named("NAME", 'C', 20, 0),
                                          OutputField::named("COUNT", 'N', 9, 0)};

std::vector<FieldValue> valuesOf(int i) {
    return {Value::text("Участок"), Value::integer(i)};
}

// Limits the size of every file the process writes, as a full disk would; a write beyond it
// fails with EFBIG.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &m_previous);
        const rlimit limit{bytes, m_previous.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    rlimit m_previous{};
    void (*m_signal)(int) = nullptr;
};

// The classes GDAL lists.
QStringList classesOf(const QString& gdb) {
    const GDALDatasetUniquePtr dataset = openForReading(gdb);
    QStringList names;
    for (int i = 0; dataset && i < dataset->GetLayerCount(); ++i) {
        names << QString::fromUtf8(dataset->GetLayer(i)->GetName());
    }
    return names;
}

// Writes `features` features of the class "parcels" into `gdb` in a child process that is
// killed before it commits, as a power cut or SIGKILL would end it.
void killWhileWriting(const QString& gdb, int features) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        FileGdbWriter writer({gdb, "parcels"}, layout(kFields));
        for (int i = 0; i < features; ++i) {
            writer.add(multiPolygonWkb(i % 50 * 20.0, i / 50 * 20.0), valuesOf(i));
        }
        ::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
}

FileGdbFailure failureOf(const std::function<void()>& work) {
    try {
        work();
    } catch (const FileGdbError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "no failure";
    return FileGdbFailure::Other;
}
}  // namespace

TEST(FileGdbUndoTest, UnfinishedWritesLeaveEveryFileAsItWas) {
    const struct {
        const char* name;
        std::function<void(const QString& gdb)> write;
        std::optional<FileGdbFailure> failure;  // nullopt: the writer is dropped without one
    } cases[] = {
        {"DroppedBeforeCommit",
         [](const QString& gdb) {
             FileGdbWriter writer({gdb, "parcels"}, layout(kFields));
             for (int i = 0; i < 3000; ++i) {
                 writer.add(multiPolygonWkb(i % 50 * 20.0, i / 50 * 20.0), valuesOf(i));
             }
         },
         std::nullopt},
        {"CancelledAtCommit",
         [](const QString& gdb) {
             bool cancelled = false;
             FileGdbWriter writer({gdb, "parcels"}, layout(kFields), [&] { return cancelled; });
             for (int i = 0; i < 100; ++i) {
                 writer.add(multiPolygonWkb(i * 20.0, 0), valuesOf(i));
             }
             cancelled = true;
             writer.commit();
         },
         FileGdbFailure::Cancelled},
        {"BadValueMidway",
         [](const QString& gdb) {
             FileGdbWriter writer({gdb, "parcels"}, layout(kFields));
             for (int i = 0; i < 2000; ++i) {
                 writer.add(multiPolygonWkb(i * 20.0, 0), valuesOf(i));
             }
             const std::vector<FieldValue> wrong{Value::text("x"), Value::text("not a number")};
             writer.add(multiPolygonWkb(0, 0), wrong);
         },
         FileGdbFailure::Other},
        {"DiskFullAtCommit",
         [](const QString& gdb) {
             FileGdbWriter writer({gdb, "parcels"}, layout(kFields));
             for (int i = 0; i < 20000; ++i) {
                 writer.add(multiPolygonWkb(i % 50 * 20.0, i / 50 * 20.0), valuesOf(i));
             }
             // The offsets and the spatial index, written at commit, need more than this.
             const FileSizeLimit limit(65536);
             writer.commit();
         },
         FileGdbFailure::Other},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        const QTemporaryDir dir;
        const QString gdb = geodatabaseWithOneClass(dir);
        const auto before = folderHashes(gdb);
        if (test.failure) {
            EXPECT_EQ(failureOf([&] { test.write(gdb); }), *test.failure);
        } else {
            test.write(gdb);
        }
        EXPECT_EQ(folderHashes(gdb), before);
        EXPECT_EQ(classesOf(gdb), QStringList{"existing"});
    }
}

TEST(FileGdbUndoTest, ExistingClassIsRefusedAndNothingChanges) {
    const struct {
        const char* name;
        QString asked;
    } cases[] = {
        {"SameName", "existing"},
        {"OtherCase", "EXISTING"},
        {"AdjustedToAnExistingName", "roads-1"},  // GDAL would name it "roads_1"
        {"SystemTable", "GDB_Items"},
    };
    const QTemporaryDir dir;
    const QString gdb = geodatabaseWithOneClass(dir);
    write(gdb, "roads_1", layout({}), squares(2));
    const auto before = folderHashes(gdb);
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(failureOf([&] {
                      FileGdbWriter({gdb, test.asked}, layout(kFields));
                  }),
                  FileGdbFailure::ClassExists);
        EXPECT_EQ(folderHashes(gdb), before);
    }
}

TEST(FileGdbUndoTest, WhatIsNoGeodatabaseIsRefusedUntouched) {
    const QTemporaryDir dir;
    QDir(dir.path()).mkdir("empty.gdb");
    QDir(dir.path()).mkdir("other.gdb");
    QFile stray(dir.filePath("other.gdb/notes.txt"));
    ASSERT_TRUE(stray.open(QIODevice::WriteOnly));
    stray.write("not a table");
    stray.close();
    QFile file(dir.filePath("file.gdb"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    for (const char* name : {"missing.gdb", "empty.gdb", "other.gdb", "file.gdb"}) {
        SCOPED_TRACE(name);
        const auto before = folderHashes(dir.path());
        EXPECT_EQ(failureOf([&] {
                      FileGdbWriter({dir.filePath(name), "parcels"}, layout(kFields));
                  }),
                  FileGdbFailure::NotAGeodatabase);
        EXPECT_EQ(folderHashes(dir.path()), before);
        EXPECT_EQ(QDir(dir.filePath("empty.gdb"))
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList());
    }
}

TEST(FileGdbUndoTest, KilledRunsAreUndoneBeforeTheNextWrite) {
    for (const int features : {1, 5000}) {
        SCOPED_TRACE(features);
        const QTemporaryDir dir;
        const QString gdb = geodatabaseWithOneClass(dir);
        const auto before = folderHashes(gdb);
        killWhileWriting(gdb, features);
        ASSERT_NE(folderHashes(gdb), before);  // the dead run's class is half there
        FileGdbUndo::recoverFolder(gdb);
        EXPECT_EQ(folderHashes(gdb), before);

        // A writer does the same before it looks for the name.
        killWhileWriting(gdb, features);
        write(gdb, "parcels", layout(kFields), {{multiPolygonWkb(0, 0), valuesOf(1)}});
        const GDALDatasetUniquePtr dataset = openForReading(gdb);
        EXPECT_EQ(dataset->GetLayerByName("parcels")->GetFeatureCount(), 1);
        EXPECT_EQ(classesOf(gdb), (QStringList{"existing", "parcels"}));
        for (const QString& name : QDir(gdb).entryList(QDir::AllEntries | QDir::Hidden)) {
            EXPECT_FALSE(name.startsWith(".conflux")) << name.toStdString();
        }
    }
}

TEST(FileGdbUndoTest, AGeodatabaseBeingWrittenIsRefused) {
    const QTemporaryDir dir;
    const QString gdb = geodatabaseWithOneClass(dir);
    {
        FileGdbWriter first({gdb, "first"}, layout(kFields));
        EXPECT_EQ(failureOf([&] {
                      FileGdbWriter({gdb, "second"}, layout(kFields));
                  }),
                  FileGdbFailure::Other);
        first.add(multiPolygonWkb(0, 0), valuesOf(1));
        first.commit();
    }
    write(gdb, "second", layout(kFields), {{multiPolygonWkb(0, 0), valuesOf(2)}});
    EXPECT_EQ(classesOf(gdb), (QStringList{"existing", "first", "second"}));
}
