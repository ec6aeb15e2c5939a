#pragma once

#include <QString>

#include <functional>
#include <memory>

class ITransport;

// Maps the link names of ORVOCONNECT_LINK / --link ("usb", "tcp:HOST:PORT", "sim:DIR") to
// transports. Layers above link/ add their own schemes (the emulator adds "sim").
namespace TransportRegistry {

// Returns null with *pError saying what is wrong with the argument (never null pError).
using Factory = std::function<std::unique_ptr<ITransport>(const QString &strArgument, QString *pError)>;

void RegisterScheme(const QString &strScheme, Factory factory);

// The link named by ORVOCONNECT_LINK, or "usb" when it is unset or empty.
QString DefaultLinkName();

// Creates the transport for a link name. Returns null with *pError set for an unknown
// scheme or a malformed argument.
std::unique_ptr<ITransport> Create(const QString &strLinkName, QString *pError);

} // namespace TransportRegistry
