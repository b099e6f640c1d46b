#pragma once
// The per-user settings store over QSettings (application "Mivor").
#include "platform/api/settings.h"

#include <QSettings>
#include <functional>
#include <memory>

namespace kx {

class QtSettingsStore : public SettingsStore {
public:
    // Default: the user's store of application "Mivor". A file path gives an isolated
    // INI store (tests, or a portable set-up).
    QtSettingsStore();
    explicit QtSettingsStore(const QString& ini_path);
    std::string get(const std::string& section, const std::string& key, const std::string& def = "") const override;
    void save(const std::string& section, const std::string& key, const std::string& value) override;
    // Called once, with the store's file name, the first time a value cannot be written
    // (a read-only configuration); later failures stay quiet.
    void on_write_error(std::function<void(const std::string& file)> report) { report_ = std::move(report); }

private:
    std::unique_ptr<QSettings> s_;
    std::function<void(const std::string&)> report_;
    bool reported_ = false;
};

} // namespace kx
