// Host identification: the product text is asked for once, at open, and
// whatever host it names, this plug-in keeps two inputs and two outputs.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "tests/src/PluginHarness.h"

namespace {

class HostIdentificationTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(p.Create()) << p.Error(); }
    PluginHarness p;
};

// Creating the instance does not ask the host anything about itself.
TEST_F(HostIdentificationTest, CreationAsksNothing) {
    EXPECT_EQ(p.Host().mProductStringCalls, 0);
    EXPECT_EQ(p.Host().mVendorVersionCalls, 0);
}

// effOpen asks for the product text and version once; later opens and blocks do not ask again.
TEST_F(HostIdentificationTest, ProductTextIsAskedOnce) {
    p.Host().mProductString = "REAPER";
    p.Open();
    EXPECT_EQ(p.Host().mProductStringCalls, 1);
    EXPECT_EQ(p.Host().mVendorVersionCalls, 1);
    p.Dispatch(vst2::effOpen);
    p.StartPlayback();
    p.RollBlocks(3, 512);
    EXPECT_EQ(p.Host().mProductStringCalls, 1);
    EXPECT_EQ(p.Host().mVendorVersionCalls, 1);
}

// An empty product text settles on an unknown host: asked once, no version asked, never again.
TEST_F(HostIdentificationTest, EmptyProductTextIsAskedOnce) {
    p.Host().mProductString = "";
    p.Open();
    p.Dispatch(vst2::effOpen);
    EXPECT_EQ(p.Host().mProductStringCalls, 1);
    EXPECT_EQ(p.Host().mVendorVersionCalls, 0);
}

// Any version number the host reports, negative or huge, is taken without harm.
TEST_F(HostIdentificationTest, AnyVendorVersion) {
    for (intptr_t version : {intptr_t{INT32_MIN}, intptr_t{-1}, intptr_t{-2400}, intptr_t{INT32_MAX},
                             intptr_t{2147480000}, intptr_t{INT64_MAX}}) {
        PluginHarness h;
        ASSERT_TRUE(h.Create()) << h.Error();
        h.Host().mProductString = "REAPER";
        h.Host().mVendorVersion = version;
        h.Open();
        EXPECT_EQ(h.Host().mVendorVersionCalls, 1) << version;
        h.StartPlayback();
        h.NoteOn(7, 60, 100);
        EXPECT_EQ(Describe(h.Roll(512)), "on 60 c0 v100 @7") << version;
    }
}

class HostProductTest : public HostIdentificationTest, public ::testing::WithParamInterface<const char*> {};

// Whatever the host's name, the channel counts stay two and two and notes flow the same.
TEST_P(HostProductTest, ChannelCountsAndNotesUnchanged) {
    p.Host().mProductString = GetParam();
    p.Open();
    EXPECT_EQ(p.Effect()->numInputs, 2);
    EXPECT_EQ(p.Effect()->numOutputs, 2);
    p.StartPlayback();
    p.NoteOn(7, 60, 100);
    EXPECT_EQ(Describe(p.Roll(512)), "on 60 c0 v100 @7");
}

INSTANTIATE_TEST_SUITE_P(Products, HostProductTest,
                         ::testing::Values("", "REAPER", "Cubase VST", "Nuendo", "Ableton Live", "Forte",
                                           "Adobe Audition", "Orion", "SAWStudio", "Cakewalk", "olive",
                                           "Some Other Host"));

}  // namespace
