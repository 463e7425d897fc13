#include "soak_run.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>

#include "soak_files.h"
#include "support/sjis_text.h"

namespace {

constexpr ClockSeconds kStepSeconds = 60;
constexpr ClockSeconds kHour = 3600;
constexpr ClockSeconds kCheckMinute = 3 * 60;    // checks at three minutes past each hour
constexpr ClockSeconds kRestartMinute = 10 * 60;
constexpr ClockSeconds kTuneMinute = 20 * 60;
constexpr DWORD kCheckTimeoutMs = 15000;  // a rebuild comes every ten ticks
constexpr DWORD kAnswerTimeoutMs = 20000;
constexpr DWORD kModalHoldMs = 200;
constexpr unsigned kUserOneIn = 20;  // steps
constexpr size_t kLogKept = 100;
constexpr BroadcastTime kFirstSecond{2026, 12, 7, 4, 0, 0};

std::string U8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

SoakMultiplexPlan MultiplexA(const SoakOptions& o, ClockSeconds start)
{
    SoakMultiplexPlan plan{.network = 0x7FE0, .channel = 27, .tsName = U8(u8"ルマーラ"), .provider = U8(u8"ルマーラ放送網")};
    const char8_t* names[] = {u8"ルマーラ総合", u8"みなとテレビ", u8"さくら放送", u8"かわせＴＶ",
                              u8"ほしぞらテレビ", u8"あおば放送", u8"こだまテレビ", u8"つばさ放送"};
    for (int i = 0; i < 8; ++i) plan.services.push_back({static_cast<uint16_t>(0x0400 + 8 * i), U8(names[i])});
    plan.seed = o.seed;
    plan.start = start;
    plan.days = o.days;
    const ClockSeconds midnight = start / kDaySeconds * kDaySeconds;
    plan.offAirService = 5;
    plan.offAirFrom = o.days >= 5 ? midnight + 3 * kDaySeconds : midnight + 10 * kHour;
    plan.offAirUntil = o.days >= 5 ? midnight + 4 * kDaySeconds : midnight + 18 * kHour;
    plan.revisionsPerDay = 6;
    plan.overrunService = 2;
    plan.overrunStart = midnight + (o.days >= 3 ? 2 : 0) * kDaySeconds + 19 * kHour;
    return plan;
}

SoakMultiplexPlan MultiplexB(const SoakOptions& o, ClockSeconds start)
{
    SoakMultiplexPlan plan{.network = 0x7FE8, .channel = 25, .tsName = U8(u8"みなみ"), .provider = U8(u8"みなみ放送")};
    plan.services = {{0x0500, U8(u8"みなみテレビ")}, {0x0508, U8(u8"みなみ第２")}, {0x0510, U8(u8"みなみ教育")}};
    plan.seed = o.seed + 1;
    plan.start = start;
    plan.days = o.days;
    plan.revisionsPerDay = 3;
    return plan;
}

std::string Utf8Row(const ListTexts& row)
{
    return ShiftJisToUtf8(row[0]) + " | " + ShiftJisToUtf8(row[1]) + " | " + ShiftJisToUtf8(row[2]);
}

std::string Stamp(ClockSeconds at)
{
    const BroadcastTime t = FromClock(at);
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.year % 10000, t.month % 100, t.day % 100,
                  t.hour % 100, t.minute % 100);
    return text;
}

}  // namespace

SoakRun::SoakRun(const SoakOptions& options, HostWindows& windows)
    : m_options(options), m_windows(windows), m_viewer(windows), m_user(m_viewer, options.seed * 31u), m_dice(options.seed)
{
    m_start = ToClock(kFirstSecond);
    m_multiplexes.push_back(std::make_unique<SoakMultiplex>(MultiplexA(options, m_start)));
    m_multiplexes.push_back(std::make_unique<SoakMultiplex>(MultiplexB(options, m_start)));
    for (const auto& multiplex : m_multiplexes)
        for (const SoakServicePlan& service : multiplex->Setup().services)
            m_truth.Name(service.serviceId, service.name, multiplex->Setup().tsName);
}

void SoakRun::Fail(const std::string& what)
{
    ++m_failures;
    std::printf("FAIL %s\n", what.c_str());
    std::fflush(stdout);
}

