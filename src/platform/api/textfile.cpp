#include "platform/api/textfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kx {

bool LineCursor::next(std::string_view& line) {
    const std::size_t n = bytes_.size();
    if (pos_ >= n) return false;
    // The line ends at the first CR or LF: the first LF, unless a CR comes before it.
    const char* start = bytes_.data() + pos_;
    const char* lf = static_cast<const char*>(std::memchr(start, '\n', n - pos_));
    const std::size_t span = lf ? static_cast<std::size_t>(lf - start) : n - pos_;
    const char* cr = static_cast<const char*>(std::memchr(start, '\r', span));
    std::size_t i = pos_ + (cr ? static_cast<std::size_t>(cr - start) : span);
    line = bytes_.substr(pos_, i - pos_);
    if (i < n && bytes_[i] == '\r' && i + 1 < n && bytes_[i + 1] == '\n') ++i;
    pos_ = i + 1;
    ++line_no_;
    return true;
}

std::vector<std::string> split_text_lines(const std::string& bytes) {
    std::vector<std::string> lines;
    LineCursor cursor(bytes);
    for (std::string_view line; cursor.next(line);) lines.emplace_back(line);
    return lines;
}

bool read_file_bytes(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    // In blocks, not character by character; the size is only a first guess (the file may
    // change meanwhile, or not know its size), reading goes on to the end.
    bytes.clear();
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size < (std::uintmax_t{1} << 31)) bytes.reserve(static_cast<std::size_t>(size) + 1);
    char block[1 << 16];
    while (in.read(block, sizeof block) || in.gcount() > 0)
        bytes.append(block, static_cast<std::size_t>(in.gcount()));
    return !in.bad();
}

