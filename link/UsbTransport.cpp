#include "link/UsbTransport.h"

#include "link/LinkLog.h"
#include "link/StaleInput.h"
#include "link/UsbDeviceInfo.h"
#include "link/UsbDiagnostics.h"

#include <libusb.h>

namespace {

UsbDeviceIdentity IdentityOf(libusb_device *pDevice)
{
    UsbDeviceIdentity identity;
    identity.strPortPath = UsbDeviceInfo::PortPath(pDevice);
    identity.nAddress = libusb_get_device_address(pDevice);
    identity.strSerial = UsbDeviceInfo::ReadSerial(pDevice).value_or(QString());
    return identity;
}

} // namespace

UsbTransport::UsbTransport()
    : m_idsProvider(&UsbIds::ReadConfigured)
    , m_choiceProvider(&UsbDeviceChoice::Configured)
{}

UsbTransport::UsbTransport(UsbIds ids)
    : m_idsProvider([ids = std::move(ids)](LinkOpenFailure *) { return std::optional<UsbIds>(ids); })
    , m_choiceProvider(&UsbDeviceChoice::Configured)
{}

UsbTransport::UsbTransport(IdsProvider idsProvider)
    : m_idsProvider(std::move(idsProvider))
    , m_choiceProvider(&UsbDeviceChoice::Configured)
{}

UsbTransport::~UsbTransport()
{
    StopNotifications();
    Close();
    if (m_pContext)
        libusb_exit(m_pContext);
}

bool UsbTransport::SetDeviceChoice(DeviceChoiceProvider provider)
{
    std::lock_guard lock(m_mutex);
    m_choiceProvider = std::move(provider);
    return true;
}

UsbDeviceChoice UsbTransport::CurrentChoice() const
{
    DeviceChoiceProvider provider;
    {
        std::lock_guard lock(m_mutex);
        provider = m_choiceProvider;
    }
    return UsbDeviceChoice(provider ? provider() : QString());
}

std::unique_ptr<UsbTransport> UsbTransport::FromArgument(const QString &strArgument, QString *pError)
{
    if (strArgument.trimmed().isEmpty())
        return std::make_unique<UsbTransport>();
    QString strError;
    auto ids = UsbIds::Parse(strArgument, &strError);
    if (!ids || ids->IsEmpty()) {
        if (pError)
            *pError =
                QStringLiteral("invalid link \"usb:%1\" (expected usb or usb:VVVV:PPPP[,VVVV:PPPP...]): %2")
                    .arg(strArgument, strError);
        return nullptr;
    }
    return std::make_unique<UsbTransport>(std::move(*ids));
}

bool UsbTransport::IsConfiguredDevice(libusb_device *pDevice, const UsbIds &ids)
{
    libusb_device_descriptor desc{};
    return libusb_get_device_descriptor(pDevice, &desc) == LIBUSB_SUCCESS &&
           ids.Contains(desc.idVendor, desc.idProduct);
}

bool UsbTransport::EnsureContext(LinkOpenFailure *pFailure)
{
    if (m_pContext)
        return true;
    const int nResult = libusb_init(&m_pContext);
    if (nResult != LIBUSB_SUCCESS) {
        m_pContext = nullptr;
        if (pFailure)
            *pFailure = UsbDiagnostics::UsbUnavailable(nResult);
        return false;
    }
    return true;
}

bool UsbTransport::Open(LinkOpenFailure *pFailure)
{
    Close();
    LinkOpenFailure failure;
    const std::optional<UsbIds> ids = m_idsProvider(&failure);
    if (!ids || !EnsureContext(&failure)) {
        if (pFailure)
            *pFailure = failure;
        return false;
    }
    if (ids->IsEmpty()) {
        if (pFailure)
            *pFailure = UsbDiagnostics::NoConfiguredIds();
        return false;
    }
    const UsbDeviceChoice choice = CurrentChoice();

    libusb_device **ppList = nullptr;
    const ssize_t nCount = libusb_get_device_list(m_pContext, &ppList);
    if (nCount < 0) {
        if (pFailure)
            *pFailure = UsbDiagnostics::UsbUnavailable(int(nCount));
        return false;
    }
    // Enumeration order decides; a candidate that does not open gives way to the next one.
    LinkOpenFailure firstFailure;
    QList<libusb_device *> others; // not the chosen one: listed when the chosen one is absent
    for (ssize_t i = 0; i < nCount && !m_pHandle; ++i) {
        if (!IsConfiguredDevice(ppList[i], *ids))
            continue;
        if (choice.IsPortPath() && !choice.Matches(QString(), UsbDeviceInfo::PortPath(ppList[i]))) {
            others.append(ppList[i]);
            continue;
        }
        LinkOpenFailure candidateFailure;
        QString strSerial;
        const OpenOutcome outcome = TryOpen(ppList[i], choice, &candidateFailure, &strSerial);
        if (outcome == OpenOutcome::NotChosen) {
            others.append(ppList[i]);
        } else if (outcome == OpenOutcome::Failed) {
            qCDebug(lcLink) << "usb candidate skipped:" << candidateFailure.EnglishText();
            if (firstFailure.IsEmpty())
                firstFailure = candidateFailure;
        }
    }
    // A device that could not be opened may be the chosen one: its reason comes first.
    if (!m_pHandle && !choice.IsEmpty() && firstFailure.IsEmpty()) {
        firstFailure.kind = LinkOpenFailure::Kind::ChosenDeviceAbsent;
        firstFailure.strDevice = choice.Text();
        for (libusb_device *pOther : std::as_const(others))
            firstFailure.attached.append(IdentityOf(pOther));
    }
    libusb_free_device_list(ppList, 1);

    // With no matching device at all there is nothing to add to "not connected".
    if (!m_pHandle && pFailure)
        *pFailure = firstFailure;
    // The recorder may still be sending what an earlier program (or this one, before it gave
    // up) asked for: it must not pass for the answer to our first request.
    if (m_pHandle)
        StaleInput::Discard(*this);
    return m_pHandle != nullptr;
}

