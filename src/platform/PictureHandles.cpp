#include "platform/PictureHandles.h"

#include <QHash>
#include <QMutex>
#include <QMutexLocker>

namespace {

struct Registry {
    QMutex mutex;
    QHash<std::int32_t, QImage> pictures;
    std::int32_t next = 0x101;
};

Registry& registry() {
    static Registry r;
    return r;
}

}  // namespace

std::int32_t registerPicture(const QImage& picture) {
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    const std::int32_t handle = r.next++;
    r.pictures.insert(handle, picture);
    return handle;
}

void releasePicture(std::int32_t handle) {
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    r.pictures.remove(handle);
}

QImage pictureFromHandle(std::int32_t handle) {
    Registry& r = registry();
    QMutexLocker lock(&r.mutex);
    return r.pictures.value(handle);
}

extern "C" bool ConfluxPictureFromHandle(std::int32_t handle, QImage* picture) {
    if (picture == nullptr) {
        return false;
    }
    *picture = pictureFromHandle(handle);
    return !picture->isNull();
}
