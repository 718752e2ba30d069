// The module's life in a host process: loaded, used, closed and unloaded
// repeatedly, and exporting its two entry names only.
#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/src/PluginHarness.h"

namespace {

// One full cycle: load, instantiate, play a few blocks, close, unload.
void RunOneCycle(int cycle) {
    SCOPED_TRACE("cycle " + std::to_string(cycle));
    {
        PluginHarness p;
        ASSERT_TRUE(p.Create()) << p.Error();
        p.Open();
        p.StartPlayback();
        p.NoteOn(10, 60, 100);
        EXPECT_EQ(Describe(p.Roll(512)), "on 60 c0 v100 @10");
        p.NoteOff(0, 60);
        p.RollBlocks(3, 512);
        p.Close();
    }
    // Nothing may keep the module mapped once the host lets go of it.
    void* still = dlopen(ModulePath(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(still, nullptr) << "the module stayed loaded after dlclose";
    if (still) dlclose(still);
}

// Load, use, close and unload three times in one process.
TEST(LifecycleTest, LoadUseUnloadThreeTimes) {
    for (int cycle = 0; cycle < 3; ++cycle) RunOneCycle(cycle);
}

// Two instances from one load live side by side and are closed in either order.
TEST(LifecycleTest, TwoInstancesOfOneModule) {
    VstModule module;
    ASSERT_TRUE(module.Load(ModulePath())) << module.Error();
    {
        RecordingHost a, b;
        ASSERT_TRUE(a.Instantiate(module.Entry()));
        ASSERT_TRUE(b.Instantiate(module.Entry()));
        EXPECT_NE(a.Effect(), b.Effect());
        a.Dispatch(vst2::effOpen);
        b.Dispatch(vst2::effOpen);
        b.SetParameter(2, 1.0f);
        EXPECT_EQ(a.ParamDisplay(2), "1");
        EXPECT_EQ(b.ParamDisplay(2), "16");
        a.Close();
        EXPECT_EQ(b.ParamDisplay(2), "16");
    }
    module.Unload();
}

// Two host threads create instances at the same moment from a freshly loaded module:
// the very first creations race, and every instance still comes out whole.
TEST(LifecycleTest, TwoThreadsCreateAtOnce) {
    VstModule module;
    ASSERT_TRUE(module.Load(ModulePath())) << module.Error();
    std::atomic<int> ready{0};
    std::atomic<int> good{0};
    auto create = [&] {
        ready.fetch_add(1);
        while (ready.load() < 2) {}
        for (int i = 0; i < 20; ++i) {
            RecordingHost host;
            if (!host.Instantiate(module.Entry())) continue;
            host.Dispatch(vst2::effOpen);
            if (host.Effect()->numParams == 42 && host.ParamName(8) == "ParMute") good.fetch_add(1);
            host.Close();
        }
    };
    std::thread first(create), second(create);
    first.join();
    second.join();
    EXPECT_EQ(good.load(), 40);
    module.Unload();
}

// Older hosts find the entry as main; it makes the same kind of working effect.
TEST(LifecycleTest, MainEntryMakesAnEffect) {
    VstModule module;
    ASSERT_TRUE(module.Load(ModulePath())) << module.Error();
    auto entry = reinterpret_cast<VstEntryProc>(module.Symbol("main"));
    ASSERT_NE(entry, nullptr);
    {
        RecordingHost host;
        ASSERT_TRUE(host.Instantiate(entry));
        host.Dispatch(vst2::effOpen);
        EXPECT_EQ(host.Effect()->uniqueID, 0x67784C6D);
        EXPECT_EQ(host.ParamName(2), "MainChan");
    }
    module.Unload();
}

// The dynamic symbol table defines exactly VSTPluginMain and main.
TEST(LifecycleTest, ExportsOnlyTheEntryNames) {
    const std::string command = std::string(NM_PROGRAM) + " -D --defined-only '" + ModulePath() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr) << command;
    std::set<std::string> names;
    char line[1024];
    while (std::fgets(line, sizeof line, pipe)) {
        std::string text(line);
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        const size_t space = text.rfind(' ');
        std::string name = space == std::string::npos ? text : text.substr(space + 1);
        names.insert(name.substr(0, name.find('@')));  // a version suffix is not part of the name
    }
    ASSERT_EQ(pclose(pipe), 0) << command;
    EXPECT_EQ(names, (std::set<std::string>{"VSTPluginMain", "main"}));
}

}  // namespace
