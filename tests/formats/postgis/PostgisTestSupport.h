#pragma once

#include "formats/FieldValueSupport.h"
#include "formats/WkbTestSupport.h"
#include "formats/postgis/PostgisWriter.h"
#include "support/PostgresCluster.h"

#include <QString>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

inline std::string quotedText(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c;
        if (c == '\'') {
            quoted += c;
        }
    }
    return quoted + "'";
}

// A connection to the test cluster's database as its superuser.
inline std::unique_ptr<PgConnection> connect(const std::string& database = "postgres") {
    return std::make_unique<PgConnection>(
        QString::fromStdString(PostgresCluster::shared().conninfo(database)));
}

inline PostgisTarget target(const QString& table,
                            const QString& schema = QStringLiteral("public")) {
    PostgisTarget place;
    place.schema = schema;
    place.table = table;
    return place;
}

// The rows of a query on the test cluster, as text.
inline std::vector<PostgresCluster::Row> rows(const std::string& sql,
                                              const std::string& database = "postgres") {
    return PostgresCluster::shared().query(sql, database);
}

// The one value a query returns ("" for NULL or no row).
inline std::string scalar(const std::string& sql, const std::string& database = "postgres") {
    const auto result = rows(sql, database);
    return result.empty() || result[0].empty() || !result[0][0] ? std::string() : *result[0][0];
}
