// makedb: writes the empty "Dates.mdb" that ships beside the programs, an
// SQLite database with the table TabData and its indexes. An existing file
// at the path is replaced.
#include "datesschema.h"

#include <cstdio>
#include <filesystem>
#include <sqlite3.h>
#include <string>
#include <system_error>

namespace
{

// The side files SQLite keeps next to a database; a stale one must not
// meet a new database of the same name.
void removeSideFiles(const std::string &path)
{
    std::error_code ignored;
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        std::filesystem::remove(path + suffix, ignored);
}

// Creates the database at `path`; the error text, or empty on success.
std::string create(const std::string &path)
{
    sqlite3 *db = nullptr;
    int rc =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    char *message = nullptr;
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, DatesSchema::statements, nullptr, nullptr, &message);
    std::string error;
    if (rc != SQLITE_OK)
        error = message ? message : (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    sqlite3_free(message);
    // The last connection to close checkpoints the WAL and removes it, so
    // only the one file is left; WAL mode stays recorded in it.
    if (sqlite3_close(db) != SQLITE_OK && error.empty())
        error = "could not close the database";
    return error;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: makedb <path of Dates.mdb>\n");
        return 2;
    }
    const std::string path = argv[1];
    // Built beside the target and moved over it, so that a failure never
    // leaves a half-made database under the real name.
    const std::string temporary = path + ".new";
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    removeSideFiles(temporary);
    const std::string error = create(temporary);
    std::error_code renameError;
    if (error.empty()) {
        removeSideFiles(path);
        std::filesystem::rename(temporary, path, renameError);
    }
    if (!error.empty() || renameError) {
        std::filesystem::remove(temporary, ignored);
        removeSideFiles(temporary);
        std::fprintf(stderr, "makedb: %s: %s\n", path.c_str(),
                     error.empty() ? renameError.message().c_str() : error.c_str());
        return 1;
    }
    return 0;
}
