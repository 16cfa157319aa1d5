// The limit of writing a GeoPackage layer: the rows of a merged layer (the very blobs and
// values the merge wrote), loaded into memory first, inserted into an empty table of the same
// definition in a new GeoPackage, one transaction, one prepared statement, with SQLite's
// defaults as GDAL leaves them. Prints the seconds the inserts and the commit took, wall and
// processor (user and system) time.
//   conflux_gpkg_insert_limit MERGED.gpkg LAYER NEW.gpkg

#include <gdal_priv.h>
#include <sqlite3.h>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Every value of every row, kept compactly: a type byte, then the value's bytes.
struct Rows {
    int columns = 0;
    std::string bytes;
    std::size_t count = 0;
};

void fail(sqlite3* db, const char* what) {
    std::fprintf(stderr, "%s: %s\n", what, sqlite3_errmsg(db));
    std::exit(1);
}

void append(std::string& bytes, const void* data, std::size_t size) {
    bytes.append(static_cast<const char*>(data), size);
}

Rows load(sqlite3* db, const std::string& layer, std::string& createSql, std::string& columns) {
    sqlite3_stmt* statement = nullptr;
    const std::string define = "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?";
    sqlite3_prepare_v2(db, define.c_str(), -1, &statement, nullptr);
    sqlite3_bind_text(statement, 1, layer.c_str(), -1, SQLITE_STATIC);
    if (sqlite3_step(statement) != SQLITE_ROW) {
        fail(db, "no such layer");
    }
    createSql = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    // Every column but the feature id, which the table numbers itself.
    sqlite3_prepare_v2(db, ("PRAGMA table_info(\"" + layer + "\")").c_str(), -1, &statement,
                       nullptr);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        if (sqlite3_column_int(statement, 5) == 0) {
            columns +=
                (columns.empty() ? "\"" : ", \"") +
                std::string(reinterpret_cast<const char*>(sqlite3_column_text(statement, 1))) +
                "\"";
        }
    }
    sqlite3_finalize(statement);
    Rows rows;
    if (sqlite3_prepare_v2(db, ("SELECT " + columns + " FROM \"" + layer + "\"").c_str(), -1,
                           &statement, nullptr) != SQLITE_OK) {
        fail(db, "cannot read the layer");
    }
    rows.columns = sqlite3_column_count(statement);
    while (sqlite3_step(statement) == SQLITE_ROW) {
        for (int c = 0; c < rows.columns; ++c) {
            const char type = static_cast<char>(sqlite3_column_type(statement, c));
            rows.bytes += type;
            if (type == SQLITE_INTEGER) {
                const sqlite3_int64 value = sqlite3_column_int64(statement, c);
                append(rows.bytes, &value, sizeof value);
            } else if (type == SQLITE_FLOAT) {
                const double value = sqlite3_column_double(statement, c);
                append(rows.bytes, &value, sizeof value);
            } else if (type != SQLITE_NULL) {
                const void* data = type == SQLITE_TEXT
                                       ? static_cast<const void*>(sqlite3_column_text(statement, c))
                                       : sqlite3_column_blob(statement, c);
                const std::uint32_t size = sqlite3_column_bytes(statement, c);
                append(rows.bytes, &size, sizeof size);
                append(rows.bytes, data, size);
            }
        }
        ++rows.count;
    }
    sqlite3_finalize(statement);
    return rows;
}

// Binds the values of one row from `at` on; returns where the next row starts.
const char* bindRow(sqlite3_stmt* insert, const Rows& rows, const char* at) {
    for (int c = 1; c <= rows.columns; ++c) {
        const char type = *at++;
        if (type == SQLITE_INTEGER) {
            sqlite3_int64 value;
            std::memcpy(&value, at, sizeof value);
            sqlite3_bind_int64(insert, c, value);
            at += sizeof value;
        } else if (type == SQLITE_FLOAT) {
            double value;
            std::memcpy(&value, at, sizeof value);
            sqlite3_bind_double(insert, c, value);
            at += sizeof value;
        } else if (type == SQLITE_NULL) {
            sqlite3_bind_null(insert, c);
        } else {
            std::uint32_t size;
            std::memcpy(&size, at, sizeof size);
            at += sizeof size;
            if (type == SQLITE_TEXT) {
                sqlite3_bind_text(insert, c, at, static_cast<int>(size), SQLITE_STATIC);
            } else {
                sqlite3_bind_blob(insert, c, at, static_cast<int>(size), SQLITE_STATIC);
            }
            at += size;
        }
    }
    return at;
}

double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: see the head of gpkg_insert_limit.cpp\n");
        return 2;
    }
    const std::string layer = argv[2];
    sqlite3* source = nullptr;
    sqlite3_open_v2(argv[1], &source, SQLITE_OPEN_READONLY, nullptr);
    std::string createSql, columns;
    const Rows rows = load(source, layer, createSql, columns);
    sqlite3_close(source);

    GDALAllRegister();
    std::remove(argv[3]);
    GDALDatasetUniquePtr(GetGDALDriverManager()->GetDriverByName("GPKG")->Create(
        argv[3], 0, 0, 0, GDT_Unknown, nullptr));
    sqlite3* db = nullptr;
    if (sqlite3_open(argv[3], &db) != SQLITE_OK ||
        sqlite3_exec(db, createSql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail(db, "cannot create the table");
    }
    std::string sql = "INSERT INTO \"" + layer + "\" (" + columns + ") VALUES (?";
    for (int c = 1; c < rows.columns; ++c) {
        sql += ", ?";
    }
    sql += ")";
    sqlite3_stmt* insert = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr) != SQLITE_OK) {
        fail(db, "cannot prepare the insert");
    }

    const auto start = std::chrono::steady_clock::now();
    const double processorStart = processorSeconds();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    const char* at = rows.bytes.data();
    for (std::size_t row = 0; row < rows.count; ++row) {
        at = bindRow(insert, rows, at);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            fail(db, "insert failed");
        }
        sqlite3_reset(insert);
    }
    if (sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) {
        fail(db, "commit failed");
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double processor = processorSeconds() - processorStart;
    sqlite3_finalize(insert);
    sqlite3_close(db);
    std::printf("%.3f %.3f s (wall, processor) for %zu rows\n", seconds, processor, rows.count);
    return 0;
}
