#pragma once
// The per-user settings store over QSettings (application "Mivor").
#include "platform/api/settings.h"

#include <QSettings>
#include <map>
#include <memory>

namespace kx {

class QtSettingsStore : public SettingsStore {
public:
    // Default: the user's store of application "Mivor". A file path gives an isolated
    // INI store (tests, or a portable set-up).
    QtSettingsStore();
    explicit QtSettingsStore(const QString& ini_path);
    std::string get(const std::string& section, const std::string& key,
                    const std::string& def = "") const override;
    void save(const std::string& section, const std::string& key, const std::string& value) override;
    std::string take_write_error() override;
    std::string take_read_error() override;

private:
    void check_read();

    std::unique_ptr<QSettings> s_;
    std::string failed_file_; // the store's file after the first failed write, until taken
    bool failed_ = false;
    std::string unreadable_copy_; // the copy of a file that could not be read whole, until taken
    bool held_ = false;           // such a file could not be copied: saves stay in memory
    std::map<QString, QString> held_values_;
};

} // namespace kx
