// One soak run: the multiplexes and their truth, the viewer with its user, and the checks at
// every simulated hour, at each restart and at the end.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host_watchers.h"
#include "soak_broadcast.h"
#include "soak_resources.h"
#include "soak_truth.h"
#include "soak_user.h"
#include "soak_viewer.h"

struct SoakOptions {
    int days = 1;
    int restartHours = 6;
    int tuneHours = 4;
    double speed = 0;  // broadcast seconds per wall second; 0: as fast as the host goes
    uint32_t seed = 15;
    int realtimeMinutes = 0;  // the 1x cost run instead of the soak
    bool withoutPlugin = false;
};


class SoakRun {
public:
    SoakRun(const SoakOptions& options, HostWindows& windows);
    int Soak();      // the number of failed checks
    int Realtime();  // the 1x cost run

private:
    void Play(ClockSeconds until);
    void Pump(ClockSeconds at);
    void AwaitChangeLog();
    bool Check(ClockSeconds at, const char* when);
    void Tune(size_t multiplex);
    void Restart(ClockSeconds at);
    void StartViewer(ClockSeconds at);
    void StopViewer();
    void Fail(const std::string& what);
    void Report() const;

    SoakOptions m_options;
    HostWindows& m_windows;
    std::vector<std::unique_ptr<SoakMultiplex>> m_multiplexes;
    SoakTruth m_truth;
    SoakViewer m_viewer;
    SoakUser m_user;
    std::unique_ptr<ModalCloser> m_closer;
    std::unique_ptr<Watchdog> m_watchdog;
    std::mt19937 m_dice;
    size_t m_tuned = 0;
    ClockSeconds m_start = 0;
    uint32_t m_wallStart = 0;
    int m_totCc = 0;

    int m_failures = 0, m_checks = 0, m_rowsChecked = 0, m_restarts = 0, m_tunes = 0;
    size_t m_recordsFound = 0;
    size_t m_recordsSettled = 0;
    uint64_t m_bytesFed = 0, m_pumpCpu = 0, m_generatorCpu = 0;
    std::vector<Resources> m_afterRestart, m_beforeStop;
    std::vector<uint64_t> m_dllBytes;
};
