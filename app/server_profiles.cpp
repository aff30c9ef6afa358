// Contents of the client's configuration files for the test server and the live server, byte for
// byte: CR LF line breaks, GBK text, and a final line break only where the client's own files
// have one.
#include "app/server_profiles.h"

#include "app/server_settings.h"
#include "runtime/constant_segment.h"

RUNTIME_CONSTANT const char DirSvrInfoFileName[] = "DirSvrInfo1.ini";
RUNTIME_CONSTANT const char VerFileName[] = "VER.ini";
RUNTIME_CONSTANT const char WorldDefFileName[] = "WorldDef.ini";

namespace {

RUNTIME_CONSTANT constexpr auto testDirSvrInfo = MakeConstantByteBlock(
    "[ServerInfo1]\r\n"
    "IP=" TEST_DIRECTORY_ADDRESS "\r\n"
    "Ports=80,8000,443\r\n"
    "ServerID=2\r\n");

RUNTIME_CONSTANT constexpr auto testVer = MakeConstantByteBlock(
    "[info]\r\n"
    "version=5302");

RUNTIME_CONSTANT constexpr auto testWorldDef = MakeConstantByteBlock(
    "[World1]\r\n"
    "desc=电信体验区\r\n"
    "svrlist=DirSvrInfo1.ini");

RUNTIME_CONSTANT constexpr auto liveDirSvrInfo = MakeConstantByteBlock(
    "[ServerInfo1]\r\n"
    "Name=" LIVE_DIRECTORY_HOST "\r\n"
    "IP=" LIVE_DIRECTORY_ADDRESS_1 "\r\n"
    "Ports=80,8000,443\r\n"
    "ServerID=9\r\n"
    "[ServerInfo2]\r\n"
    "IP=" LIVE_DIRECTORY_ADDRESS_2 "\r\n"
    "Ports=80,8000,443\r\n"
    "ServerID=10\r\n"
    "[ServerInfo3]\r\n"
    "IP=" LIVE_DIRECTORY_ADDRESS_3 "\r\n"
    "Ports=80,8000,443\r\n"
    "ServerID=15\r\n"
    "[ServerInfo4]\r\n"
    "IP=" LIVE_DIRECTORY_ADDRESS_4 "\r\n"
    "Ports=80,8000,443\r\n"
    "ServerID=16\r\n");

RUNTIME_CONSTANT constexpr auto liveVer = MakeConstantByteBlock(
    "[info]\r\n"
    "version=192\r\n");

RUNTIME_CONSTANT constexpr auto liveWorldDef = MakeConstantByteBlock(
    "[World1]\r\n"
    "desc=电信区\r\n"
    "svrlist=DirSvrInfo1.ini\r\n"
    "[World2]\r\n"
    "desc=网通区\r\n"
    "svrlist=DirSvrInfo2.ini\r\n"
    "[World3]\r\n"
    "desc=电信2区\r\n"
    "svrlist=DirSvrInfo3.ini\r\n");

}  // namespace

const ServerProfile TestServerProfile = {{{
    {DirSvrInfoFileName, testDirSvrInfo.get()},
    {VerFileName, testVer.get()},
    {WorldDefFileName, testWorldDef.get()},
}}};

const ServerProfile LiveServerProfile = {{{
    {DirSvrInfoFileName, liveDirSvrInfo.get()},
    {VerFileName, liveVer.get()},
    {WorldDefFileName, liveWorldDef.get()},
}}};
