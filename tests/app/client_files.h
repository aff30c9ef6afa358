// What a client folder holds, seen from a test that drives the real tool.
#pragma once

#include <string>

#include "app/server_profiles.h"

// Whether the folder holds the profile's three files byte for byte, with no switch under way.
// Until the names and sizes say so, only the folder's listing is read: opening a file while the
// tool switches would make the switch fail, as a file held open by any program does.
bool HoldsProfile(const std::wstring& folder, const ServerProfile& profile);
