#include "platform/Volumes.h"

#include <gtest/gtest.h>

namespace {

struct HoldingCase {
    const char* name;
    const char* path;
    qsizetype expected;
};

class VolumeHolding : public ::testing::TestWithParam<HoldingCase> {};

const QList<Volume> kVolumes = {{QStringLiteral("root"), QStringLiteral("/")},
                                {QStringLiteral("usb"), QStringLiteral("/mnt/usb")},
                                {QStringLiteral("usb-data"), QStringLiteral("/mnt/usb/data/")},
                                {QStringLiteral("usb2"), QStringLiteral("/mnt/usb2")}};

TEST_P(VolumeHolding, LongestWholeComponentMountPointWins) {
    EXPECT_EQ(Volumes::holding(kVolumes, QString::fromUtf8(GetParam().path)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, VolumeHolding,
    ::testing::Values(HoldingCase{"Root", "/", 0}, HoldingCase{"OnRoot", "/home/user/data", 0},
                      HoldingCase{"MountPointItself", "/mnt/usb", 1},
                      HoldingCase{"TrailingSeparator", "/mnt/usb/", 1},
                      HoldingCase{"InsideMount", "/mnt/usb/roads/a.shp", 1},
                      HoldingCase{"NestedMountWins", "/mnt/usb/data/x", 2},
                      HoldingCase{"PrefixIsNotAComponent", "/mnt/usb2/x", 3},
                      HoldingCase{"SimilarNameOnRoot", "/mnt/usbstick", 0},
                      HoldingCase{"DotDotLeavesTheMount", "/mnt/usb/../other", 0},
                      HoldingCase{"Relative", "mnt/usb", -1}, HoldingCase{"Empty", "", -1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Volumes, NoVolumeHoldsAPathOutsideAllMountPoints) {
    const QList<Volume> volumes = {{QStringLiteral("usb"), QStringLiteral("/mnt/usb")}};
    EXPECT_EQ(Volumes::holding(volumes, QStringLiteral("/home")), -1);
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
