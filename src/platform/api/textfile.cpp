#include "platform/api/textfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include <fcntl.h>
#include <sys/file.h>
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

CheckedRead read_file_checked(const std::string& path, std::size_t max_bytes,
                              const std::function<bool(std::string_view)>& first_line_ok,
                              std::string& bytes) {
    bytes.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return CheckedRead::Unreadable;
    bool end = false;
    // Appends what the file holds up to `upto` bytes in all.
    auto fill = [&](std::size_t upto) {
        char block[1 << 16];
        while (!end && bytes.size() < upto) {
            const ssize_t n = ::read(fd, block, std::min(sizeof block, upto - bytes.size()));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return false;
            if (n == 0) end = true;
            else bytes.append(block, static_cast<std::size_t>(n));
        }
        return true;
    };
    CheckedRead result = CheckedRead::Read;
    struct stat st {};
    std::string_view first;
    if (!fill(std::size_t{1} << 16)) {
        result = CheckedRead::Unreadable;
    } else if (LineCursor(bytes).next(first) && !first_line_ok(first)) {
        result = CheckedRead::FirstLine;
    } else if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
               static_cast<std::uintmax_t>(st.st_size) > max_bytes) {
        result = CheckedRead::TooLarge;
    } else {
        if (S_ISREG(st.st_mode)) bytes.reserve(static_cast<std::size_t>(st.st_size) + 1);
        // The size was only what the file said: a file that grows, or a device, stops here.
        if (!fill(max_bytes + 1)) result = CheckedRead::Unreadable;
        else if (bytes.size() > max_bytes) result = CheckedRead::TooLarge;
    }
    ::close(fd);
    return result;
}

