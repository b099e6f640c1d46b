#include "platform/qt_settings.h"

#include "platform/qt_text.h"

#include <utility>

namespace kx {

QtSettingsStore::QtSettingsStore() : s_(std::make_unique<QSettings>("Mivor", "Mivor")) { check_read(); }

QtSettingsStore::QtSettingsStore(const QString& ini_path)
    : s_(std::make_unique<QSettings>(ini_path, QSettings::IniFormat)) {
    check_read();
}

void QtSettingsStore::check_read() {
    // The file is parsed on the first look at its keys, which sets the status.
    s_->allKeys();
    if (s_->status() != QSettings::FormatError) return;
    // Whatever could be picked out of a damaged file is no setting to trust: start from the
    // defaults. The first value saved writes a sound file in its place.
    s_->clear();
    unreadable_file_ = fs_name(s_->fileName());
}

std::string QtSettingsStore::get(const std::string& section, const std::string& key,
                                 const std::string& def) const {
    QVariant v = s_->value(qs(section) + "/" + qs(key));
    if (!v.isValid()) return def;
    std::string value = fs_name(v.toString());
    // No setting holds a NUL (numbers and file-system names): a damaged one, as if missing.
    if (value.find('\0') != std::string::npos) return def;
    return value;
}

void QtSettingsStore::save(const std::string& section, const std::string& key, const std::string& value) {
    s_->setValue(qs(section) + "/" + qs(key), qpath(value));
    s_->sync();
    // A damaged file read at the start leaves its FormatError standing (Qt keeps the first
    // error): only a refused write, or a file that cannot be written, says that the settings
    // cannot be saved.
    const QSettings::Status st = s_->status();
    if (!failed_ && (st == QSettings::AccessError || (st == QSettings::FormatError && !s_->isWritable()))) {
        failed_ = true;
        failed_file_ = fs_name(s_->fileName());
    }
}

std::string QtSettingsStore::take_write_error() { return std::exchange(failed_file_, std::string()); }

std::string QtSettingsStore::take_read_error() { return std::exchange(unreadable_file_, std::string()); }

} // namespace kx
