#pragma once

#include <QString>

struct LinkOpenFailure;

// Why the recorder link did not open, in the active language; empty when there is nothing
// to add to "Recorder is not connected".
QString OpenFailureText(const LinkOpenFailure &failure);
