#include "plugin/event_view.h"

#include <new>

#include "res/window_ids.h"
#include "ts/diagnostics.h"
#include "ts/stream_parser.h"

int g_lastServiceId = 0;
CEventView* g_eventView = nullptr;

namespace {

constexpr uint32_t kSdkVersionMask = 0x00FF0000;
constexpr uint32_t kSdkVersion = 0x00010000;
constexpr char kWindowClass[] = "Moxel_LumaraList_Class";
constexpr char kDialogClass[] = "#32770";
constexpr char kWrongSdkText[] = "Wrong SDK Version";

// The host's answer to a stream change, through its interface.
class HostServiceList final : public ServiceListSource {
public:
    explicit HostServiceList(IDTVHost* host) : m_host(host) {}
    int GetServiceList(HostServiceRecord* records, int* count) override
    {
        // A host that skipped initialisation has no list to give.
        return m_host ? m_host->GetServiceList(records, count) : 0;
    }

private:
    IDTVHost* m_host;
};

// A copy of the standard dialog class under our own name, so the dialog template can
// name its class. Registering it a second time fails, which is fine.
void RegisterWindowClass(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (!GetClassInfoExA(instance, kDialogClass, &windowClass)) return;
    windowClass.cbSize = sizeof(windowClass);
    windowClass.hInstance = instance;
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExA(&windowClass);
}

bool OnThreadOf(HWND hwnd) { return GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId(); }

}  // namespace

CEventView::CEventView(HINSTANCE instance) : m_hInstance(instance), m_pParser(new (std::nothrow) StreamParser()) {}

// The parser and the windows are released with the main window; the rows too, unless the
// window never existed or was never destroyed (then m_list frees them). The change log's
// storage goes with the object.
CEventView::~CEventView() = default;

IDTVPlugin* CEventView::DeletingDestructor(uint32_t flags)
{
    IDTVPlugin* const self = this;
    if (flags & kDeleteMemory)
        delete this;
    else
        this->~CEventView();
    return self;
}

int CEventView::Initialise(IDTVHost* host, uint32_t sdkVersion)
{
    if ((sdkVersion & kSdkVersionMask) != kSdkVersion) {
        MessageBoxA(nullptr, kWrongSdkText, kMainCaption, MB_OK | MB_ICONERROR);
        return 0;
    }
    m_pHost = host;
    return 1;
}

int CEventView::CreatePluginWindow(HWND parent)
{
    RegisterWindowClass(m_hInstance);
    m_hParent = parent;
    m_hWnd = m_list.Create(parent);
    return 1;
}

int CEventView::TakeStreamData(const uint8_t* data, uint32_t size)
{
    if (size == 0) return 1;
    PluginLockGuard guard(m_lock);
    // Whole packets only: a trailing fragment is not read.
    if (m_pParser) TakePackets(*m_pParser, data, size);
    return 1;
}

int CEventView::ChangeStream(int channel, int serviceId)
{
    HostServiceList host(m_pHost);
    const StreamChangeFields fields{m_pParser,          m_currentServiceId, m_currentChannel, m_pendingServiceId,
                                    m_hostServices,     m_hostServiceCount, g_lastServiceId};
    const unsigned work = RunStreamChange(m_lock, fields, host, channel, serviceId);
    if (!work || !m_hWnd) return 1;
    // Window work belongs to the window's thread. From another thread it is posted, never
    // sent: the window's thread may be inside a host call that waits for this one.
    if (OnThreadOf(m_hWnd))
        ApplyStreamChangeWork(work, serviceId);
    else
        PostMessageA(m_hWnd, kMsgStreamChangeWork, work, static_cast<LPARAM>(serviceId));
    return 1;
}

int CEventView::Reserved(uint32_t, uint32_t) { return 1; }

void CEventView::ApplyStreamChangeWork(unsigned work, int serviceId)
{
    if (work & kWorkRefreshPopup) m_list.RefreshPopupForService(serviceId);
    if (work & kWorkRestartTuneTimer) {
        TuneActions actions;
        {
            // A request completed since the change was posted needs no timer.
            PluginLockGuard guard(m_lock);
            actions = m_tuning.OnStreamChange();
        }
        ApplyTuneActions(actions, *this);
    }
    if (work & kWorkRepaintList) m_list.RepaintVisibleItems();
}
