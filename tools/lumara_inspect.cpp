// lumara-inspect: what a capture or a data file holds, read exactly as the plug-in reads it.
//   lumara-inspect stream FILE.ts [--json] [--save-cache OUT.dat]
//   lumara-inspect cache FILE.dat [--json]
//   lumara-inspect changes FILE.upd [--json]
// stream and cache print the broadcast clock, every service of the store with its names and
// the events of its stored present/following and schedule sections; changes prints every
// record of a change log.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "changelog/change_log.h"
#include "changelog/change_log_file.h"
#include "capture_input.h"
#include "store_report.h"
#include "store/event_cache.h"
#include "ts/stream_parser.h"

namespace {

struct Options {
    const char* command = "stream";
    const char* path = nullptr;
    bool json = false;
    const char* saveCache = nullptr;
};

int Usage()
{
    std::fprintf(stderr,
                 "usage: lumara-inspect stream FILE.ts [--json] [--save-cache OUT.dat]\n"
                 "       lumara-inspect cache FILE.dat [--json]\n"
                 "       lumara-inspect changes FILE.upd [--json]\n");
    return 2;
}

int Stream(const Options& options)
{
    const char* path = options.path ? options.path : LUMARA_DEFAULT_STREAM;
    std::vector<uint8_t> data;
    if (!ReadCaptureFile(path, data)) {
        std::fprintf(stderr, "lumara-inspect: cannot read %s\n", path);
        return 1;
    }
    auto parser = std::make_unique<StreamParser>();
    const size_t stride = PacketStride(data);
    FeedCapture(*parser, data, stride);
    if (options.saveCache && !SaveEventCache(parser->store, options.saveCache)) {
        std::fprintf(stderr, "lumara-inspect: cannot write %s\n", options.saveCache);
        return 1;
    }
    InspectReport report = BuildInspectReport(*parser);
    if (options.json) {
        PrintReportJson(report);
    } else {
        std::printf("file: %s (%zu packets of %zu bytes)\n", path, data.size() / stride, stride);
        PrintReportText(report);
    }
    return 0;
}

int Cache(const Options& options)
{
    auto parser = std::make_unique<StreamParser>();
    if (!options.path || !LoadEventCache(parser->store, options.path)) {
        std::fprintf(stderr, "lumara-inspect: %s is not an event cache\n", options.path ? options.path : "(none)");
        return 1;
    }
    InspectReport report = BuildInspectReport(*parser);
    const std::string base = parser->store.scheduleBase ? FormatStamp(parser->store.scheduleBase) : std::string();
    if (options.json) {
        std::string fields = "  \"version\": " + std::to_string(parser->store.cacheVersion) + ",\n  \"schedule_base\": " +
                             (base.empty() ? std::string("null") : JsonString(base)) + ",\n";
        PrintReportJson(report, fields);
    } else {
        std::printf("file: %s (event cache, version %02d)\nschedule base: %s\n", options.path, parser->store.cacheVersion,
                    base.empty() ? "none" : base.c_str());
        PrintReportText(report);
    }
    return 0;
}

int Changes(const Options& options)
{
    ChangeLog log;
    if (!options.path || !LoadChangeLog(log, options.path)) {
        std::fprintf(stderr, "lumara-inspect: %s is not a change log\n", options.path ? options.path : "(none)");
        return 1;
    }
    if (options.json) std::printf("{\n  \"records\": [");
    else std::printf("file: %s (change log, %zu records)\n", options.path, log.Count());
    for (size_t i = 0; i < log.Count(); ++i) {
        const ChangeRecord& r = log[i];
        if (options.json)
            std::printf("%s\n    {\"service_id\": %u, \"before\": %s, \"after\": %s}", i ? "," : "", r.serviceId,
                        SnapshotJson(r.before).c_str(), SnapshotJson(r.after).c_str());
        else
            std::printf("\nservice %u (0x%04X)\n  before: %s\n  after:  %s\n", r.serviceId, r.serviceId,
                        SnapshotText(r.before).c_str(), SnapshotText(r.after).c_str());
    }
    if (options.json) std::printf("%s]\n}\n", log.Count() ? "\n  " : "");
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    Options options;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) options.json = true;
        else if (std::strcmp(argv[i], "--save-cache") == 0 && i + 1 < argc) options.saveCache = argv[++i];
        else if (argv[i][0] == '-') return Usage();
        else if (positional++ == 0) options.command = argv[i];
        else if (!options.path) options.path = argv[i];
        else return Usage();
    }
    if (std::strcmp(options.command, "stream") == 0) return Stream(options);
    if (std::strcmp(options.command, "cache") == 0) return Cache(options);
    if (std::strcmp(options.command, "changes") == 0) return Changes(options);
    return Usage();
}
