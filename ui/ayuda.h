// The About box's work: reading a registry value as text and starting the
// system-information program.
#pragma once
#include <stdint.h>

#include <string>

class Monitor;
namespace plat {
class Desktop;
}

bool GetKeyValue(int32_t KeyRoot, const std::string& KeyName, const std::string& SubKeyRef,
                 std::string* KeyVal);
// Boxes go through the monitor, so a tick knows one is open.
void StartSysInfo(plat::Desktop* desktop, Monitor* monitor);
