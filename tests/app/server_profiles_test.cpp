// The built-in profiles byte for byte: lengths, line endings, GBK descriptions, and the
// configured addresses in their places.
#include <gtest/gtest.h>

#include <string>

#include "app/server_profiles.h"
#include "app/server_settings.h"
#include "runtime/constant_segment.h"
#include "tests/app/profile_content.h"

namespace {

const std::string kTestAddress = TEST_DIRECTORY_ADDRESS;
const std::string kLiveHost = LIVE_DIRECTORY_HOST;
const std::string kLive[4] = {LIVE_DIRECTORY_ADDRESS_1, LIVE_DIRECTORY_ADDRESS_2, LIVE_DIRECTORY_ADDRESS_3,
                              LIVE_DIRECTORY_ADDRESS_4};

TEST(ServerProfiles, NameTheThreeFilesInWriteOrder) {
  for (const ServerProfile* profile : {&TestServerProfile, &LiveServerProfile}) {
    EXPECT_STREQ(profile->entries[0].fileName, "DirSvrInfo1.ini");
    EXPECT_STREQ(profile->entries[1].fileName, "VER.ini");
    EXPECT_STREQ(profile->entries[2].fileName, "WorldDef.ini");
    for (const ProfileEntry& entry : profile->entries) {
      EXPECT_TRUE(InConstantSegment(entry.fileName));
      EXPECT_TRUE(InConstantSegment(entry.content));
      EXPECT_EQ(entry.content->dimensionCount, 1);
    }
  }
  // One constant per name, shared by both profiles.
  EXPECT_EQ(TestServerProfile.entries[1].fileName, LiveServerProfile.entries[1].fileName);
}

TEST(TestServerProfile, IsByteExact) {
  const std::string dirSvrInfo = Content(TestServerProfile, 0);
  EXPECT_EQ(dirSvrInfo, "[ServerInfo1]\r\nIP=" + kTestAddress + "\r\nPorts=80,8000,443\r\nServerID=2\r\n");
  EXPECT_EQ(dirSvrInfo.size(), 51 + kTestAddress.size());

  const std::string ver = Content(TestServerProfile, 1);
  EXPECT_EQ(ver, "[info]\r\nversion=5302");
  EXPECT_EQ(ver.size(), 20u);
  EXPECT_EQ(ver.back(), '2');

  const std::string worldDef = Content(TestServerProfile, 2);
  EXPECT_EQ(worldDef,
            "[World1]\r\ndesc=\xB5\xE7\xD0\xC5\xCC\xE5\xD1\xE9\xC7\xF8\r\nsvrlist=DirSvrInfo1.ini");
  EXPECT_EQ(worldDef.size(), 50u);
}

TEST(LiveServerProfile, IsByteExact) {
  const std::string dirSvrInfo = Content(LiveServerProfile, 0);
  const std::string ports = "\r\nPorts=80,8000,443\r\n";
  EXPECT_EQ(dirSvrInfo, "[ServerInfo1]\r\nName=" + kLiveHost + "\r\nIP=" + kLive[0] + ports + "ServerID=9\r\n" +
                            "[ServerInfo2]\r\nIP=" + kLive[1] + ports + "ServerID=10\r\n" +
                            "[ServerInfo3]\r\nIP=" + kLive[2] + ports + "ServerID=15\r\n" +
                            "[ServerInfo4]\r\nIP=" + kLive[3] + ports + "ServerID=16\r\n");
  EXPECT_EQ(dirSvrInfo.size(),
            214 + kLiveHost.size() + kLive[0].size() + kLive[1].size() + kLive[2].size() + kLive[3].size());

  EXPECT_EQ(Content(LiveServerProfile, 1), "[info]\r\nversion=192\r\n");
  EXPECT_EQ(Content(LiveServerProfile, 1).size(), 21u);

  const std::string worldDef = Content(LiveServerProfile, 2);
  EXPECT_EQ(worldDef,
            "[World1]\r\ndesc=\xB5\xE7\xD0\xC5\xC7\xF8\r\nsvrlist=DirSvrInfo1.ini\r\n"
            "[World2]\r\ndesc=\xCD\xF8\xCD\xA8\xC7\xF8\r\nsvrlist=DirSvrInfo2.ini\r\n"
            "[World3]\r\ndesc=\xB5\xE7\xD0\xC5\x32\xC7\xF8\r\nsvrlist=DirSvrInfo3.ini\r\n");
  EXPECT_EQ(worldDef.size(), 145u);
}

TEST(ServerProfiles, HoldNoNulNoBomAndOnlyCrLfBreaks) {
  for (const ServerProfile* profile : {&TestServerProfile, &LiveServerProfile}) {
    for (int i = 0; i < 3; ++i) {
      const std::string content = Content(*profile, i);
      EXPECT_EQ(content.find('\0'), std::string::npos);
      EXPECT_NE(content.substr(0, 3), "\xEF\xBB\xBF");
      for (size_t at = content.find('\n'); at != std::string::npos; at = content.find('\n', at + 1)) {
        ASSERT_GT(at, 0u);
        EXPECT_EQ(content[at - 1], '\r') << i << " at " << at;
      }
    }
  }
}

}  // namespace
