// Preloaded into a child process by the kill-point tests: counts every call
// that changes a file below DOMVERA_KILL_ROOT and kills the process with
// SIGKILL right before call number DOMVERA_KILL_AT. With DOMVERA_KILL_LOG set,
// each counted call is appended to that file as "number kind path".
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/uio.h>
#include <unistd.h>

extern "C" {

#define MAX_FDS 65536

static const char* g_root;
static size_t g_rootLen;
static long g_killAt = -1;
static long g_count;
static int g_logFd = -1;
static unsigned char g_tracked[MAX_FDS]; // descriptors below the root: 1 read, 2 written
static int g_ready;

#define REAL(ret, name, ...)                                                                       \
    static ret (*real_##name)(__VA_ARGS__);                                                        \
    if (!real_##name)                                                                              \
        real_##name = reinterpret_cast<ret (*)(__VA_ARGS__)>(dlsym(RTLD_NEXT, #name));

static ssize_t rawWrite(int fd, const void* buf, size_t n) {
    static ssize_t (*w)(int, const void*, size_t);
    if (!w)
        w = reinterpret_cast<ssize_t (*)(int, const void*, size_t)>(dlsym(RTLD_NEXT, "write"));
    return w(fd, buf, n);
}

static void setup(void) {
    if (g_ready)
        return;
    g_ready = 1;
    g_root = getenv("DOMVERA_KILL_ROOT");
    g_rootLen = g_root ? strlen(g_root) : 0;
    const char* at = getenv("DOMVERA_KILL_AT");
    if (at && *at)
        g_killAt = atol(at);
    const char* log = getenv("DOMVERA_KILL_LOG");
    if (log && *log) {
        static int (*o)(const char*, int, ...);
        if (!o)
            o = reinterpret_cast<int (*)(const char*, int, ...)>(dlsym(RTLD_NEXT, "open"));
        g_logFd = o(log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
    }
}

// The absolute spelling of a path given relative to dirfd.
static int absolutePath(int dirfd, const char* path, char* out, size_t size) {
    if (!path)
        return 0;
    if (path[0] == '/') {
        snprintf(out, size, "%s", path);
        return 1;
    }
    char base[PATH_MAX];
    if (dirfd == AT_FDCWD) {
        if (!getcwd(base, sizeof base))
            return 0;
    } else {
        char link[64];
        snprintf(link, sizeof link, "/proc/self/fd/%d", dirfd);
        ssize_t n = readlink(link, base, sizeof base - 1);
        if (n < 0)
            return 0;
        base[n] = 0;
    }
    snprintf(out, size, "%s/%s", base, path);
    return 1;
}

static int belowRoot(int dirfd, const char* path) {
    setup();
    if (!g_root || !path)
        return 0;
    char abs[PATH_MAX + 64];
    if (!absolutePath(dirfd, path, abs, sizeof abs))
        return 0;
    return strncmp(abs, g_root, g_rootLen) == 0 && (abs[g_rootLen] == '/' || abs[g_rootLen] == 0);
}

static int trackedFd(int fd) {
    return fd >= 0 && fd < MAX_FDS && g_tracked[fd] == 2;
}

// One file-changing call: logged, and the process dies before it when its
// number has come.
static void point(const char* kind, int dirfd, const char* path) {
    setup();
    long n = __atomic_add_fetch(&g_count, 1, __ATOMIC_SEQ_CST);
    if (g_logFd >= 0) {
        char line[PATH_MAX + 128];
        char abs[PATH_MAX + 64] = "";
        if (path)
            absolutePath(dirfd, path, abs, sizeof abs);
        int len = snprintf(line, sizeof line, "%ld %s %s\n", n, kind, abs);
        if (len > 0)
            rawWrite(g_logFd, line, (size_t)len < sizeof line ? (size_t)len : sizeof line - 1);
    }
    if (n == g_killAt)
        kill(getpid(), SIGKILL);
}

static void fdPoint(const char* kind, int fd) {
    // A sync matters on any descriptor below the root, the rest on writable ones.
    const int sync = strcmp(kind, "sync") == 0;
    if (fd < 0 || fd >= MAX_FDS || g_tracked[fd] < (sync ? 1 : 2))
        return;
    char link[64], target[PATH_MAX];
    snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t n = g_logFd >= 0 ? readlink(link, target, sizeof target - 1) : -1;
    target[n > 0 ? n : 0] = 0;
    point(kind, AT_FDCWD, target);
}

static int changesOnOpen(int dirfd, const char* path, int flags) {
    if (!(flags & (O_CREAT | O_TRUNC)))
        return 0;
    if (flags & O_TRUNC)
        return 1;
    struct stat st;
    return fstatat(dirfd, path, &st, 0) != 0; // creates a new file
}

static int opened(int fd, int dirfd, const char* path, int flags) {
    if (fd >= 0 && fd < MAX_FDS)
        g_tracked[fd] = !belowRoot(dirfd, path) ? 0 : (flags & (O_WRONLY | O_RDWR)) ? 2 : 1;
    return fd;
}

typedef int (*OpenAt)(int, const char*, int, ...);

static int openCommon(int dirfd, const char* path, int flags, mode_t mode, int large) {
    static OpenAt realOpenAt, realOpenAt64;
    if (!realOpenAt) {
        realOpenAt = reinterpret_cast<OpenAt>(dlsym(RTLD_NEXT, "openat"));
        realOpenAt64 = reinterpret_cast<OpenAt>(dlsym(RTLD_NEXT, "openat64"));
    }
    if (belowRoot(dirfd, path) && changesOnOpen(dirfd, path, flags))
        point("open", dirfd, path);
    const int fd = (large ? realOpenAt64 : realOpenAt)(dirfd, path, flags, mode);
    return opened(fd, dirfd, path, flags);
}

// The mode argument is there only when the flags create a file.
#define MODE_ARGUMENT(flags)                                                                       \
    mode_t mode = 0;                                                                               \
    if ((flags) & (O_CREAT | __O_TMPFILE)) {                                                       \
        va_list ap;                                                                                \
        va_start(ap, flags);                                                                       \
        mode = va_arg(ap, mode_t);                                                                 \
        va_end(ap);                                                                                \
    }

int open(const char* path, int flags, ...) {
    MODE_ARGUMENT(flags)
    return openCommon(AT_FDCWD, path, flags, mode, 0);
}
int open64(const char* path, int flags, ...) {
    MODE_ARGUMENT(flags)
    return openCommon(AT_FDCWD, path, flags, mode, 1);
}
int openat(int dirfd, const char* path, int flags, ...) {
    MODE_ARGUMENT(flags)
    return openCommon(dirfd, path, flags, mode, 0);
}
int openat64(int dirfd, const char* path, int flags, ...) {
    MODE_ARGUMENT(flags)
    return openCommon(dirfd, path, flags, mode, 1);
}
int __open_2(const char* path, int flags) {
    return openCommon(AT_FDCWD, path, flags, 0, 0);
}
int __open64_2(const char* path, int flags) {
    return openCommon(AT_FDCWD, path, flags, 0, 1);
}
int creat(const char* path, mode_t mode) {
    return open(path, O_CREAT | O_WRONLY | O_TRUNC, mode);
}
int creat64(const char* path, mode_t mode) {
    return open64(path, O_CREAT | O_WRONLY | O_TRUNC, mode);
}

int close(int fd) {
    REAL(int, close, int);
    if (fd >= 0 && fd < MAX_FDS)
        g_tracked[fd] = 0;
    return real_close(fd);
}

ssize_t write(int fd, const void* buf, size_t n) {
    REAL(ssize_t, write, int, const void*, size_t);
    fdPoint("write", fd);
    return real_write(fd, buf, n);
}
ssize_t pwrite(int fd, const void* buf, size_t n, off_t off) {
    REAL(ssize_t, pwrite, int, const void*, size_t, off_t);
    fdPoint("write", fd);
    return real_pwrite(fd, buf, n, off);
}
ssize_t pwrite64(int fd, const void* buf, size_t n, off64_t off) {
    REAL(ssize_t, pwrite64, int, const void*, size_t, off64_t);
    fdPoint("write", fd);
    return real_pwrite64(fd, buf, n, off);
}
ssize_t writev(int fd, const struct iovec* iov, int count) {
    REAL(ssize_t, writev, int, const struct iovec*, int);
    fdPoint("write", fd);
    return real_writev(fd, iov, count);
}
ssize_t copy_file_range(int in, off64_t* inOff, int out, off64_t* outOff, size_t n,
                        unsigned flags) {
    REAL(ssize_t, copy_file_range, int, off64_t*, int, off64_t*, size_t, unsigned);
    fdPoint("write", out);
    return real_copy_file_range(in, inOff, out, outOff, n, flags);
}
ssize_t sendfile64(int out, int in, off64_t* off, size_t n) {
    REAL(ssize_t, sendfile64, int, int, off64_t*, size_t);
    fdPoint("write", out);
    return real_sendfile64(out, in, off, n);
}
int fsync(int fd) {
    REAL(int, fsync, int);
    fdPoint("sync", fd);
    return real_fsync(fd);
}
int fdatasync(int fd) {
    REAL(int, fdatasync, int);
    fdPoint("sync", fd);
    return real_fdatasync(fd);
}
int ftruncate(int fd, off_t len) {
    REAL(int, ftruncate, int, off_t);
    fdPoint("truncate", fd);
    return real_ftruncate(fd, len);
}
int ftruncate64(int fd, off64_t len) {
    REAL(int, ftruncate64, int, off64_t);
    fdPoint("truncate", fd);
    return real_ftruncate64(fd, len);
}

int rename(const char* from, const char* to) {
    REAL(int, rename, const char*, const char*);
    if (belowRoot(AT_FDCWD, from) || belowRoot(AT_FDCWD, to))
        point("rename", AT_FDCWD, to);
    return real_rename(from, to);
}
int renameat(int fromFd, const char* from, int toFd, const char* to) {
    REAL(int, renameat, int, const char*, int, const char*);
    if (belowRoot(fromFd, from) || belowRoot(toFd, to))
        point("rename", toFd, to);
    return real_renameat(fromFd, from, toFd, to);
}
int renameat2(int fromFd, const char* from, int toFd, const char* to, unsigned flags) {
    REAL(int, renameat2, int, const char*, int, const char*, unsigned);
    if (belowRoot(fromFd, from) || belowRoot(toFd, to))
        point("rename", toFd, to);
    return real_renameat2(fromFd, from, toFd, to, flags);
}
int unlink(const char* path) {
    REAL(int, unlink, const char*);
    if (belowRoot(AT_FDCWD, path))
        point("unlink", AT_FDCWD, path);
    return real_unlink(path);
}
int unlinkat(int dirfd, const char* path, int flags) {
    REAL(int, unlinkat, int, const char*, int);
    if (belowRoot(dirfd, path))
        point(flags & AT_REMOVEDIR ? "rmdir" : "unlink", dirfd, path);
    return real_unlinkat(dirfd, path, flags);
}
int remove(const char* path) {
    REAL(int, remove, const char*);
    if (belowRoot(AT_FDCWD, path))
        point("unlink", AT_FDCWD, path);
    return real_remove(path);
}
int rmdir(const char* path) {
    REAL(int, rmdir, const char*);
    if (belowRoot(AT_FDCWD, path))
        point("rmdir", AT_FDCWD, path);
    return real_rmdir(path);
}
int mkdir(const char* path, mode_t mode) {
    REAL(int, mkdir, const char*, mode_t);
    struct stat st;
    if (belowRoot(AT_FDCWD, path) && stat(path, &st) != 0)
        point("mkdir", AT_FDCWD, path);
    return real_mkdir(path, mode);
}
int mkdirat(int dirfd, const char* path, mode_t mode) {
    REAL(int, mkdirat, int, const char*, mode_t);
    struct stat st;
    if (belowRoot(dirfd, path) && fstatat(dirfd, path, &st, 0) != 0)
        point("mkdir", dirfd, path);
    return real_mkdirat(dirfd, path, mode);
}
int chmod(const char* path, mode_t mode) {
    REAL(int, chmod, const char*, mode_t);
    if (belowRoot(AT_FDCWD, path))
        point("chmod", AT_FDCWD, path);
    return real_chmod(path, mode);
}
int fchmod(int fd, mode_t mode) {
    REAL(int, fchmod, int, mode_t);
    fdPoint("chmod", fd);
    return real_fchmod(fd, mode);
}
int fchmodat(int dirfd, const char* path, mode_t mode, int flags) {
    REAL(int, fchmodat, int, const char*, mode_t, int);
    if (belowRoot(dirfd, path))
        point("chmod", dirfd, path);
    return real_fchmodat(dirfd, path, mode, flags);
}
int futimens(int fd, const struct timespec times[2]) {
    REAL(int, futimens, int, const struct timespec*);
    fdPoint("utime", fd);
    return real_futimens(fd, times);
}
int utimensat(int dirfd, const char* path, const struct timespec times[2], int flags) {
    REAL(int, utimensat, int, const char*, const struct timespec*, int);
    // Linux takes a null path for the descriptor itself, whatever the header says.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnonnull-compare"
    const bool counted = path ? belowRoot(dirfd, path) : trackedFd(dirfd);
#pragma GCC diagnostic pop
    if (counted)
        point("utime", dirfd, path);
    return real_utimensat(dirfd, path, times, flags);
}
int link(const char* from, const char* to) {
    REAL(int, link, const char*, const char*);
    if (belowRoot(AT_FDCWD, to))
        point("link", AT_FDCWD, to);
    return real_link(from, to);
}
int linkat(int fromFd, const char* from, int toFd, const char* to, int flags) {
    REAL(int, linkat, int, const char*, int, const char*, int);
    if (belowRoot(toFd, to))
        point("link", toFd, to);
    return real_linkat(fromFd, from, toFd, to, flags);
}
int symlink(const char* target, const char* path) {
    REAL(int, symlink, const char*, const char*);
    if (belowRoot(AT_FDCWD, path))
        point("link", AT_FDCWD, path);
    return real_symlink(target, path);
}

} // extern "C"
