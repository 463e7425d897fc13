// lumara-inspect: what a capture or a data file holds, read exactly as the plug-in reads it.
//   lumara-inspect stream FILE.ts|- [--json] [--save-cache OUT.dat] [--xmltv OUT.xml|-] [--quiet]
//   lumara-inspect cache FILE.dat [--json] [--xmltv OUT.xml|-]
//   lumara-inspect changes FILE.upd [--json]
// stream and cache print the broadcast clock, every service of the store with its names and
// the events of its stored present/following and schedule sections, and can write them as
// XMLTV; changes prints every record of a change log.
#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "changelog/change_log.h"
#include "changelog/change_log_file.h"
#include "capture_input.h"
#include "progress_line.h"
#include "store_report.h"
#include "tool_files.h"
#include "store/event_cache.h"
#include "ts/stream_parser.h"
#include "xmltv_writer.h"

namespace {

struct Options {
    const char* command = "stream";
    const char* path = nullptr;
    bool json = false;
    const char* saveCache = nullptr;
    const char* xmltv = nullptr;
    bool quiet = false;
};

constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitTruncated = 3;

int Usage()
{
    std::fprintf(stderr,
                 "usage: lumara-inspect stream FILE.ts|- [--json] [--save-cache OUT.dat] [--xmltv OUT.xml|-] [--quiet]\n"
                 "       lumara-inspect cache FILE.dat [--json] [--xmltv OUT.xml|-]\n"
                 "       lumara-inspect changes FILE.upd [--json]\n");
    return kExitUsage;
}

// The report goes to standard output unless the XMLTV does.
bool ReportWanted(const Options& options) { return !options.xmltv || std::strcmp(options.xmltv, "-") != 0; }

bool WriteXmltvFor(const StreamParser& parser, const Options& options, const char* path)
{
    if (!options.xmltv) return true;
    const std::vector<XmltvChannel> channels = CollectXmltv(parser.store);
    if (channels.empty()) {
        std::fprintf(stderr, "lumara-inspect: %s holds no programme data; no XMLTV written\n", path);
        return false;
    }
    std::string error;
    if (SaveXmltv(options.xmltv, channels, error)) return true;
    std::fprintf(stderr, "lumara-inspect: %s\n", error.c_str());
    return false;
}

std::string CaptureJson(const CaptureStats& stats)
{
    std::string skips;
    for (const SkippedStretch& s : stats.skips)
        skips += (skips.empty() ? "" : ", ") + std::string("{\"offset\": ") + std::to_string(s.offset) +
                 ", \"bytes\": " + std::to_string(s.bytes) + "}";
    return "  \"capture\": {\"packet_size\": " + std::to_string(stats.stride) + ", \"packets\": " +
           std::to_string(stats.packets) + ", \"bytes\": " + std::to_string(stats.bytesRead) +
           ", \"skipped_bytes\": " + std::to_string(stats.skippedBytes) + ", \"skipped_stretches\": " +
           std::to_string(stats.skipCount) + ", \"skipped\": [" + skips + "], \"truncated_last_packet\": " +
           std::to_string(stats.truncatedTail) + "},\n";
}

void PrintCaptureText(const char* path, const CaptureStats& stats)
{
    std::printf("file: %s (%" PRIu64 " packets of %zu bytes)\n", path, stats.packets, stats.stride);
    if (stats.skipCount == 0) return;
    std::printf("skipped: %" PRIu64 " bytes out of sync, in %" PRIu64 " stretch%s\n", stats.skippedBytes, stats.skipCount,
                stats.skipCount == 1 ? "" : "es");
    for (const SkippedStretch& s : stats.skips) std::printf("  %" PRIu64 " bytes at offset %" PRIu64 "\n", s.bytes, s.offset);
    if (stats.skipCount > stats.skips.size()) std::printf("  ...\n");
}

// Why a capture gives nothing to read, or null.
const char* CaptureProblem(const CaptureStats& stats)
{
    if (stats.readError) return "cannot be read to its end";
    if (stats.bytesRead == 0) return "is empty";
    if (stats.packets == 0) return "is not a transport stream (no sync bytes at a 188-, 192- or 204-byte stride)";
    if (stats.onlyStuffing) return "holds only stuffing packets";
    return nullptr;
}

std::FILE* OpenCapture(const char* path)
{
    std::FILE* file = std::strcmp(path, "-") == 0 ? stdin : OpenFileUtf8(path, "rb");
    if (!file) std::fprintf(stderr, "lumara-inspect: cannot read %s: %s\n", path, std::strerror(errno));
    else std::setvbuf(file, nullptr, _IONBF, 0);  // the reader's blocks are the buffer
    return file;
}

int Stream(const Options& options)
{
#ifdef LUMARA_DEFAULT_STREAM
    const char* path = options.path ? options.path : LUMARA_DEFAULT_STREAM;
#else
    // A shipped tool has no sample of the build tree to fall back on.
    if (!options.path) return Usage();
    const char* path = options.path;
#endif
    std::FILE* file = OpenCapture(path);
    if (!file) return kExitFailure;
    auto parser = std::make_unique<StreamParser>();
    CaptureReader reader(ReadCaptureStream, file);
    {
        ProgressLine progress(stderr, !options.quiet && ShowsProgress(stderr), RegularFileSize(file));
        PacketRun run;
        while (reader.Next(run)) {
            TakeRun(*parser, run);
            progress.Update(reader.Stats().bytesRead);
        }
    }
    const CaptureStats& stats = reader.Stats();
    const bool fromStdin = file == stdin;
    if (!fromStdin) std::fclose(file);
    const char* label = fromStdin ? "standard input" : path;
    if (const char* problem = CaptureProblem(stats)) {
        std::fprintf(stderr, "lumara-inspect: %s %s\n", label, problem);
        return kExitFailure;
    }
    if (options.saveCache && !SaveEventCache(parser->store, options.saveCache)) {
        std::fprintf(stderr, "lumara-inspect: cannot write %s\n", options.saveCache);
        return kExitFailure;
    }
    if (!WriteXmltvFor(*parser, options, label)) return kExitFailure;
    if (ReportWanted(options)) {
        InspectReport report = BuildInspectReport(*parser);
        if (options.json) {
            PrintReportJson(report, CaptureJson(stats));
        } else {
            PrintCaptureText(label, stats);
            PrintReportText(report);
        }
    }
    if (stats.truncatedTail == 0) return 0;
    std::fprintf(stderr, "lumara-inspect: %s ends inside a packet (%" PRIu64 " bytes at offset %" PRIu64
                 " not read)\n", label, stats.truncatedTail, stats.bytesRead - stats.truncatedTail);
    return kExitTruncated;
}

int Cache(const Options& options)
{
    auto parser = std::make_unique<StreamParser>();
    if (!options.path || !LoadEventCache(parser->store, options.path)) {
        std::fprintf(stderr, "lumara-inspect: %s is not an event cache\n", options.path ? options.path : "(none)");
        return kExitFailure;
    }
    if (!WriteXmltvFor(*parser, options, options.path)) return kExitFailure;
    if (!ReportWanted(options)) return 0;
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
        return kExitFailure;
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

int ToolMain(int argc, char** argv)
{
    PrepareToolStreams();
    Options options;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--json") == 0) options.json = true;
        else if (std::strcmp(argv[i], "--save-cache") == 0 && i + 1 < argc) options.saveCache = argv[++i];
        else if (std::strcmp(argv[i], "--xmltv") == 0 && i + 1 < argc) options.xmltv = argv[++i];
        else if (std::strcmp(argv[i], "--quiet") == 0) options.quiet = true;
        else if (argv[i][0] == '-' && argv[i][1] != '\0') return Usage();
        else if (positional++ == 0) options.command = argv[i];
        else if (!options.path) options.path = argv[i];
        else return Usage();
    }
    if (std::strcmp(options.command, "stream") == 0) return Stream(options);
    if (std::strcmp(options.command, "cache") == 0) return Cache(options);
    if (std::strcmp(options.command, "changes") == 0) return Changes(options);
    return Usage();
}

#ifndef _WIN32
int main(int argc, char** argv) { return ToolMain(argc, argv); }
#endif
