#include "platform/qt_settings.h"

#include "platform/qt_text.h"

#include <utility>

namespace kx {

QtSettingsStore::QtSettingsStore() : s_(std::make_unique<QSettings>("Mivor", "Mivor")) {}

QtSettingsStore::QtSettingsStore(const QString& ini_path)
    : s_(std::make_unique<QSettings>(ini_path, QSettings::IniFormat)) {}

std::string QtSettingsStore::get(const std::string& section, const std::string& key,
                                 const std::string& def) const {
    QVariant v = s_->value(qs(section) + "/" + qs(key));
    if (!v.isValid()) return def;
    return fs_name(v.toString());
}

void QtSettingsStore::save(const std::string& section, const std::string& key, const std::string& value) {
    s_->setValue(qs(section) + "/" + qs(key), qpath(value));
    s_->sync();
    if (s_->status() != QSettings::NoError && !failed_) {
        failed_ = true;
        failed_file_ = fs_name(s_->fileName());
    }
}

std::string QtSettingsStore::take_write_error() { return std::exchange(failed_file_, std::string()); }

} // namespace kx
