#include "platform/qt_settings.h"

#include "platform/api/textfile.h"
#include "platform/qt_text.h"

#include <filesystem>
#include <utility>

#include <sys/stat.h>

namespace kx {

namespace {

// Keeps the bytes of the settings file `file` in a copy beside it, "<file>.bad", written
// beside, forced to the disk and renamed into place. A name that holds other bytes (the
// copy of an earlier damaged file) is passed over for "<file>.bad1", "<file>.bad2" and so
// on; one that holds these bytes already serves as it is. The copy is as private as the
// file. The copy's name, or "" when none could be made.
std::string keep_copy(const std::string& file) {
    std::string original;
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !read_file_bytes(file, original)) return "";
    for (int n = 0; n < 1000; ++n) {
        const std::string name = file + ".bad" + (n ? std::to_string(n) : "");
        std::error_code ec;
        if (!std::filesystem::exists(std::filesystem::symlink_status(name, ec))) {
            std::string error;
            return replace_file(name, original, "", error, static_cast<int>(st.st_mode & 0777)) ? name : "";
        }
        std::string held;
        if (file_exists(name) && read_file_bytes(name, held) && held == original) return name;
    }
    return "";
}

} // namespace

QtSettingsStore::QtSettingsStore() : s_(std::make_unique<QSettings>("Mivor", "Mivor")) { check_read(); }

QtSettingsStore::QtSettingsStore(const QString& ini_path)
    : s_(std::make_unique<QSettings>(ini_path, QSettings::IniFormat)) {
    check_read();
}

void QtSettingsStore::check_read() {
    // The file is parsed on the first look at its keys, which sets the status.
    s_->allKeys();
    if (s_->status() != QSettings::FormatError) return;
    // A line Qt cannot make sense of (a file edited by hand) costs only that line: Qt keeps
    // every other value, and so do we. The first value saved rewrites the file from what was
    // read, so the file as it was is kept in a copy first. Without a copy the file is not
    // written at all: the settings saved in this run stay in memory.
    const std::string file = fs_name(s_->fileName());
    unreadable_copy_ = keep_copy(file);
    if (!unreadable_copy_.empty()) return;
    held_ = true;
    failed_ = true;
    failed_file_ = file;
}

std::string QtSettingsStore::get(const std::string& section, const std::string& key,
                                 const std::string& def) const {
    const QString name = qs(section) + "/" + qs(key);
    auto it = held_values_.find(name);
    QVariant v = it != held_values_.end() ? QVariant(it->second) : s_->value(name);
    if (!v.isValid()) return def;
    std::string value = fs_name(v.toString());
    // No setting holds a NUL (numbers and file-system names): a damaged one, as if missing.
    if (value.find('\0') != std::string::npos) return def;
    return value;
}

void QtSettingsStore::save(const std::string& section, const std::string& key, const std::string& value) {
    if (held_) {
        held_values_[qs(section) + "/" + qs(key)] = qpath(value);
        return;
    }
    s_->setValue(qs(section) + "/" + qs(key), qpath(value));
    s_->sync();
    // A file with a line Qt could not read leaves its FormatError standing (Qt keeps the
    // first error): only a refused write, or a file that cannot be written, says that the
    // settings cannot be saved.
    const QSettings::Status st = s_->status();
    if (!failed_ && (st == QSettings::AccessError || (st == QSettings::FormatError && !s_->isWritable()))) {
        failed_ = true;
        failed_file_ = fs_name(s_->fileName());
    }
}

std::string QtSettingsStore::take_write_error() { return std::exchange(failed_file_, std::string()); }

std::string QtSettingsStore::take_read_error() { return std::exchange(unreadable_copy_, std::string()); }

} // namespace kx
