#pragma once

#include <QString>

// Where a new PostGIS table goes.
struct PostgisTarget {
    QString schema = QStringLiteral("public");
    QString table;
    bool createSchema = false;  // create the schema when it is missing
    bool replace = false;       // drop an existing table of that name, in the same transaction
};
