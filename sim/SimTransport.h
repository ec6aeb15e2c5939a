#pragma once

#include "ITransport.h"

#include <memory>

class RecorderEmulator;

// The recorder emulator inside this process, behind the same interface as the real link.
// Registers the "sim:DIR" link name.
void RegisterSimTransport();
