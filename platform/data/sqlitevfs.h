// The SQLite VFS this layer opens its database files with: SQLite's own Unix
// VFS, lifted to paths as long as the system takes (the Unix VFS stops at
// 512 bytes, a Program folder of about 250 Cyrillic letters).
#pragma once

namespace SqliteVfs
{

enum class Locking {
    // SQLite's usual locks, shared with every other program on the file.
    Shared,
    // No file locks at all ("unix-none"): only for a connection that holds
    // the file in exclusive locking mode and writes nothing.
    None,
};

// The name to give sqlite3_open_v2(); registered at the first call. Null
// where SQLite has no Unix VFS, which leaves SQLite's default.
const char *name(Locking locking = Locking::Shared);

} // namespace SqliteVfs
