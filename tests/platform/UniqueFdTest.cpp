#include "platform/UniqueFd.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

TEST(UniqueFd, OpensRegularFilesAndRefusesANamedPipeWithoutWaiting) {
    QTemporaryDir dir;
    const QByteArray file = QFile::encodeName(dir.filePath("table.dbf"));
    const QByteArray pipe = QFile::encodeName(dir.filePath("pipe.dbf"));
    QFile created(dir.filePath("table.dbf"));
    ASSERT_TRUE(created.open(QIODevice::WriteOnly));
    created.close();
    ASSERT_EQ(::mkfifo(pipe.constData(), 0600), 0);

    EXPECT_TRUE(UniqueFd::openRegularFile(file.constData()).isOpen());
    // Without the check this open would wait for a writer forever.
    const UniqueFd fromPipe = UniqueFd::openRegularFile(pipe.constData());
    EXPECT_FALSE(fromPipe.isOpen());
    EXPECT_EQ(errno, EINVAL);
    EXPECT_FALSE(UniqueFd::openRegularFile(QFile::encodeName(dir.path()).constData()).isOpen());
    EXPECT_FALSE(UniqueFd::openRegularFile("/dev/null").isOpen());
}
