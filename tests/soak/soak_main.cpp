// The soak host: a week (or a day) of an evolving broadcast through the real plug-in, with
// the viewer's restarts, stream changes and user, checked against the broadcast's truth.
//   lumara_soak [--days N] [--speed S] [--restart-hours H] [--tune-hours H] [--seed N]
//   lumara_soak --realtime-minutes M [--without-plugin]
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "soak_run.h"
#include "support/japan_time.h"

int main(int argc, char** argv)
{
    SoakOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "0";
        if (arg == "--days") options.days = std::atoi(value), ++i;
        else if (arg == "--speed") options.speed = std::atof(value), ++i;
        else if (arg == "--restart-hours") options.restartHours = std::atoi(value), ++i;
        else if (arg == "--tune-hours") options.tuneHours = std::atoi(value), ++i;
        else if (arg == "--seed") options.seed = static_cast<uint32_t>(std::atoi(value)), ++i;
        else if (arg == "--realtime-minutes") options.realtimeMinutes = std::atoi(value), ++i;
        else if (arg == "--without-plugin") options.withoutPlugin = true;
        else {
            std::fprintf(stderr, "unknown argument %s\n", arg.c_str());
            return 2;
        }
    }
    if (options.days < 1 || options.restartHours < 1 || options.tuneHours < 1) return 2;
    PinJapanTime();
    HostWindows windows;
    SoakRun run(options, windows);
    const int failures = options.realtimeMinutes > 0 ? run.Realtime() : run.Soak();
    std::printf("%s\n", failures ? "SOAK FAILED" : "soak passed");
    return failures ? 1 : 0;
}
