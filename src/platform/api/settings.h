#pragma once
// Per-user settings store: string values by section and key, as the editor keeps them
// (sections "Settaggi", "Inizializzazione", "Ricette"). Values are numbers and file-system
// names (the recent projects, device paths): kept as the file system names them.
#include <map>
#include <string>
#include <utility>

namespace kx {

class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string get(const std::string& section, const std::string& key,
                            const std::string& def = "") const = 0;
    virtual void save(const std::string& section, const std::string& key, const std::string& value) = 0;
    // The store's file name after the first value that could not be written (a read-only
    // configuration), once; "" otherwise. The store goes on from memory.
    virtual std::string take_write_error() { return ""; }
    // When the store's file could not be read whole (a line that is no setting, a file that
    // is no settings file at all), the copy of the file as it was, kept beside it, once; ""
    // otherwise (also for a missing file, the first start). The store holds every value it
    // could read; the others have their defaults.
    virtual std::string take_read_error() { return ""; }
};

// In-memory store: tests and any run that must not touch the user's settings.
class MemorySettings : public SettingsStore {
public:
    std::string get(const std::string& section, const std::string& key,
                    const std::string& def = "") const override {
        auto it = values_.find({section, key});
        return it == values_.end() ? def : it->second;
    }
    void save(const std::string& section, const std::string& key, const std::string& value) override {
        values_[{section, key}] = value;
    }
    bool has(const std::string& section, const std::string& key) const {
        return values_.count({section, key}) != 0;
    }
    // Tests: a store whose writes fail, reported under this name.
    std::string unwritable_as;
    std::string take_write_error() override { return std::exchange(unwritable_as, std::string()); }

private:
    std::map<std::pair<std::string, std::string>, std::string> values_;
};

} // namespace kx
