#pragma once

#include "link/ITransport.h"
#include "link/UsbBulkInterface.h"
#include "link/UsbDeviceChoice.h"
#include "link/UsbIds.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;
struct libusb_transfer;

// The recorder on USB through libusb: the first attached device whose vendor:product pair is
// configured, that is the chosen one when a device is chosen (serial number or port path), and
// that opens, its interface with one bulk IN and one bulk OUT endpoint claimed.
// Each Write is one bulk OUT transfer and each Read one bulk IN transfer, so a frame crosses
// the bus in as few transfers as the frame layer asks for. Transfers are asynchronous, waited
// for on the calling thread, so that Wake can cancel the one in flight.
class UsbTransport final : public ITransport
{
    Q_DISABLE_COPY_MOVE(UsbTransport)

public:
    // Where the vendor:product pairs come from, asked at each Open and at each hotplug notice,
    // so that ids configured while the program runs count from the next plug-in. Null with
    // *pFailure set (when given) when the configured text does not parse.
    using IdsProvider = std::function<std::optional<UsbIds>(LinkOpenFailure *pFailure)>;

    // Ids from ORVOCONNECT_USB_IDS or the "UsbIds" setting, read afresh each time. In every
    // case the device choice is the "Device" setting, read afresh, until SetDeviceChoice.
    UsbTransport();
    // Fixed ids (the "usb:1234:5678" link name, tests).
    explicit UsbTransport(UsbIds ids);
    explicit UsbTransport(IdsProvider idsProvider);
    ~UsbTransport() override;

    // "" for the configured ids, or a list of pairs; null with *pError set when it does not parse.
    static std::unique_ptr<UsbTransport> FromArgument(const QString &strArgument, QString *pError);

    bool Open(LinkOpenFailure *pFailure) override;
    void Close() override;
    bool IsOpen() const override { return m_pHandle != nullptr; }
    bool Write(const quint8 *pData, qsizetype nLen, int nTimeoutMs) override;
    qsizetype Read(quint8 *pData, qsizetype nMax, int nTimeoutMs) override;
    // Cancels the transfer in flight (libusb_cancel_transfer), or fails the next one.
    void Wake() override;
    bool IsGone() const override { return m_bGone; }
    // The open device's serial number string.
    QString Serial() const override { return m_strSerial; }
    bool SetDeviceChoice(DeviceChoiceProvider provider) override;

    // Hotplug callbacks for every device, each passed on only when its pair is configured at
    // that moment or it is the open recorder (devices already attached are not announced),
    // served by an event thread of this transport. With a device chosen, only the chosen
    // device's own notices pass, and none while it is open: the link follows that recorder alone.
    // False where libusb has no hotplug support.
    bool RegisterNotifications(NoticeCallback callback) override;

    // The attached devices of the configured ids in enumeration order, each with its port path
    // and serial number (read by opening it briefly; empty when it cannot be). Null with
    // *pFailure set when no ids are configured, they do not parse, or USB is unavailable.
    std::optional<QList<UsbDeviceIdentity>> AttachedDevices(LinkOpenFailure *pFailure);

private:
    bool EnsureContext(LinkOpenFailure *pFailure);
    // Whether the device's vendor:product pair is one of the ids.
    static bool IsConfiguredDevice(libusb_device *pDevice, const UsbIds &ids);
    enum class OpenOutcome { Opened, NotChosen, Failed };
    // Opens and claims one candidate unless its serial number is not the chosen one; on
    // failure says why in *pFailure. *pSerial gets the serial number when it was read.
    OpenOutcome TryOpen(libusb_device *pDevice, const UsbDeviceChoice &choice, LinkOpenFailure *pFailure,
                        QString *pSerial);
    UsbDeviceChoice CurrentChoice() const;
    void NoteResult(int nResult, const char *pWhat);
    // One bulk transfer on the endpoint, waited for here until it completes, times out or is
    // woken. A libusb error code (LIBUSB_ERROR_INTERRUPTED when woken); *pDone gets the bytes
    // moved, also when it timed out after some of them.
    int BulkTransfer(unsigned char nEndpoint, quint8 *pData, int nLen, int nTimeoutMs, int *pDone);
    friend struct UsbTransferThunk;
    void StopNotifications();
    void OnHotplug(libusb_device *pDevice, bool bArrived);
    // Arrivals waiting for their serial number, which cannot be read inside a hotplug callback.
    void CheckHeldArrivals();
    friend struct UsbHotplugThunk;

    const IdsProvider m_idsProvider;
    QString m_strSerial;
    libusb_context *m_pContext = nullptr;
    libusb_device_handle *m_pHandle = nullptr;
    UsbBulkInterface m_interface;
    std::atomic<bool> m_bGone{false};

    // Bytes of an IN transfer beyond what the caller asked for: a transfer is rounded up to
    // whole packets so a device never overflows it; the surplus starts the next Read.
    std::vector<quint8> m_carry;
    qsizetype m_nCarryPos = 0;
    qsizetype m_nCarryLen = 0;

    // The transfer in flight and a wake not yet taken, shared with the thread that wakes.
    std::mutex m_wakeMutex;
    libusb_transfer *m_pInFlight = nullptr;
    bool m_bWake = false;

    // Shared with the event thread.
    mutable std::mutex m_mutex;
    libusb_device *m_pOpenDevice = nullptr;
    DeviceChoiceProvider m_choiceProvider;
    std::vector<libusb_device *> m_heldArrivals; // referenced until checked
    NoticeCallback m_callback;
    std::vector<int> m_hotplugHandles;
    std::atomic<bool> m_bStopEvents{false};
    std::thread m_eventThread;
};
