// A thin VFS over SQLite's Unix one. The Unix VFS copies a -wal or -journal
// file's name into a buffer of 512 bytes (its MAX_PATHNAME), which a longer
// name would overrun, so it also refuses longer paths. This VFS takes paths
// as long as the system does and hands the Unix VFS each long name as a
// short one that reaches the same file through a handle on its folder
// ("/proc/self/fd/N/Dates.mdb-wal"); everything else is the Unix VFS's own.
#include "sqlitevfs.h"

#include <climits>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <sqlite3.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace
{

// The longest name the Unix VFS takes as it is.
constexpr size_t unixNameLimit = 511;

// Calls the Unix VFS's own function `Member` for it.
template <auto Member, typename... Args> auto forward(sqlite3_vfs *vfs, Args... args)
{
    sqlite3_vfs *base = static_cast<sqlite3_vfs *>(vfs->pAppData);
    return (base->*Member)(base, args...);
}

std::mutex shortNamesMutex;

// A handle on a folder, kept open for the rest of the process: a file opened
// through it keeps using its name (SQLite derives the -shm file's name from
// its database file's). A folder made anew under an old name gets a new
// handle; the old one stays open for the files that may still use it.
int folderHandle(const std::string &folder)
{
    static std::map<std::string, int> handles;
    struct stat now;
    if (::stat(folder.c_str(), &now) != 0)
        return -1;
    const auto held = handles.find(folder);
    struct stat before;
    if (held != handles.end() && ::fstat(held->second, &before) == 0 &&
        before.st_dev == now.st_dev && before.st_ino == now.st_ino)
        return held->second;
    const int handle = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (handle >= 0)
        handles[folder] = handle;
    return handle;
}

// The short name of a long one, through a handle on its folder; the name
// itself where it is short enough or its folder cannot be opened.
std::string shortName(const char *name)
{
    const char *slash = std::strrchr(name, '/');
    if (std::strlen(name) <= unixNameLimit || !slash || slash == name)
        return name;
    const int handle = folderHandle(std::string(name, slash));
    if (handle < 0)
        return name;
    return "/proc/self/fd/" + std::to_string(handle) + slash;
}

// xOpen's name must stay valid until the file closes and be one that SQLite
// made, as the Unix VFS reads URI parameters from it: the short name of a
// long one is made once with the long name's parameters and kept. Null
// where no short name reaches the file.
const char *lastingShortName(const char *name, int flags)
{
    static std::map<std::string, const char *> names;
    const std::string shortened = shortName(name);
    if (shortened.size() > unixNameLimit)
        return nullptr;
    std::vector<std::string> parameters;
    std::string key = shortened;
    if (flags & SQLITE_OPEN_MAIN_DB) {
        for (int i = 0; const char *parameter = sqlite3_uri_key(name, i); ++i) {
            const char *value = sqlite3_uri_parameter(name, parameter);
            parameters.emplace_back(parameter);
            parameters.emplace_back(value ? value : "");
            key += '\0' + parameters[parameters.size() - 2] + '\0' + parameters.back();
        }
    }
    const char *&made = names[key];
    if (!made) {
        std::vector<const char *> texts;
        for (const std::string &text : parameters)
            texts.push_back(text.c_str());
        made = sqlite3_create_filename(shortened.c_str(), (shortened + "-journal").c_str(),
                                       (shortened + "-wal").c_str(), int(parameters.size() / 2),
                                       texts.data());
    }
    return made;
}

int vfsOpen(sqlite3_vfs *vfs, const char *name, sqlite3_file *file, int flags, int *outFlags)
{
    if (name && std::strlen(name) > unixNameLimit) {
        const std::lock_guard<std::mutex> lock(shortNamesMutex);
        name = lastingShortName(name, flags);
        if (!name)
            return SQLITE_CANTOPEN;
    }
    return forward<&sqlite3_vfs::xOpen>(vfs, name, file, flags, outFlags);
}

int vfsDelete(sqlite3_vfs *vfs, const char *name, int syncFolder)
{
    std::unique_lock<std::mutex> lock(shortNamesMutex);
    const std::string shortened = shortName(name);
    lock.unlock();
    return forward<&sqlite3_vfs::xDelete>(vfs, shortened.c_str(), syncFolder);
}

sqlite3_vfs *wrap(sqlite3_vfs &vfs, const char *baseName, const char *name)
{
    sqlite3_vfs *base = sqlite3_vfs_find(baseName);
    if (!base)
        return nullptr;
    vfs.iVersion = 3;
    vfs.szOsFile = base->szOsFile;
    // Beyond any path the system opens, so that SQLite's own check of a
    // journal's length never refuses one.
    vfs.mxPathname = PATH_MAX + 16;
    vfs.zName = name;
    vfs.pAppData = base;
    vfs.xOpen = vfsOpen;
    vfs.xDelete = vfsDelete;
    vfs.xAccess = forward<&sqlite3_vfs::xAccess>;
    vfs.xFullPathname = forward<&sqlite3_vfs::xFullPathname>;
    vfs.xDlOpen = forward<&sqlite3_vfs::xDlOpen>;
    vfs.xDlError = forward<&sqlite3_vfs::xDlError>;
    vfs.xDlSym = forward<&sqlite3_vfs::xDlSym>;
    vfs.xDlClose = forward<&sqlite3_vfs::xDlClose>;
    vfs.xRandomness = forward<&sqlite3_vfs::xRandomness>;
    vfs.xSleep = forward<&sqlite3_vfs::xSleep>;
    vfs.xCurrentTime = forward<&sqlite3_vfs::xCurrentTime>;
    vfs.xGetLastError = forward<&sqlite3_vfs::xGetLastError>;
    vfs.xCurrentTimeInt64 = forward<&sqlite3_vfs::xCurrentTimeInt64>;
    vfs.xSetSystemCall = forward<&sqlite3_vfs::xSetSystemCall>;
    vfs.xGetSystemCall = forward<&sqlite3_vfs::xGetSystemCall>;
    vfs.xNextSystemCall = forward<&sqlite3_vfs::xNextSystemCall>;
    return sqlite3_vfs_register(&vfs, 0) == SQLITE_OK ? &vfs : nullptr;
}

} // namespace

const char *SqliteVfs::name(Locking locking)
{
    static sqlite3_vfs shared{};
    static sqlite3_vfs none{};
    static const sqlite3_vfs *const withLocks = wrap(shared, "unix", "orvista-unix");
    static const sqlite3_vfs *const withoutLocks = wrap(none, "unix-none", "orvista-unix-none");
    const sqlite3_vfs *vfs = locking == Locking::Shared ? withLocks : withoutLocks;
    return vfs ? vfs->zName : nullptr;
}
