#include "framework/GrowBuffer.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "framework/GrowArray.h"
#include "framework/StateChunk.h"

// Growth takes the larger of the granularity and half the request.
TEST(GrowBuffer, GrowthRule) {
    EXPECT_EQ(GrowBuffer::GrownCapacity(100, 256), 356);
    EXPECT_EQ(GrowBuffer::GrownCapacity(1000, 256), 1500);
    // Page granularity: whole pages minus an allocator header.
    EXPECT_EQ(GrowBuffer::GrownCapacity(344, 4096), 4096 - 96);
    EXPECT_EQ(GrowBuffer::GrownCapacity(10000, 4096), 12288 - 96);
}

// Sizes near the int limit grow without overflowing, on 64-bit Windows (32-bit long) too.
TEST(GrowBuffer, GrowthNearTheIntLimit) {
    static_assert(sizeof(GrowBuffer::GrownCapacity(0, 0)) == 8, "growth is reckoned in 64 bits");
    EXPECT_EQ(GrowBuffer::GrownCapacity(INT_MAX, 256), int64_t{INT_MAX} + INT_MAX / 2);
    EXPECT_EQ(GrowBuffer::GrownCapacity(2000000000, 4096),
              (int64_t{2000000000} + 4 * 1024 * 1024 + 96) / 4096 * 4096 - 96);
}

TEST(GrowBuffer, ResizeZeroesTheNewTailAndKeepsContents) {
    GrowBuffer buffer(16);
    ASSERT_TRUE(buffer.Append("abc", 3));
    ASSERT_TRUE(buffer.Resize(40));
    EXPECT_EQ(buffer.Data()[1], 'b');
    for (int i = 3; i < 40; ++i) EXPECT_EQ(buffer.Data()[i], 0) << i;
    EXPECT_FALSE(buffer.Resize(-1));
    EXPECT_EQ(buffer.Size(), 40);
    buffer.Clear();
    EXPECT_EQ(buffer.Data(), nullptr);
}

// Clearing keeps the storage: refilling to the same size allocates nothing.
TEST(GrowArray, ClearKeepsCapacity) {
    GrowArray<int> array(64);
    for (int i = 0; i < 100; ++i) array.Add(i);
    const int* before = array.Data();
    array.Clear();
    for (int i = 0; i < 100; ++i) array.Add(i);
    EXPECT_EQ(array.Data(), before);
    EXPECT_EQ(array[99], 99);
    EXPECT_EQ(array.At(100), nullptr);
    EXPECT_EQ(array.At(-1), nullptr);
    array.RemoveAt(0);
    EXPECT_EQ(array[0], 1);
    EXPECT_EQ(array.Count(), 99);
}

TEST(StateChunk, ReadsOnlyWholeValuesInside) {
    StateChunk chunk;
    chunk.AppendInt32(7);
    chunk.AppendDouble(2.5);
    double value = 0;
    int32_t word = 0;
    EXPECT_TRUE(chunk.ReadInt32(0, &word));
    EXPECT_EQ(word, 7);
    EXPECT_TRUE(chunk.ReadDouble(4, &value));
    EXPECT_EQ(value, 2.5);
    EXPECT_FALSE(chunk.ReadDouble(5, &value));
    EXPECT_FALSE(chunk.ReadDouble(-1, &value));
    EXPECT_FALSE(chunk.ReadInt32(1 << 30, &word));
}
