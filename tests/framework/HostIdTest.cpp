#include "framework/HostId.h"

#include <gtest/gtest.h>

#include <string>

// Product texts decide the host by case-insensitive substring, first listed wins.
TEST(HostIdFromName, KnownProducts) {
    EXPECT_EQ(HostIdFromName("REAPER"), HostReaper);
    EXPECT_EQ(HostIdFromName("Cubase VST 5.0"), HostCubase);
    EXPECT_EQ(HostIdFromName("Nuendo"), HostNuendo);
    EXPECT_EQ(HostIdFromName("Ableton Live"), HostLive);
    EXPECT_EQ(HostIdFromName("Nuendo and Cubase"), HostCubase);
    EXPECT_EQ(HostIdFromName("olive"), HostLive);
    EXPECT_EQ(HostIdFromName("Adobe Audition"), HostAudition);
}

TEST(HostIdFromName, UnknownEmptyAndOversized) {
    EXPECT_EQ(HostIdFromName(""), HostUnknown);
    EXPECT_EQ(HostIdFromName(nullptr), HostUnknown);
    EXPECT_EQ(HostIdFromName("Tamborelle Test Host"), HostUnknown);
    // Only the first 255 characters count, and nothing overruns.
    std::string longName(1000, 'x');
    EXPECT_EQ(HostIdFromName((longName + "reaper").c_str()), HostUnknown);
    EXPECT_EQ(HostIdFromName(("reaper" + longName).c_str()), HostReaper);
}