// The next minute of broadcast from every multiplex; the tuned one's packets go to the viewer.
void SoakRun::Play(ClockSeconds until)
{
    Bytes stream;
    const uint64_t before = ThreadCpu();
    const SoakMultiplex::Listener listener = [this](const SoakSection& section) { m_truth.Take(section); };
    for (size_t m = 0; m < m_multiplexes.size(); ++m)
        m_multiplexes[m]->Play(until, m == m_tuned ? &stream : nullptr, m == m_tuned ? listener : nullptr);
    m_generatorCpu += ThreadCpu() - before;
    m_viewer.Feed(stream);
    m_bytesFed += stream.size();
    if (m_truth.Records().size() > m_recordsSettled) AwaitChangeLog();
}

// The change detection orders the records of one pass by service; the truth knows them in the
// order they arrived. Records of a minute's broadcast (one multiplex, its carousel in service
// order) are written before the next minute is fed, so the two orders agree.
void SoakRun::AwaitChangeLog()
{
    const std::vector<ExpectedRecord>& all = m_truth.Records();
    const std::vector<ExpectedRecord> expected(all.end() - static_cast<long>(std::min(all.size(), kLogKept)), all.end());
    const DWORD start = GetTickCount();
    const uint64_t cpu = ThreadCpu();
    while (ReadChangeLogFile(ReadWholeFile(DataFilePath(".upd"))).value_or(std::vector<ExpectedRecord>{}) != expected &&
           GetTickCount() - start < kCheckTimeoutMs)
        PumpFor(50);
    m_pumpCpu += ThreadCpu() - cpu;
    m_recordsSettled = all.size();
}

// The window's messages until the wall clock catches up with the broadcast at the chosen speed.
void SoakRun::Pump(ClockSeconds at)
{
    const uint64_t before = ThreadCpu();
    DWORD wait = 0;
    if (m_options.speed > 0) {
        const double dueMs = static_cast<double>(at - m_start) * 1000.0 / m_options.speed;
        const double elapsedMs = static_cast<double>(GetTickCount() - m_wallStart);
        if (dueMs > elapsedMs) wait = static_cast<DWORD>(dueMs - elapsedMs);
    }
    PumpFor(wait);
    m_pumpCpu += ThreadCpu() - before;
}

// Rows and change log as the truth has them; the list is rebuilt every ten ticks and the
// log saved by the pass that follows a new version, so both get a few seconds.
bool SoakRun::Check(ClockSeconds at, const char* when)
{
    ++m_checks;
    if (!m_truth.Problem().empty()) Fail("the truth cannot follow: " + m_truth.Problem());
    const std::vector<RowTexts> expectedRows = m_truth.Rows(at);
    const std::vector<ExpectedRecord>& all = m_truth.Records();
    const std::vector<ExpectedRecord> expectedLog(all.end() - static_cast<long>(std::min(all.size(), kLogKept)), all.end());
    std::vector<ListTexts> rows;
    std::vector<ExpectedRecord> log;
    const DWORD start = GetTickCount();
    const uint64_t cpu = ThreadCpu();
    for (;;) {
        rows = m_viewer.Rows();
        log = ReadChangeLogFile(ReadWholeFile(DataFilePath(".upd"))).value_or(std::vector<ExpectedRecord>{});
        if ((rows == expectedRows && log == expectedLog) || GetTickCount() - start > kCheckTimeoutMs) break;
        PumpFor(50);
    }
    m_pumpCpu += ThreadCpu() - cpu;
    m_rowsChecked += static_cast<int>(expectedRows.size());
    bool ok = true;
    if (rows != expectedRows) {
        ok = false;
        Fail(Stamp(at) + " " + when + ": rows differ");
        for (size_t i = 0; i < std::max(rows.size(), expectedRows.size()); ++i) {
            const std::string shown = i < rows.size() ? Utf8Row(rows[i]) : "(none)";
            const std::string truth = i < expectedRows.size() ? Utf8Row(expectedRows[i]) : "(none)";
            std::printf("  %s %s\n  %s %s\n", shown == truth ? " " : "!", shown.c_str(), shown == truth ? " " : "!",
                        truth.c_str());
        }
    }
    if (log != expectedLog) {
        ok = false;
        Fail(Stamp(at) + " " + when + ": change log holds " + std::to_string(log.size()) + " records, the truth " +
             std::to_string(expectedLog.size()) + " of " + std::to_string(all.size()));
        for (size_t i = 0; i < std::max(log.size(), expectedLog.size()); ++i) {
            const std::string file = i < log.size() ? Describe(log[i]) : "(none)";
            const std::string truth = i < expectedLog.size() ? Describe(expectedLog[i]) : "(none)";
            if (file != truth || (i < log.size() && i < expectedLog.size() && !(log[i] == expectedLog[i])))
                std::printf("  #%zu file  %s\n      truth %s\n", i, file.c_str(), truth.c_str());
        }
    }
    m_recordsFound = all.size();
    return ok;
}

