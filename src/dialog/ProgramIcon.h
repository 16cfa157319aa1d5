#pragma once

#include <QIcon>

// The program's icon at every size it is drawn in (16 to 256 pixels), for the windows' title
// bars and task switchers; the same pictures the desktop entry shows.
namespace ProgramIcon {

QIcon icon();

}  // namespace ProgramIcon
