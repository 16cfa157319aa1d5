#pragma once

#include <QImage>

#include <cstdint>

// Pictures handed to the host by handle, as the desktop's bitmap handles are. A handle stays
// valid from registerPicture until releasePicture.
std::int32_t registerPicture(const QImage& picture);
void releasePicture(std::int32_t handle);
// The picture of a live handle; a null image for any other value.
QImage pictureFromHandle(std::int32_t handle);

// The same lookup for a host that loads the library at run time.
extern "C" bool ConfluxPictureFromHandle(std::int32_t handle, QImage* picture);