void SoakRun::Tune(size_t multiplex)
{
    m_tuned = multiplex;
    const SoakMultiplex& target = *m_multiplexes[multiplex];
    m_viewer.Tune(target.Setup().channel, target.ServiceIds());
    ++m_tunes;
}

void SoakRun::StartViewer(ClockSeconds at)
{
    if (!m_viewer.Start()) return Fail("the plug-in did not start");
    const Bytes tot = MakeTotPacket(FromClock(at), m_totCc++);
    m_viewer.Feed(tot);
    Tune(m_tuned);
    // The cost run plays no user, and the two watchers' polling would be billed to the plug-in.
    if (m_options.realtimeMinutes > 0) return;
    m_closer = std::make_unique<ModalCloser>(m_viewer.MainWindow(), kModalHoldMs);
    m_watchdog = std::make_unique<Watchdog>(m_viewer.MainWindow(), kAnswerTimeoutMs, [] { return std::string("soak"); });
}

void SoakRun::StopViewer()
{
    m_watchdog.reset();
    m_closer.reset();
    PumpFor(0);
    m_viewer.Stop();
}

// The viewer closed and started again with the plug-in's three files; then once more at
// once, so that the event cache the reloaded plug-in writes can be held against the one it
// loaded, and the change log likewise.
void SoakRun::Restart(ClockSeconds at)
{
    m_beforeStop.push_back(SampleResources());
    StopViewer();
    const Resources unloaded = SampleResources();
    const uint64_t loaded = m_beforeStop.back().committedPrivate;
    m_dllBytes.push_back(loaded - std::min(loaded, unloaded.committedPrivate));
    const Bytes cache = ReadWholeFile(DataFilePath(".dat"));
    const Bytes changes = ReadWholeFile(DataFilePath(".upd"));
    StartViewer(at);
    Check(at, "after a restart");
    StopViewer();
    const std::string difference = CompareEventCaches(cache, ReadWholeFile(DataFilePath(".dat")));
    if (!difference.empty()) Fail(Stamp(at) + ": the event cache did not reload to the same store: " + difference);
    if (ReadWholeFile(DataFilePath(".upd")) != changes) Fail(Stamp(at) + ": the change log did not reload the same");
    StartViewer(at);
    PumpFor(200);
    m_afterRestart.push_back(SampleResources());
    ++m_restarts;
    if (Grew(m_afterRestart.front(), m_afterRestart.back(), 2 * (m_restarts - 1)))
        Fail(Stamp(at) + ": resources grew since the first restart: " + Describe(m_afterRestart.front()) + " -> " +
             Describe(m_afterRestart.back()));
}

int SoakRun::Soak()
{
    for (const char* extension : {".ini", ".dat", ".upd"}) DeleteFileA(DataFilePath(extension).c_str());
    UnknownDialogWatch boxes;
    m_wallStart = GetTickCount();
    StartViewer(m_start);
    const ClockSeconds end = m_start + m_options.days * kDaySeconds;
    for (ClockSeconds t = m_start; t < end && m_viewer.Running();) {
        Play(t + kStepSeconds);
        t += kStepSeconds;
        Pump(t);
        if (m_dice() % kUserOneIn == 0) m_user.Act();
        const ClockSeconds intoHour = (t - m_start) % kHour;
        if (intoHour == kCheckMinute) {
            Check(t, "hourly");
            if ((t - m_start) % (6 * kHour) == kCheckMinute)
                std::printf("%s checked; %d failures so far\n", Stamp(t).c_str(), m_failures), std::fflush(stdout);
        }
        if ((t - m_start) % (m_options.tuneHours * kHour) == kTuneMinute) Tune(1 - m_tuned);
        if ((t - m_start) % (m_options.restartHours * kHour) == kRestartMinute && t - m_start > kHour) Restart(t);
    }
    Check(end, "at the end");
    m_beforeStop.push_back(SampleResources());
    StopViewer();
    for (const SeenMessageBox& box : boxes.seen) {
        std::string texts = box.caption;
        for (const std::string& text : box.texts) texts += " " + text;
        Fail("a message box: " + ShiftJisToUtf8(texts));
    }
    if (StackMismatches()) Fail("calls left the stack pointer moved");
    Report();
    return m_failures;
}

