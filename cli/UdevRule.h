#pragma once

#include "link/UsbIds.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The udev rule that lets a user open the recorder's USB device, and what installing it touches.
namespace UdevRule {

// Sorts before 73-seat-late.rules, which turns the uaccess tag into an access list entry.
inline constexpr const char *kRulesFile = "/etc/udev/rules.d/70-orvoconnect.rules";

// A group name that can stand in a rule as it is: letters, digits, "_", "-" and "."; not starting
// with "-"; at most 32 characters.
bool IsValidGroupName(const QString &strGroup);

// The rule file for these pairs, one line each: TAG+="uaccess" (the user at the local seat), or
// with a group GROUP="name", MODE="0660" (its members, whoever is at the seat).
QString Text(const UsbIds &ids, const QString &strGroup);

// The udevadm runs that load the rules again and apply them to the attached devices of these
// ids, so a recorder plugged in already gets access.
QList<QStringList> ApplyArguments(const UsbIds &ids);

// The machine as installing sees it; tests replace it.
struct System
{
    std::function<bool()> isRoot;
    std::function<bool(const QString &strGroup)> groupExists;
    QString strRulesFile;
    // Runs udevadm; empty on success, else why it failed.
    std::function<QString(const QStringList &args)> udevadm;
};

System RealSystem();

} // namespace UdevRule
