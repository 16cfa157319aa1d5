#include "platform/Volumes.h"

#include <gtest/gtest.h>

namespace {

// The volume whose mount point is the longest whole-component prefix of the path.
TEST(Volumes, HoldingIsTheLongestWholeComponentMountPoint) {
    const QList<Volume> volumes = {{QStringLiteral("root"), QStringLiteral("/")},
                                   {QStringLiteral("usb"), QStringLiteral("/mnt/usb")},
                                   {QStringLiteral("usb-data"), QStringLiteral("/mnt/usb/data/")},
                                   {QStringLiteral("usb2"), QStringLiteral("/mnt/usb2")}};
    const struct {
        const char* name;
        const char* path;
        qsizetype expected;
    } rows[] = {{"root", "/", 0},
                {"on root", "/home/user/data", 0},
                {"mount point itself", "/mnt/usb", 1},
                {"trailing separator", "/mnt/usb/", 1},
                {"inside the mount", "/mnt/usb/roads/a.shp", 1},
                {"nested mount wins", "/mnt/usb/data/x", 2},
                {"a prefix is not a component", "/mnt/usb2/x", 3},
                {"similar name on root", "/mnt/usbstick", 0},
                {".. leaves the mount", "/mnt/usb/../other", 0},
                {"relative", "mnt/usb", -1},
                {"empty", "", -1}};
    for (const auto& row : rows)
        EXPECT_EQ(Volumes::holding(volumes, QString::fromUtf8(row.path)), row.expected) << row.name;
    const QList<Volume> usbOnly = {{QStringLiteral("usb"), QStringLiteral("/mnt/usb")}};
    EXPECT_EQ(Volumes::holding(usbOnly, QStringLiteral("/home")), -1) << "outside every mount";
}

TEST(Volumes, MountedListHoldsTheRootFileSystemAndNoPseudoFileSystems) {
    const QList<Volume> volumes = Volumes::mounted();
    ASSERT_GE(Volumes::holding(volumes, QStringLiteral("/")), 0);
    for (const Volume& volume : volumes) {
        EXPECT_FALSE(volume.rootPath.startsWith(QStringLiteral("/proc")))
            << volume.rootPath.toStdString();
        EXPECT_FALSE(volume.rootPath.startsWith(QStringLiteral("/sys")))
            << volume.rootPath.toStdString();
        EXPECT_TRUE(Volumes::isReady(volume) || !volume.name.isEmpty());
    }
}

}  // namespace
