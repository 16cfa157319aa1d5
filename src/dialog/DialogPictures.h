#pragma once

#include <QPixmap>

// The pictures of the dialog's picture buttons and of its busy animation, drawn in code.
namespace DialogPictures {

// 16 by 16: rows put in ascending / descending order.
QPixmap sortAscending();
QPixmap sortDescending();
// 16 by 16: a document with a plus / with a cross.
QPixmap addFile();
QPixmap deleteFile();
// 32 by 32: candidates moving down into the input.
QPixmap toInput();
// 32 by 32: a folder searched with a magnifier.
QPixmap getDir();

// The busy animation: frame `frame` of `workFrameCount()`, 131 by 117 pixels.
int workFrameCount();
QPixmap workFrame(int frame);

}  // namespace DialogPictures