namespace {

std::string errno_text(const std::string& what, const std::string& path, int err) {
    return what + " " + path + ": " + std::strerror(err);
}

// Creates the file at path, which must not exist yet; the descriptor, or -1 with errno set.
int create_new(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

// Writes all of data to fd: 0, or the errno of the failure.
int write_all(int fd, const char* data, std::size_t size) {
    for (std::size_t done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n < 0 && errno != EINTR) return errno;
        if (n > 0) done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Gives a new file the permission bits `mode` (when keep_mode), forces it to the disk and
// closes it: 0, or the errno of the first failure (fd is closed either way).
int finish_new(int fd, mode_t mode, bool keep_mode, int err = 0) {
    if (!err && keep_mode && ::fchmod(fd, mode) != 0) err = errno;
    if (!err && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && !err) err = errno;
    return err;
}

// Only the superuser may give a new file the old one's owner; a refusal is harmless.
void keep_owner(const std::string& path, uid_t uid, gid_t gid) {
    if (::geteuid() != 0) return;
    const int refused = ::chown(path.c_str(), uid, gid);
    (void)refused;
}

// Writes bytes to a new file (never an existing one) with permission bits `mode` and forces
// them to the disk. 0 on success, else the errno of the failure (the new file is gone again).
int write_new_file(const std::string& path, const std::string& bytes, mode_t mode, bool keep_mode,
                   std::string& error) {
    const int fd = create_new(path);
    if (fd < 0) {
        const int err = errno;
        error = errno_text("Cannot create", path, err);
        return err;
    }
    const int err = finish_new(fd, mode, keep_mode, write_all(fd, bytes.data(), bytes.size()));
    if (!err) return 0;
    error = errno_text("Cannot write", path, err);
    ::unlink(path.c_str());
    return err;
}

// A free temporary name beside `path` ("<path>.tmp", "<path>.tmp1", ...) made by `make`,
// which answers 0, EEXIST for a name in use, or another errno that ends the search.
bool make_beside(const std::string& path, std::string& made,
                 const std::function<int(const std::string&)>& make) {
    for (int n = 0; n < 100; ++n) {
        made = path + ".tmp" + (n ? std::to_string(n) : std::string());
        const int err = make(made);
        if (err == 0) return true;
        if (err != EEXIST) return false;
    }
    return false;
}

// A second name beside `beside` for the content of the existing file `from`: a hard link,
// or a copy with the same permission bits where the file system refuses links.
bool hold_copy(const std::string& from, const std::string& beside, std::string& held, std::string& error) {
    return make_beside(beside, held, [&](const std::string& name) {
        if (::link(from.c_str(), name.c_str()) == 0) return 0;
        const int err = errno;
        if (err == EEXIST) return err;
        if (err != EXDEV && err != EPERM && err != ENOTSUP && err != EOPNOTSUPP && err != EMLINK &&
            err != ENOSYS) {
            error = errno_text("Cannot link", from, err);
            return err;
        }
        std::string bytes;
        struct stat st {};
        if (!read_file_bytes(from, bytes) || ::stat(from.c_str(), &st) != 0) {
            error = errno_text("Cannot read", from, errno ? errno : EIO);
            return EIO;
        }
        return write_new_file(name, bytes, st.st_mode & 07777, true, error);
    });
}

// The file that `path` names once its symbolic links are followed (the path itself when it
// is no link). A relative link counts from the link's own folder.
std::string link_target(const std::string& path) {
    std::string cur = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(cur.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
        std::string to(4096, '\0');
        const ssize_t n = ::readlink(cur.c_str(), to.data(), to.size());
        if (n <= 0) break;
        to.resize(static_cast<std::size_t>(n));
        if (to[0] != '/') {
            const std::size_t slash = cur.find_last_of('/');
            if (slash != std::string::npos) to = cur.substr(0, slash + 1) + to;
        }
        cur = to;
    }
    return cur;
}

// Forces the folder's entries (a rename) to the disk; file systems that cannot are left be.
void sync_folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

bool replace_file(const std::string& path, const std::string& bytes, const std::string& backup,
                  std::string& error) {
    if (path.empty()) {
        error = "No file name";
        return false;
    }
    // A project reached through a symbolic link is written where the link points.
    const std::string target = link_target(path);
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);

    // The new content, complete on disk under a temporary name beside the file, with the
    // old file's permission bits.
    std::string tmp;
    if (!make_beside(target, tmp, [&](const std::string& name) {
            return write_new_file(name, bytes, old.st_mode & 07777, exists, error);
        }))
        return false;
    if (exists) keep_owner(tmp, old.st_uid, old.st_gid);

    // The old file becomes the backup: a second name for it (the previous backup is held
    // too, so that a failure can put it back) takes the backup's name in one step.
    const bool keep_old = exists && !backup.empty() && backup != path && link_target(backup) != target;
    std::string bak_new, bak_prev;
    auto undo = [&] {
        ::unlink(tmp.c_str());
        if (!bak_new.empty()) ::unlink(bak_new.c_str());
        if (!bak_prev.empty()) ::unlink(bak_prev.c_str());
    };
    if (keep_old) {
        if (!hold_copy(target, backup, bak_new, error)) {
            bak_new.clear();
            undo();
            return false;
        }
        struct stat prev {};
        const bool prev_kept =
            ::lstat(backup.c_str(), &prev) == 0 && (S_ISREG(prev.st_mode) || S_ISLNK(prev.st_mode));
        if (prev_kept && !hold_copy(backup, backup, bak_prev, error)) {
            bak_prev.clear();
            undo();
            return false;
        }
        if (std::rename(bak_new.c_str(), backup.c_str()) != 0) {
            error = errno_text("Cannot rename", bak_new, errno);
            undo();
            return false;
        }
        bak_new.clear();
    }
    // The new file replaces the project in one step: there is no moment without it.
    if (std::rename(tmp.c_str(), target.c_str()) != 0) {
        error = errno_text("Cannot rename", tmp, errno);
        ::unlink(tmp.c_str());
        if (keep_old) {
            // The previous backup goes back under its name (or the new one goes away).
            if (!bak_prev.empty()) std::rename(bak_prev.c_str(), backup.c_str());
            else ::unlink(backup.c_str());
        }
        return false;
    }
    if (!bak_prev.empty()) ::unlink(bak_prev.c_str());
    sync_folder_of(target);
    if (keep_old) sync_folder_of(backup);
    return true;
}

TextFileWriter::TextFileWriter(const std::string& path) : path_(path) {
    if (path.empty()) {
        error_ = "No file name";
        return;
    }
    // A file reached through a symbolic link is written where the link points.
    target_ = link_target(path);
    struct stat old {};
    had_file_ = ::stat(target_.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    mode_ = old.st_mode & 07777;
    uid_ = old.st_uid;
    gid_ = old.st_gid;
    int err = 0;
    if (!make_beside(target_, tmp_, [&](const std::string& name) {
            fd_ = create_new(name);
            return err = fd_ < 0 ? errno : 0;
        })) {
        fail("Cannot create", err);
        tmp_.clear();
    }
}

TextFileWriter::~TextFileWriter() { discard(); }

void TextFileWriter::fail(const char* what, int err) {
    if (error_.empty()) error_ = errno_text(what, path_, err);
}

bool TextFileWriter::write_line(const std::string& line) {
    if (fd_ < 0 || !ok()) return false;
    std::string text = line;
    text += "\r\n";
    if (const int err = write_all(fd_, text.data(), text.size())) fail("Cannot write", err);
    return ok();
}

bool TextFileWriter::commit() {
    if (fd_ < 0) fail("Cannot write", EBADF);
    if (!ok()) {
        discard();
        return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (const int err = finish_new(fd, static_cast<mode_t>(mode_), had_file_)) {
        fail("Cannot write", err);
    } else {
        if (had_file_) keep_owner(tmp_, static_cast<uid_t>(uid_), static_cast<gid_t>(gid_));
        // The new file replaces the old one in one step: there is no moment without it.
        if (std::rename(tmp_.c_str(), target_.c_str()) != 0) fail("Cannot rename", errno);
    }
    if (!ok()) {
        discard();
        return false;
    }
    tmp_.clear();
    sync_folder_of(target_);
    return true;
}

void TextFileWriter::discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!tmp_.empty()) ::unlink(tmp_.c_str());
    tmp_.clear();
}

bool file_exists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

bool dir_exists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_directory(path, ec);
}

bool dir_writable(const std::string& path) {
    return dir_exists(path) && ::access(path.c_str(), W_OK | X_OK) == 0;
}

} // namespace kx
