// The viewer side of the soak: the host loads LumaraList.dll as a viewer does, creates its
// window, feeds it the stream from its own thread, changes streams, restarts it (window
// destroyed, object deleted, library unloaded and loaded again), and reads the list as a
// user sees it: the list control's texts, through its messages.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <vector>

#include "fake_host.h"
#include "list_texts.h"
#include "plugin_abi.h"
#include "support/section_builder.h"

using ListTexts = ItemTexts;

class SoakViewer {
public:
    explicit SoakViewer(HostWindows& windows) : m_windows(windows) {}
    ~SoakViewer() { Stop(); }

    bool Start();  // load, initialise, create the window
    void Stop();   // destroy the window, delete the object, unload
    bool Running() const { return m_plugin.Raw() != nullptr; }

    void Feed(const Bytes& stream);
    void Tune(int channel, const std::vector<uint16_t>& services);
    HWND MainWindow() const { return m_main; }
    HWND List() const;
    std::vector<ListTexts> Rows() const;

    FakeHost& Host() { return m_host; }
    // CPU time of this thread spent in the plug-in's stream calls, in 100 ns units.
    uint64_t FeedCpu() const { return m_feedCpu; }

private:
    HWND FindMainWindow() const;

    HostWindows& m_windows;
    FakeHost m_host;
    PluginLibrary m_library;
    PluginObject m_plugin;
    HWND m_main = nullptr;
    uint64_t m_feedCpu = 0;
};

uint64_t ThreadCpu();   // this thread, user + kernel, 100 ns units
uint64_t ProcessCpu();  // the process
std::string DataFilePath(const char* extension);  // beside the host's executable
Bytes ReadWholeFile(const std::string& path);
