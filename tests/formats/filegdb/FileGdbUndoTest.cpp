// What the File Geodatabase writer leaves when it does not finish, is refused, or is killed:
// every file of the geodatabase byte for byte as it was, and no file of its own.
#include "formats/filegdb/FileGdbUndo.h"
#include "formats/filegdb/FileGdbWriter.h"
#include "support/WriterFeed.h"

#include <gtest/gtest.h>

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QMap>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>

namespace {
const std::vector<OutputField> kFields = {OutputField::named("NAME", 'C', 20, 0),
                                          OutputField::named("COUNT", 'N', 9, 0)};

// The `i`th square of side 10 on a grid of 50 columns.
QByteArray square(int i) {
    return WriterFeed::square(i % 50 * 20.0, i / 50 * 20.0, 10);
}

// A File Geodatabase made by GDAL itself, holding the class "existing" of three points with a
// text field, so that the folder has a user table beside the system tables.
QString geodatabaseWithOneClass(const QTemporaryDir& dir, const QString& name = "base.gdb") {
    GDALAllRegister();
    const QString path = dir.filePath(name);
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("OpenFileGDB");
    GDALDatasetUniquePtr dataset(
        driver->Create(path.toUtf8().constData(), 0, 0, 0, GDT_Unknown, nullptr));
    OGRSpatialReference srs;
    srs.importFromEPSG(4326);
    OGRLayer* layer = dataset->CreateLayer("existing", &srs, wkbPoint, nullptr);
    OGRFieldDefn text("label", OFTString);
    layer->CreateField(&text);
    for (int i = 0; i < 3; ++i) {
        OGRFeature feature(layer->GetLayerDefn());
        feature.SetField(0, "point");
        feature.SetGeometryDirectly(new OGRPoint(30 + i, 50 + i));
        EXPECT_EQ(layer->CreateFeature(&feature), OGRERR_NONE);
    }
    return path;
}

// Every file under `folder` (hidden ones too) with the start of the SHA-256 of its bytes.
QMap<QString, QString> folderHashes(const QString& folder) {
    QMap<QString, QString> hashes;
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::System,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        hashes.insert(
            QDir(folder).relativeFilePath(path),
            QString::fromLatin1(QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                                    .toHex()
                                    .left(16)));
    }
    return hashes;
}

// The geodatabase opened read-only by GDAL.
GDALDatasetUniquePtr openForReading(const QString& path) {
    const char* const drivers[] = {"OpenFileGDB", nullptr};
    return GDALDatasetUniquePtr(GDALDataset::Open(
        path.toUtf8().constData(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, nullptr, nullptr));
}

FileGdbLayout layout(std::vector<OutputField> fields = kFields) {
    FileGdbLayout columns;
    columns.fields = std::move(fields);
    columns.geometryType = wkbMultiPolygon;
    return columns;
}

using WriterFeed::value;

std::vector<FieldValue> valuesOf(int i) {
    return {value(FieldValue::Type::Text, "Участок"), value(FieldValue::Type::Integer, {}, i)};
}

// A new class `name` of `count` features, committed.
void write(const QString& gdb, const QString& name, int count) {
    FileGdbWriter writer({gdb, name}, layout());
    for (int i = 0; i < count; ++i) {
        ASSERT_EQ(writer.add(square(i), valuesOf(i)), FileGdbWriter::Added::Written);
    }
    writer.commit();
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
        FileGdbWriter writer({gdb, "parcels"}, layout());
        for (int i = 0; i < features; ++i) {
            writer.add(square(i), valuesOf(i));
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
             FileGdbWriter writer({gdb, "parcels"}, layout());
             for (int i = 0; i < 3000; ++i) {
                 writer.add(square(i), valuesOf(i));
             }
         },
         std::nullopt},
        {"CancelledAtCommit",
         [](const QString& gdb) {
             bool cancelled = false;
             FileGdbWriter writer({gdb, "parcels"}, layout(), [&] { return cancelled; });
             for (int i = 0; i < 100; ++i) {
                 writer.add(square(i), valuesOf(i));
             }
             cancelled = true;
             writer.commit();
         },
         FileGdbFailure::Cancelled},
        {"BadValueMidway",
         [](const QString& gdb) {
             FileGdbWriter writer({gdb, "parcels"}, layout());
             for (int i = 0; i < 2000; ++i) {
                 writer.add(square(i), valuesOf(i));
             }
             const std::vector<FieldValue> wrong{valuesOf(0)[0], valuesOf(0)[0]};
             writer.add(square(0), wrong);
         },
         FileGdbFailure::Other},
        {"DiskFullAtCommit",
         [](const QString& gdb) {
             FileGdbWriter writer({gdb, "parcels"}, layout());
             for (int i = 0; i < 20000; ++i) {
                 writer.add(square(i), valuesOf(i));
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
    write(gdb, "roads_1", 2);
    const auto before = folderHashes(gdb);
    for (const auto& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(failureOf([&] {
                      FileGdbWriter({gdb, test.asked}, layout());
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
                      FileGdbWriter({dir.filePath(name), "parcels"}, layout());
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
        write(gdb, "parcels", 1);
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
        FileGdbWriter first({gdb, "first"}, layout());
        EXPECT_EQ(failureOf([&] {
                      FileGdbWriter({gdb, "second"}, layout());
                  }),
                  FileGdbFailure::Other);
        first.add(square(0), valuesOf(1));
        first.commit();
    }
    write(gdb, "second", 1);
    EXPECT_EQ(classesOf(gdb), (QStringList{"existing", "first", "second"}));
}