namespace {

std::string errno_text(const std::string& what, const std::string& path, int err) {
    return what + " " + path + ": " + std::strerror(err);
}

// Writes all the bytes; 0, or the errno of the failure.
int write_all(int fd, std::string_view bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

// Whether two looks at files saw one and the same file.
bool same_file(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether `name` still names the file open as fd.
bool names_fd(const std::string& name, int fd) {
    struct stat a {
    }, b{};
    return ::fstat(fd, &a) == 0 && ::lstat(name.c_str(), &b) == 0 && same_file(a, b);
}

// Opens a file for reading without following a link; a file of the user's own that lacks
// read permission (the copy of such a file) gets it for the moment and its bits back.
int open_to_look(const std::string& name) {
    const int flags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    int fd = ::open(name.c_str(), flags);
    if (fd >= 0 || errno != EACCES) return fd;
    struct stat st {};
    if (::lstat(name.c_str(), &st) != 0) return -1;
    int err = S_ISREG(st.st_mode) ? EBUSY : EEXIST;
    if (err == EBUSY && st.st_uid == ::geteuid() &&
        ::chmod(name.c_str(), (st.st_mode & 07777) | S_IRUSR) == 0) {
        fd = ::open(name.c_str(), flags);
        if (fd < 0 && errno != EACCES) err = errno;
        ::chmod(name.c_str(), st.st_mode & 07777);
    }
    errno = err;
    return fd;
}

// Removes a temporary file that a save killed half-way left behind: a plain file (no link,
// no folder) that no running save holds locked. Otherwise false with errno EEXIST (something
// else has the name) or EBUSY (a save of the same file is under way, or may be: another
// user's file that cannot be opened to ask for its lock is never taken for a leftover).
bool remove_leftover(const std::string& name) {
    const int fd = open_to_look(name);
    if (fd < 0) {
        const int err = errno;
        if (err == ENOENT) return true; // gone meanwhile
        errno = err == EBUSY ? EBUSY : EEXIST;
        return false;
    }
    struct stat st {};
    int err = 0;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) err = EEXIST;
    else if (::flock(fd, LOCK_EX | LOCK_NB) != 0) err = errno == EWOULDBLOCK ? EBUSY : errno;
    else if (names_fd(name, fd) && ::unlink(name.c_str()) != 0 && errno != ENOENT) err = errno;
    ::close(fd);
    errno = err;
    return err == 0;
}

// The text of an error in making the temporary file `name` for the file shown as `shown`;
// `blocked`: the error came from a file already under that name, which the text then names.
std::string making_error(const std::string& what, const std::string& shown, const std::string& name, int err,
                         bool blocked) {
    if (err == EBUSY)
        return "Cannot write " + shown + ": another save of this file is under way (" + name + " is in use)";
    if (blocked) return errno_text(what, shown, err) + " (" + name + " is in the way)";
    return errno_text(what, shown, err);
}

// Renames `from` over `to`. Where both already name one file (a save killed between its two
// renames leaves the project and its backup so) the rename does nothing: `from` goes then.
bool rename_over(const std::string& from, const std::string& to) {
    if (std::rename(from.c_str(), to.c_str()) != 0) return false;
    struct stat a {
    }, b{};
    if (::lstat(from.c_str(), &a) == 0 && ::lstat(to.c_str(), &b) == 0 && same_file(a, b))
        ::unlink(from.c_str());
    return true;
}

// Removes a temporary file of this save; a failure is added to `error`, so that a name left
// behind is never a surprise.
void remove_ours(const std::string& name, std::string& error) {
    if (::unlink(name.c_str()) == 0 || errno == ENOENT) return;
    error += " (" + name + " could not be removed: " + std::strerror(errno) + ")";
}

// Makes the temporary file `name` with `make` (which answers 0 or an errno); a leftover in
// the way is removed first. 0, or the errno that stopped it; `blocked` when a file under the
// name stopped it.
int make_exclusive(const std::string& name, const std::function<int()>& make, bool& blocked) {
    blocked = false;
    const int err = make();
    if (err != EEXIST) return err;
    blocked = true;
    if (!remove_leftover(name)) return errno;
    const int again = make();
    blocked = again == EEXIST;
    return again;
}

// Gives the file open as fd the group `gid` where it has another: in a folder that a team
// shares a file stays its group's, so that the others may still write it. A user may give a
// file of its own any group it belongs to; when it does not belong, the file keeps the group
// it has. The superuser's saves give owner and group otherwise.
void give_group(int fd, gid_t gid) {
    struct stat now {};
    if (::geteuid() == 0 || ::fstat(fd, &now) != 0 || now.st_gid == gid) return;
    const int refused = ::fchown(fd, static_cast<uid_t>(-1), gid);
    (void)refused;
}

// A second name `name` for the content of the existing file `from`: a hard link, or a copy
// with the same group and permission bits where the file system refuses links. Errors name
// `shown`.
bool hold_copy(const std::string& from, const std::string& name, const std::string& shown,
               std::string& error) {
    bool blocked = false;
    int err = make_exclusive(
        name, [&] { return ::link(from.c_str(), name.c_str()) == 0 ? 0 : errno; }, blocked);
    if (err == 0) return true;
    if (err != EXDEV && err != EPERM && err != ENOTSUP && err != EOPNOTSUPP && err != EMLINK &&
        err != ENOSYS) {
        error = making_error("Cannot write", shown, name, err, blocked);
        return false;
    }
    std::string bytes;
    struct stat st {};
    if (!read_file_bytes(from, bytes) || ::stat(from.c_str(), &st) != 0) {
        error = errno_text("Cannot read", from, errno ? errno : EIO);
        return false;
    }
    int fd = -1;
    err = make_exclusive(
        name,
        [&] {
            fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
            return fd < 0 ? errno : 0;
        },
        blocked);
    if (!err) {
        err = write_all(fd, bytes);
        if (!err) give_group(fd, st.st_gid);
        if (!err && ::fchmod(fd, st.st_mode & 07777) != 0) err = errno;
        if (!err && ::fsync(fd) != 0) err = errno;
        if (::close(fd) != 0 && !err) err = errno;
    }
    if (err) {
        error = making_error("Cannot write", shown, name, err, blocked);
        if (fd >= 0) remove_ours(name, error);
    }
    return !err;
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

// The folder that holds `path`.
std::string folder_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// Forces the folder's entries (a rename) to the disk; file systems that cannot are left be.
void sync_folder_of(const std::string& path) {
    const int fd = ::open(folder_of(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Why a rename over the existing file `name`, which `owner` owns, would be refused: in a
// folder with the sticky bit only the file's owner, the folder's or the superuser may
// replace or remove it. "" when it would not.
std::string sticky_refusal(const std::string& name, uid_t owner, const std::string& shown) {
    const uid_t me = ::geteuid();
    struct stat folder {};
    if (me == 0 || owner == me || ::stat(folder_of(name).c_str(), &folder) != 0 ||
        !(folder.st_mode & S_ISVTX) || folder.st_uid == me)
        return "";
    return errno_text("Cannot replace", shown, EPERM) +
           " (the folder is sticky and neither the file nor the folder is yours)";
}

// Why an existing file at `name` may not be written, or "": read-only by its owner's choice,
// or another user's in a shared folder. Renaming over it would need only its folder, but
// the file is refused as opening it for writing would be.
std::string write_refusal(const std::string& name, const std::string& shown) {
    const int denied = ::faccessat(AT_FDCWD, name.c_str(), W_OK, AT_EACCESS) != 0 ? errno : 0;
    return denied == EACCES || denied == EPERM || denied == EROFS ? errno_text("Cannot write", shown, denied)
                                                                  : "";
}

// Why the existing file `name`, looked at as `st`, may not be replaced, or "": a regular
// file the user may not write, or a rename over it that a sticky folder would refuse.
std::string replace_refusal(const std::string& name, const struct stat& st, const std::string& shown) {
    std::string why = S_ISREG(st.st_mode) ? write_refusal(name, shown) : "";
    return why.empty() ? sticky_refusal(name, st.st_uid, shown) : why;
}

const char* const kNotRegular = "not a regular file";

} // namespace

std::string fitted_name(const std::string& file, const std::string& ending) {
    const std::size_t start = file.find_last_of('/') + 1; // 0 without a folder
    const std::string_view name = std::string_view(file).substr(start);
    long longest = ::pathconf(folder_of(file).c_str(), _PC_NAME_MAX);
    if (longest <= 0) longest = 255;
    if (name.size() + ending.size() <= static_cast<std::size_t>(longest)) return file + ending;
    std::uint64_t hash = 14695981039346656037ull; // FNV-1a
    for (const unsigned char ch : name) hash = (hash ^ ch) * 1099511628211ull;
    char mark[18];
    std::snprintf(mark, sizeof mark, "~%016llx", static_cast<unsigned long long>(hash));
    const long room = longest - static_cast<long>(ending.size()) - 17;
    std::size_t keep = room > 0 ? static_cast<std::size_t>(room) : 0;
    while (keep > 0 && (static_cast<unsigned char>(name[keep]) & 0xC0) == 0x80) --keep; // whole characters
    return file.substr(0, start) + std::string(name.substr(0, keep)) + mark + ending;
}

ReplacingWriter::ReplacingWriter(const std::string& path, const std::string& backup, int new_mode)
    : path_(path), backup_(backup) {
    if (path.empty()) {
        error_ = "No file name";
        return;
    }
    // A file reached through a symbolic link is written where the link points.
    target_ = link_target(path);
    // Only a file that is not there is new: any other failure to look at it (a share that
    // gives an I/O error) refuses the save, which would lose its backup and its mode.
    struct stat old {};
    if (::stat(target_.c_str(), &old) != 0) {
        if (errno != ENOENT) {
            error_ = errno_text("Cannot write", path, errno);
            return;
        }
    } else if (!S_ISREG(old.st_mode)) {
        // A device, a named pipe, a socket or a folder is never replaced by a file.
        error_ = "Cannot write " + path + ": " + kNotRegular;
        return;
    } else {
        exists_ = true;
    }
    set_mode_ = exists_ || new_mode >= 0;
    old_mode_ = exists_ ? old.st_mode & 07777 : static_cast<unsigned>(new_mode) & 07777;
    old_uid_ = old.st_uid;
    old_gid_ = old.st_gid;
    if (exists_ && !(error_ = replace_refusal(target_, old, path)).empty()) return;
    // The backup is held to the rules of the file, before any name is made.
    keep_old_ = exists_ && !backup_.empty() && backup_ != path_ && link_target(backup_) != target_;
    if (keep_old_) {
        struct stat bak {};
        if (::lstat(backup_.c_str(), &bak) != 0) {
            if (errno != ENOENT) error_ = errno_text("Cannot write", backup_, errno);
        } else if (!S_ISREG(bak.st_mode) && !S_ISLNK(bak.st_mode)) {
            error_ = "Cannot write " + backup_ + ": " + kNotRegular;
        } else {
            error_ = replace_refusal(backup_, bak, backup_);
        }
        if (!error_.empty()) return;
    }
    tmp_ = fitted_name(target_, kTempSuffix);
    int fd = -1;
    bool blocked = false;
    // Private while it is written when it replaces a file: commit() gives it that file's bits.
    int err = make_exclusive(
        tmp_,
        [&] {
            fd = ::open(tmp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, set_mode_ ? 0600 : 0666);
            return fd < 0 ? errno : 0;
        },
        blocked);
    // The lock tells a save of the same file elsewhere that this temporary file is in use.
    // A rival that took it for a leftover in the instant before the lock has removed it.
    if (!err && ((::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) || !names_fd(tmp_, fd))) {
        ::close(fd);
        err = EBUSY;
    }
    if (err) error_ = making_error("Cannot create", path, tmp_, err, blocked);
    else fd_ = fd;
}

ReplacingWriter::~ReplacingWriter() { abandon(); }

bool ReplacingWriter::write(std::string_view bytes) {
    if (!ok()) return false;
    if (const int err = write_all(fd_, bytes)) {
        error_ = errno_text("Cannot write", path_, err);
        return false;
    }
    return true;
}

bool ReplacingWriter::write_line(std::string_view line) {
    std::string whole;
    whole.reserve(line.size() + 2);
    whole.append(line).append("\r\n");
    return write(whole); // one write: a full disk shows at the line that did not fit
}

void ReplacingWriter::abandon() {
    if (fd_ < 0) return;
    if (names_fd(tmp_, fd_)) remove_ours(tmp_, error_);
    ::close(fd_);
    fd_ = -1;
}

bool ReplacingWriter::commit() {
    if (!ok()) {
        abandon();
        return false;
    }
    int err = 0;
    if (exists_) give_group(fd_, old_gid_); // before the mode: it may clear the set-group-id bit
    if (set_mode_ && ::fchmod(fd_, old_mode_) != 0) err = errno;
    if (!err && ::fsync(fd_) != 0) err = errno;
    if (err) {
        error_ = errno_text("Cannot write", path_, err);
        abandon();
        return false;
    }
    if (exists_ && ::geteuid() == 0) {
        // Only the superuser may give the new file the old one's owner; a refusal is harmless.
        const int refused = ::fchown(fd_, old_uid_, old_gid_);
        (void)refused;
    }

    // The old file becomes the backup: a second name for it (the previous backup is held
    // too, so that a failure can put it back) takes the backup's name in one step. Both
    // have one fixed temporary name beside the backup.
    std::string bak_new, bak_prev;
    bool prev_held = false;
    if (keep_old_) {
        bak_new = fitted_name(backup_, kTempSuffix);
        bak_prev = fitted_name(backup_, std::string(kTempSuffix) + "1");
        if (!hold_copy(target_, bak_new, backup_, error_)) {
            abandon();
            return false;
        }
        struct stat prev {};
        const bool prev_kept =
            ::lstat(backup_.c_str(), &prev) == 0 && (S_ISREG(prev.st_mode) || S_ISLNK(prev.st_mode));
        if (prev_kept && !hold_copy(backup_, bak_prev, backup_, error_)) {
            remove_ours(bak_new, error_);
            abandon();
            return false;
        }
        prev_held = prev_kept;
        if (!rename_over(bak_new, backup_)) {
            error_ = errno_text("Cannot replace", backup_, errno);
            remove_ours(bak_new, error_);
            if (prev_held) remove_ours(bak_prev, error_);
            abandon();
            return false;
        }
    }
    // The new file replaces the old one in one step: there is no moment without it.
    err = !names_fd(tmp_, fd_) ? EBUSY : std::rename(tmp_.c_str(), target_.c_str()) != 0 ? errno : 0;
    if (err) {
        error_ = errno_text("Cannot replace", path_, err);
        abandon();
        if (keep_old_) {
            // The previous backup goes back under its name (or the new one goes away).
            if (!prev_held) remove_ours(backup_, error_);
            else if (!rename_over(bak_prev, backup_))
                error_ += " (the previous backup is kept as " + bak_prev + ")";
        }
        return false;
    }
    ::close(fd_);
    fd_ = -1;
    if (prev_held) remove_ours(bak_prev, error_);
    sync_folder_of(target_);
    if (keep_old_) sync_folder_of(backup_);
    return true;
}

bool replace_file(const std::string& path, const std::string& bytes, const std::string& backup,
                  std::string& error, int new_mode) {
    ReplacingWriter out(path, backup, new_mode);
    if (out.write(bytes) && out.commit()) return true;
    error = out.error();
    return false;
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
    // By the effective ids, as making a file there is judged.
    return dir_exists(path) && ::faccessat(AT_FDCWD, path.c_str(), W_OK | X_OK, AT_EACCESS) == 0;
}

} // namespace kx
