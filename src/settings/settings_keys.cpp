#include "settings/settings_keys.h"

#include <cstdio>

namespace {

ServiceKeyName FormatServiceKey(const char* format, int serviceId)
{
    ServiceKeyName name;
    std::snprintf(name.text, sizeof name.text, format, serviceId);
    return name;
}

}  // namespace

ServiceKeyName SetupCheckKey(int serviceId)
{
    return FormatServiceKey(kSetupCheckKeyFormat, serviceId);
}

ServiceKeyName SetupSortKey(int serviceId)
{
    return FormatServiceKey(kSetupSortKeyFormat, serviceId);
}
