#pragma once

#include <QIcon>

// The two pictures of a folder list: a closed folder, and an open one for the folders of the
// open path, so the open folder never looks like a folder that is only highlighted.
namespace FolderPictures {

QIcon closedFolder();
QIcon openFolder();

}  // namespace FolderPictures
