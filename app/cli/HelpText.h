#pragma once

#include <QString>

// The texts of --help and --version.
namespace HelpText {

QString general();
QString scan();
QString merge();
QString version();

}  // namespace HelpText
