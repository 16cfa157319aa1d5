#include "cli/HelpText.h"

#include <QCoreApplication>

namespace {

const char* const kScanOptions = R"TXT(  ROOT                 the root folder of the walk
  --file-mask M        mask for file names, ".shp" appended (default "*")
  --dir-mask M         mask for the name of the folder that holds a file (default "*")
  --depth N            folder levels walked, the root being level 1 (default 2)
)TXT";

const char* const kExitStatuses = R"TXT(Exit status:
  0    done
  1    no shapefiles found ("Файлов нет!")
  2    bad arguments
  3    the root folder does not exist ("Проверьте существование корневой директории")
  4    a mask is not a valid pattern ("Invalid pattern: ...")
  5    no input matches the mask and kind ("No elements for merge")
  6    the output folder does not exist ("Directory ... is not exist!!")
  7    the geodatabase does not exist, and no --create ("File  ... is not exist!!")
  8    the output shapefile or PostGIS table exists and --yes was not given
       ("Файл ... существует")
  9    --source is empty ("Вы забыли указать файл-источник полей")
  10   an input, the field source or the output could not be opened or written, or
       none of the features read could be merged
  11   --pg: no database server answered (the server's one-line message follows)
  12   --pg: the server refused the login: password, role or database (one line)
  13   --skip-unreadable: merged, but inputs that could not be opened were left out
  130  interrupted during the merge; nothing was written
)TXT";

QString text(const char* body) {
    return QString::fromUtf8(body);
}

}  // namespace

namespace HelpText {

QString general() {
    return text(R"TXT(Usage: conflux                 start the desktop with the Conflux command
       conflux COMMAND [ARGS]   run without a desktop
       conflux --help | --version

Commands:
  scan    list the shapefiles a folder walk finds, with field and record counts
  merge   find shapefiles, admit them by name mask and geometry kind, merge them

Run "conflux COMMAND --help" for the arguments of a command.

)TXT") + text(kExitStatuses);
}

QString scan() {
    return text(R"TXT(Usage: conflux scan ROOT [--file-mask M] [--dir-mask M] [--depth N]

Walks ROOT as the dialog's "переВыбрать" button does and prints one line per shapefile
found, the fields separated by TAB: path, field count, record count, base name, shape type
code (1 point, 2 multipoint, 3 polyline, 4 polygon, 13 line; " - " when unreadable).
Inside a field TAB, line feed, carriage return and backslash are written as \t, \n, \r
and \\, so a name holding them still makes one line of five fields.
The result ("Выбрано: N файл(ов)" or "Файлов нет!") goes to standard error.

)TXT") + text(kScanOptions) +
           QLatin1Char('\n') + text(kExitStatuses);
}

QString merge() {
    return text(R"TXT(Usage: conflux merge ROOT [scan options] --kind point|line|polygon [--mask M]
                    [--source PATH] (--out FOLDER [--name NAME] | --gdb PATH [--class NAME]
                    [--create] | --pg CONNINFO [--class NAME] [--schema S] [--create-schema])
                    [--t-srs SRS] [--s-srs SRS] [--skip-unreadable] [--progress] [--yes]

Walks ROOT like "conflux scan", opens every shapefile found as an input, admits those whose
name matches --mask and whose geometry is of --kind, and merges them into one new shapefile
(--out), one new layer of an existing geodatabase (--gdb: a GeoPackage, or a File
Geodatabase folder, whose files a failed or interrupted merge leaves as they were) or one new
table of a PostgreSQL database with PostGIS (--pg). The fields and the output's shape type come
from the field-source file (--source), and so does the coordinate system unless --t-srs
names one: inputs in another system are reprojected into it. Prints the summary, then the
features refused by reason and those merged with a change (reprojected, taken without a
coordinate system, a value cut). A progress bar is drawn on standard error when it is a
terminal.

)TXT") + text(kScanOptions) +
           text(R"TXT(  --kind K             point, line or polygon
  --mask M             mask for input names (default "*")
  --source PATH        the field-source shapefile (default: the first admitted input)
  --out FOLDER         write the shapefile FOLDER/NAME.shp
  --name NAME          its base name (default: proposed from --file-mask, else --mask,
                       with "*" and "?" removed; "Merge" when both are "*")
  --gdb PATH           write a new layer into the existing GeoPackage (.gpkg file) or File
                       Geodatabase (.gdb folder) PATH
  --class NAME         the layer's or table's name (default: proposed as for --name)
  --create             make PATH a new empty GeoPackage or File Geodatabase, by its ending,
                       when it does not exist (once there is something to merge; a run that
                       then fails removes it again)
  --pg CONNINFO        write a new PostGIS table, through a libpq connection string or URI
                       ("host=gis dbname=maps user=anna", "postgresql://anna@gis/maps"); give
                       the password in ~/.pgpass or PGPASSWORD rather than on the command line.
                       The table, its rows, key and spatial index go in one transaction: a
                       failure or an interrupt leaves the database as it was
  --schema S           the table's schema (default "public")
  --create-schema      create the schema when it does not exist
  --t-srs SRS          the output's coordinate system instead of the field source's: as GDAL's
                       utilities take it ("EPSG:32637", WKT, a PROJ string, a .prj file)
  --s-srs SRS          the coordinate system of inputs without a .prj (default: taken to be
                       the output's)
  --skip-unreadable    leave out the inputs that cannot be opened (a missing .shx, a damaged
                       header), each named with its cause, instead of failing (status 13)
  --progress           write progress as GDAL's utilities do ("0...10...20...100 - done.") on
                       standard error, terminal or not, instead of the bar
  --yes                replace an existing output shapefile or PostGIS table instead of
                       refusing (a table is replaced in the same transaction)

)TXT") + text(kExitStatuses);
}

QString version(const QStringList& libraries) {
    QString lines = QStringLiteral("conflux ") + QCoreApplication::applicationVersion();
    for (const QString& library : libraries)
        lines += QLatin1Char('\n') + library;
    return lines;
}

}  // namespace HelpText
