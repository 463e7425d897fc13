#include "ui/list/service_settings.h"

#include "settings/profile.h"
#include "ts/stream_parser.h"

void ServiceSettings::Read(IProfile& profile, const std::vector<uint16_t>& serviceIds)
{
    for (uint16_t serviceId : serviceIds) {
        if (Find(serviceId)) continue;
        ServiceSetting setting;
        setting.serviceId = serviceId;
        setting.check = profile.ReadInt(kSectionSetupDialog, SetupCheckKey(serviceId).text, kSetupCheckDefault);
        setting.sort = profile.ReadInt(kSectionSetupDialog, SetupSortKey(serviceId).text, kSetupSortDefault);
        m_settings.push_back(setting);
    }
}

const ServiceSetting* ServiceSettings::Find(uint16_t serviceId) const
{
    for (const ServiceSetting& setting : m_settings)
        if (setting.serviceId == serviceId) return &setting;
    return nullptr;
}

std::vector<uint16_t> ServiceSettings::MissingFor(const ProgrammeStore& store) const
{
    std::vector<uint16_t> missing;
    for (int v = 0; v < kMaxServices && store.services[v]; ++v)
        if (!Find(store.services[v]->serviceId)) missing.push_back(store.services[v]->serviceId);
    return missing;
}

ServiceSettings ReadServiceSettings(IProfile& profile, const ProgrammeStore& store)
{
    ServiceSettings settings;
    settings.Read(profile, settings.MissingFor(store));
    return settings;
}

bool BuildWithServiceSettings(PluginLock& lock, StreamParser* const& parser, IProfile& profile,
                              const SettingsBuild& build)
{
    // Settings once read are kept and service ids are 16 bits, so the rounds end.
    ServiceSettings settings;
    for (;;) {
        std::vector<uint16_t> missing;
        {
            PluginLockGuard guard(lock);
            if (!parser) return false;
            missing = settings.MissingFor(parser->store);
            if (missing.empty()) {
                build(*parser, settings);
                return true;
            }
        }
        settings.Read(profile, missing);
    }
}
