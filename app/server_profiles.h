// The two built-in server profiles: for each of the client's three configuration files, the
// name to write and its complete content, in write order.
#pragma once

#include <array>

#include "runtime/value.h"

struct ProfileEntry {
  TextValue fileName;
  ByteBlock content;
};

struct ServerProfile {
  std::array<ProfileEntry, 3> entries;
};

extern const ServerProfile TestServerProfile;
extern const ServerProfile LiveServerProfile;

// The three file names, shared by both profiles.
extern const char DirSvrInfoFileName[];
extern const char VerFileName[];
extern const char WorldDefFileName[];
