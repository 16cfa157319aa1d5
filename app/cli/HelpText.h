#pragma once

#include <QString>
#include <QStringList>

// The texts of --help and --version.
namespace HelpText {

QString general();
QString scan();
QString merge();
// "conflux X.Y.Z", then one line per library the program runs with ("GDAL 3.6.2").
QString version(const QStringList& libraries);

}  // namespace HelpText
