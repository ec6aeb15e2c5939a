// The hotplug notices of the USB transport: libusb's callbacks, served by an event thread of
// the transport, filtered by the ids and the device choice configured when each one comes.
#include "link/UsbTransport.h"

#include "link/LinkLog.h"
#include "link/UsbDeviceInfo.h"

#include <libusb.h>

namespace {

// How long the event thread waits in libusb before it looks at its stop flag again; the
// destructor also interrupts the wait, so this only bounds a missed wake-up.
constexpr int EVENT_POLL_US = 500000;

} // namespace

struct UsbHotplugThunk
{
    static int LIBUSB_CALL Call(libusb_context *, libusb_device *pDevice, libusb_hotplug_event event,
                                void *pUser)
    {
        static_cast<UsbTransport *>(pUser)->OnHotplug(pDevice, event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED);
        return 0; // stay registered
    }
};

bool UsbTransport::RegisterNotifications(NoticeCallback callback)
{
    if (!EnsureContext(nullptr) || !libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG))
        return false;
    {
        std::lock_guard lock(m_mutex);
        m_callback = std::move(callback);
        if (m_eventThread.joinable())
            return true;
    }
    // Every device: the ids configured when a notice comes decide whether it counts, so a
    // list that was empty or different at start-up does not leave the program deaf.
    libusb_hotplug_callback_handle handle = 0;
    // No LIBUSB_HOTPLUG_ENUMERATE: a recorder already attached is found by the first Open.
    const int nResult = libusb_hotplug_register_callback(
        m_pContext, LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED | LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT,
        LIBUSB_HOTPLUG_NO_FLAGS, LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY, LIBUSB_HOTPLUG_MATCH_ANY,
        &UsbHotplugThunk::Call, this, &handle);
    if (nResult != LIBUSB_SUCCESS) {
        qCDebug(lcLink) << "usb hotplug registration failed:" << libusb_error_name(nResult);
        return false;
    }
    std::lock_guard lock(m_mutex);
    m_hotplugHandles = {handle};
    m_bStopEvents = false;
    m_eventThread = std::thread([this] {
        while (!m_bStopEvents) {
            timeval tv{0, EVENT_POLL_US};
            libusb_handle_events_timeout_completed(m_pContext, &tv, nullptr);
            CheckHeldArrivals();
        }
    });
    return true;
}

void UsbTransport::StopNotifications()
{
    if (!m_eventThread.joinable())
        return;
    m_bStopEvents = true;
    for (int nHandle : m_hotplugHandles)
        libusb_hotplug_deregister_callback(m_pContext, nHandle);
    m_hotplugHandles.clear();
    libusb_interrupt_event_handler(m_pContext);
    m_eventThread.join();
    for (libusb_device *pDevice : m_heldArrivals)
        libusb_unref_device(pDevice);
    m_heldArrivals.clear();
}

void UsbTransport::OnHotplug(libusb_device *pDevice, bool bArrived)
{
    NoticeCallback callback;
    bool bOpenDeviceLeft = false;
    bool bOpen = false;
    {
        std::lock_guard lock(m_mutex);
        if (!bArrived && pDevice == m_pOpenDevice) {
            m_bGone = true;
            bOpenDeviceLeft = true;
        }
        bOpen = m_pOpenDevice != nullptr;
        callback = m_callback;
    }
    if (!bOpenDeviceLeft) {
        // libusb keeps the descriptor of a device that has left, so both notices can be told.
        const std::optional<UsbIds> ids = m_idsProvider(nullptr);
        if (!ids || !IsConfiguredDevice(pDevice, *ids))
            return;
        const UsbDeviceChoice choice = CurrentChoice();
        if (!choice.IsEmpty()) {
            // While the chosen recorder is open, nothing else that comes or goes concerns it.
            if (bOpen)
                return;
            if (choice.IsPortPath()) {
                if (!choice.Matches(QString(), UsbDeviceInfo::PortPath(pDevice)))
                    return;
            } else if (!bArrived) {
                return; // the serial number of a device that has left cannot be read
            } else {
                // Reading the serial number takes a transfer, which libusb cannot run inside
                // its own callback: the event thread does it when the callback has returned.
                std::lock_guard lock(m_mutex);
                m_heldArrivals.push_back(libusb_ref_device(pDevice));
                return;
            }
        }
    }
    qCDebug(lcLink) << "usb hotplug" << (bArrived ? "arrived" : "left");
    if (callback)
        callback(bArrived ? NOTICE_ARRIVAL : NOTICE_REMOVE_COMPLETE);
}

void UsbTransport::CheckHeldArrivals()
{
    std::vector<libusb_device *> arrivals;
    NoticeCallback callback;
    bool bOpen = false;
    {
        std::lock_guard lock(m_mutex);
        arrivals.swap(m_heldArrivals);
        callback = m_callback;
        bOpen = m_pOpenDevice != nullptr;
    }
    if (arrivals.empty())
        return;
    const UsbDeviceChoice choice = CurrentChoice();
    bool bChosenArrived = false;
    for (libusb_device *pDevice : arrivals) {
        // A device that cannot be opened to read its number may be the chosen one: opening
        // the link will tell.
        const std::optional<QString> serial = UsbDeviceInfo::ReadSerial(pDevice);
        if (!serial || choice.Matches(*serial, UsbDeviceInfo::PortPath(pDevice)))
            bChosenArrived = true;
        libusb_unref_device(pDevice);
    }
    if (bChosenArrived && !bOpen && callback) {
        qCDebug(lcLink) << "usb hotplug: the chosen device arrived";
        callback(NOTICE_ARRIVAL);
    }
}
