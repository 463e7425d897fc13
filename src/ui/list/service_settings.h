// The per-service list settings ("Check%d" and "Sort%d" in "SetupDialog") read ahead of a
// rebuild, so that the rows and the settings dialog's list are built from memory while the
// plug-in lock is held and the settings file is read with it released: the host's capture
// thread waits on that lock in its stream-data call.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "settings/settings_keys.h"
#include "ui/list/plugin_lock.h"

struct ProgrammeStore;
struct StreamParser;
class IProfile;

struct ServiceSetting {
    uint16_t serviceId = 0;
    int check = kSetupCheckDefault;
    int sort = kSetupSortDefault;
};

class ServiceSettings {
public:
    // Reads both keys of each listed service whose settings are not held yet.
    void Read(IProfile& profile, const std::vector<uint16_t>& serviceIds);
    // Null when the service's settings were not read.
    const ServiceSetting* Find(uint16_t serviceId) const;
    // The store's services, in store order, whose settings are not held.
    std::vector<uint16_t> MissingFor(const ProgrammeStore& store) const;

private:
    std::vector<ServiceSetting> m_settings;
};

// The settings of every service of a store that no other thread touches.
ServiceSettings ReadServiceSettings(IProfile& profile, const ProgrammeStore& store);

// Runs build with the lock held and the settings of every stored service in hand; those are
// read with the lock released. Services the capture thread adds during a read are read in a
// further round. False, without building, when the parser is gone.
using SettingsBuild = std::function<void(const StreamParser& parser, const ServiceSettings& settings)>;
bool BuildWithServiceSettings(PluginLock& lock, StreamParser* const& parser, IProfile& profile,
                              const SettingsBuild& build);
