// Program slots as the host meets them: names, selection, renaming, recall.
#include <string>
#include <vector>

#include "tests/src/PluginFixture.h"

namespace {

class ProgramTest : public PluginTest {
protected:
    std::string CurrentName() {
        char text[256] = {};
        p.Dispatch(vst2::effGetProgramName, 0, 0, text);
        return text;
    }
    intptr_t Current() { return p.Dispatch(vst2::effGetProgram); }
    void Select(int slot) { p.Dispatch(vst2::effSetProgram, 0, slot); }
    void Rename(const char* name) { p.Dispatch(vst2::effSetProgramName, 0, 0, const_cast<char*>(name)); }
};

// Six slots named "- 1 -" to "- 6 -"; the first is current.
TEST_F(ProgramTest, InitialSlots) {
    EXPECT_EQ(p.Effect()->numPrograms, 6);
    for (int i = 0; i < 6; ++i) {
        char text[256] = {};
        EXPECT_EQ(p.Dispatch(vst2::effGetProgramNameIndexed, i, 0, text), 1);
        EXPECT_EQ(std::string(text), "- " + std::to_string(i + 1) + " -");
    }
    EXPECT_EQ(Current(), 0);
    EXPECT_EQ(CurrentName(), "- 1 -");
}

// Restoring the host's state brings back values, not program names.
TEST_F(ProgramTest, StateDoesNotCarryProgramNames) {
    Select(2);
    Rename("Keys");
    void* data = nullptr;
    const intptr_t size = p.Dispatch(vst2::effGetChunk, 0, 0, &data);
    ASSERT_EQ(size, 344);
    std::vector<uint8_t> state(static_cast<uint8_t*>(data), static_cast<uint8_t*>(data) + size);
    PluginHarness fresh;
    ASSERT_TRUE(fresh.Create()) << fresh.Error();
    fresh.Open();
    EXPECT_EQ(fresh.Dispatch(vst2::effSetChunk, 0, size, state.data()), 1);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(fresh.Host().ProgramName(i), "- " + std::to_string(i + 1) + " -");
}

// Slots outside 0..5 have no name.
TEST_F(ProgramTest, NamesOutsideTheSlots) {
    for (int index : {-1, 6, 1000}) {
        char text[256] = "unchanged";
        EXPECT_EQ(p.Dispatch(vst2::effGetProgramNameIndexed, index, 0, text), 0) << index;
        EXPECT_EQ(std::string(text), "") << index;
    }
}

// Selecting fresh slots keeps the sound and names them "user preset 1", "user preset 2", ...
TEST_F(ProgramTest, FreshSlotsBecomeUserPresets) {
    p.SetParam(Par::MainChan, Norm::Chan(5));
    Select(2);
    EXPECT_EQ(Current(), 2);
    EXPECT_EQ(CurrentName(), "user preset 1");
    EXPECT_EQ(p.Display(Par::MainChan), "5");
    Select(4);
    EXPECT_EQ(CurrentName(), "user preset 2");
    EXPECT_EQ(p.Host().ProgramName(2), "user preset 1");
    EXPECT_EQ(p.Host().ProgramName(3), "- 4 -");
}

// Selecting a slot used before brings back the values it stored.
TEST_F(ProgramTest, UsedSlotRestoresItsValues) {
    Select(1);
    p.SetParam(Par::MainChan, Norm::Chan(5));
    Select(2);
    Select(1);
    EXPECT_EQ(p.Display(Par::MainChan), "1");
    Select(2);
    EXPECT_EQ(p.Display(Par::MainChan), "5");
    p.StartPlayback();
    p.NoteOn(0, 60, 100);
    EXPECT_EQ(Brief(NoteOns(p.Roll(kBlock))), "on 60 c4 v100, on 60 c0 v100");
}

// Renaming the current program names its slot.
TEST_F(ProgramTest, RenameCurrent) {
    Select(3);
    Rename("Lead");
    EXPECT_EQ(CurrentName(), "Lead");
    EXPECT_EQ(p.Host().ProgramName(3), "Lead");
    EXPECT_EQ(p.Host().ProgramName(0), "- 1 -");
}

// Renaming also stores the current values in the slot.
TEST_F(ProgramTest, RenameStoresValues) {
    Select(1);
    p.SetParam(Par::MainChan, Norm::Chan(5));
    Rename("Bass");
    p.SetParam(Par::MainChan, Norm::Chan(9));
    Select(2);
    Select(1);
    EXPECT_EQ(p.Display(Par::MainChan), "5");
    EXPECT_EQ(CurrentName(), "Bass");
}

// A slot index outside the slots leaves the current program alone.
TEST_F(ProgramTest, SelectingOutsideTheSlots) {
    Select(2);
    for (int slot : {-1, 6, 1000}) {
        Select(slot);
        EXPECT_EQ(Current(), 2) << slot;
    }
}

}  // namespace