void SoakRun::Report() const
{
    const double hours = m_options.days * 24.0;
    const double feed = m_viewer.FeedCpu() / 1e7, pump = m_pumpCpu / 1e7, generator = m_generatorCpu / 1e7;
    int revisions = 0;
    for (const auto& multiplex : m_multiplexes) revisions += static_cast<int>(multiplex->Revisions().size());
    std::printf("soak: %d simulated days in %.0f s wall, %.1f MB fed, %d stream changes, %d restarts\n", m_options.days,
                (GetTickCount() - m_wallStart) / 1000.0, m_bytesFed / 1e6, m_tunes, m_restarts);
    std::printf("checks: %d (rows checked %d), schedule revisions made %d, change records expected and found %zu, "
                "day changes %d, damaged packets %d, failures %d\n",
                m_checks, m_rowsChecked, revisions, m_recordsFound, m_truth.DayChanges(),
                m_multiplexes[0]->DamagedPackets() + m_multiplexes[1]->DamagedPackets(), m_failures);
    const UserCounts& user = m_user.Counts();
    std::printf("user: %d clicks, %d double clicks, %d menus, %d popups closed, %d update dialogs, %d settings\n",
                user.clicks, user.doubleClicks, user.menus, user.popups, user.updates, user.settings);
    std::printf("cpu: plug-in stream calls %.2f s, window messages and ticks %.2f s, together %.3f s per broadcast "
                "hour; generator %.1f s\n",
                feed, pump, (feed + pump) / hours, generator);
    for (size_t i = 0; i < m_afterRestart.size(); ++i)
        std::printf("after restart %zu: %s; the DLL with its store held %.1f MB before the stop\n", i + 1,
                    Describe(m_afterRestart[i]).c_str(), i < m_dllBytes.size() ? m_dllBytes[i] / 1e6 : 0.0);
    if (!m_beforeStop.empty()) std::printf("at the end: %s\n", Describe(m_beforeStop.back()).c_str());
    std::fflush(stdout);
}

// The broadcast at its own pace with a multiplex's full rate of packets (audio and video
// stand-ins on a PID the plug-in does not read), for a few minutes, with or without the
// plug-in: what the viewer pays for it.
int SoakRun::Realtime()
{
    constexpr size_t kPaddingPackets = 10640;  // about 2 MB/s, a multiple of 16 continuity counts
    Bytes padding;
    for (size_t i = 0; i < kPaddingPackets; ++i) {
        Bytes packet = MakePacket(0x0111, false, static_cast<int>(i % 16), Bytes(184, static_cast<uint8_t>(i)));
        AppendBytes(padding, packet);
    }
    if (!m_options.withoutPlugin) StartViewer(m_start);
    const uint64_t cpuStart = ProcessCpu();
    m_wallStart = GetTickCount();
    const ClockSeconds end = m_start + m_options.realtimeMinutes * 60;
    for (ClockSeconds t = m_start; t < end; ++t) {
        Bytes stream;
        m_multiplexes[0]->Play(t + 1, &stream, nullptr);
        AppendBytes(stream, padding);
        m_viewer.Feed(stream);
        const DWORD due = static_cast<DWORD>((t + 1 - m_start) * 1000);
        const DWORD elapsed = GetTickCount() - m_wallStart;
        PumpFor(due > elapsed ? due - elapsed : 0);
    }
    const double cpu = (ProcessCpu() - cpuStart) / 1e7;
    const double hours = m_options.realtimeMinutes / 60.0;
    std::printf("realtime %s the plug-in: %d broadcast minutes, process CPU %.2f s, %.2f s per broadcast hour; "
                "stream calls %.2f s\n",
                m_options.withoutPlugin ? "without" : "with", m_options.realtimeMinutes, cpu, cpu / hours,
                m_viewer.FeedCpu() / 1e7);
    if (!m_options.withoutPlugin) StopViewer();
    return 0;
}