UsbTransport::OpenOutcome UsbTransport::TryOpen(libusb_device *pDevice, const UsbDeviceChoice &choice,
                                                LinkOpenFailure *pFailure, QString *pSerial)
{
    libusb_device_descriptor desc{};
    libusb_get_device_descriptor(pDevice, &desc);
    const QString strDevice = UsbDiagnostics::DeviceName(
        desc.idVendor, desc.idProduct, libusb_get_bus_number(pDevice), libusb_get_device_address(pDevice));
    const std::optional<UsbBulkInterface> iface = UsbBulkInterface::Find(pDevice, false);
    // Chosen by serial number, a device must be opened to tell whether it is the one at all.
    const bool bBySerial = !choice.IsEmpty() && !choice.IsPortPath();
    if (!iface && !bBySerial) {
        *pFailure = UsbDiagnostics::NoBulkInterface(strDevice);
        return OpenOutcome::Failed;
    }
    libusb_device_handle *pHandle = nullptr;
    int nResult = libusb_open(pDevice, &pHandle);
    if (nResult != LIBUSB_SUCCESS) {
        *pFailure = UsbDiagnostics::OpenFailure(nResult, strDevice, iface ? iface->nInterface : 0);
        return OpenOutcome::Failed;
    }
    // Opening does not claim: a device held by another program still tells its number.
    *pSerial = UsbDeviceInfo::ReadSerial(pHandle, desc.iSerialNumber);
    if (bBySerial && !choice.Matches(*pSerial, QString())) {
        libusb_close(pHandle);
        return OpenOutcome::NotChosen;
    }
    if (!iface) {
        *pFailure = UsbDiagnostics::NoBulkInterface(strDevice);
        libusb_close(pHandle);
        return OpenOutcome::Failed;
    }
    // A kernel driver bound to the interface (a generic one may grab a vendor-specific device)
    // is detached for as long as we hold it.
    if (libusb_set_auto_detach_kernel_driver(pHandle, 1) != LIBUSB_SUCCESS &&
        libusb_kernel_driver_active(pHandle, iface->nInterface) == 1)
        libusb_detach_kernel_driver(pHandle, iface->nInterface);
    nResult = libusb_claim_interface(pHandle, iface->nInterface);
    if (nResult == LIBUSB_SUCCESS && iface->nAltSetting != 0)
        nResult = libusb_set_interface_alt_setting(pHandle, iface->nInterface, iface->nAltSetting);
    if (nResult != LIBUSB_SUCCESS) {
        *pFailure = UsbDiagnostics::OpenFailure(nResult, strDevice, iface->nInterface);
        libusb_close(pHandle);
        return OpenOutcome::Failed;
    }

    m_pHandle = pHandle;
    m_interface = *iface;
    m_strSerial = *pSerial;
    m_bGone = false;
    {
        std::lock_guard lock(m_mutex);
        m_pOpenDevice = libusb_ref_device(pDevice);
    }
    qCDebug(lcLink) << "usb opened" << strDevice << "serial" << m_strSerial << "interface"
                    << iface->nInterface << "in" << Qt::hex << iface->nEndpointIn << "out"
                    << iface->nEndpointOut;
    return OpenOutcome::Opened;
}

std::optional<QList<UsbDeviceIdentity>> UsbTransport::AttachedDevices(LinkOpenFailure *pFailure)
{
    LinkOpenFailure failure;
    const std::optional<UsbIds> ids = m_idsProvider(&failure);
    if (ids && ids->IsEmpty())
        failure = UsbDiagnostics::NoConfiguredIds();
    libusb_device **ppList = nullptr;
    ssize_t nCount = -1;
    if (ids && !ids->IsEmpty() && EnsureContext(&failure)) {
        nCount = libusb_get_device_list(m_pContext, &ppList);
        if (nCount < 0)
            failure = UsbDiagnostics::UsbUnavailable(int(nCount));
    }
    if (nCount < 0) {
        if (pFailure)
            *pFailure = failure;
        return std::nullopt;
    }
    QList<UsbDeviceIdentity> devices;
    for (ssize_t i = 0; i < nCount; ++i)
        if (IsConfiguredDevice(ppList[i], *ids))
            devices.append(IdentityOf(ppList[i]));
    libusb_free_device_list(ppList, 1);
    return devices;
}

void UsbTransport::Close()
{
    if (m_pHandle) {
        // Fails harmlessly on a device that is already gone.
        libusb_release_interface(m_pHandle, m_interface.nInterface);
        libusb_close(m_pHandle);
        m_pHandle = nullptr;
    }
    {
        std::lock_guard lock(m_mutex);
        if (m_pOpenDevice)
            libusb_unref_device(m_pOpenDevice);
        m_pOpenDevice = nullptr;
    }
    m_interface = UsbBulkInterface();
    m_strSerial.clear();
    m_nCarryPos = 0;
    m_nCarryLen = 0;
}

void UsbTransport::NoteResult(int nResult, const char *pWhat)
{
    if (nResult == LIBUSB_SUCCESS)
        return;
    if (nResult == LIBUSB_ERROR_NO_DEVICE)
        m_bGone = true;
    qCDebug(lcLink) << "usb" << pWhat << "failed:" << libusb_error_name(nResult);
}
