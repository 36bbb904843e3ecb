#include "transfer/ccrc32.h"
#include "transfer/frame.h"

#include <array>
#include <gtest/gtest.h>
#include <vector>

TEST(Crc32, CheckValueAndTable)
{
    const CCrc32 crc;
    const uint8_t digits[] = { '1', '2', '3', '4', '5', '6', '7', '8', '9' };
    EXPECT_EQ(crc.Compute(digits, sizeof digits), 0x89A1897Fu);
    EXPECT_EQ(crc.Compute(digits, 0), 0u);
    // Continuing a computation equals computing at once.
    EXPECT_EQ(crc.Compute(digits + 4, 5, crc.Compute(digits, 4)), 0x89A1897Fu);
}

TEST(Frame, EmptySourceEndFrameIsExact)
{
    const CCrc32 crc;
    std::array<uint8_t, kFrameMaxSize> out {};
    const int size = BuildFrame(crc, out.data(), 0, kTypeEnd, kEndFramePayload, nullptr, kEndFramePayload);
    std::vector<uint8_t> expected { 0x55, 0x00, 0x39, 0x20, 0x00 };
    expected.resize(5 + 32, 0);
    expected.insert(expected.end(), { 0x7D, 0xF0, 0x44, 0x17 });
    EXPECT_EQ(std::vector<uint8_t>(out.begin(), out.begin() + size), expected);
}

TEST(Frame, CrcGoesOutMostSignificantByteFirst)
{
    const CCrc32 crc;
    const uint8_t payload[] = { '1', '2', '3', '4' };
    std::array<uint8_t, kFrameMaxSize> out {};
    const int size = BuildFrame(crc, out.data(), 7, kTypePreset, 4, payload, 4);
    ASSERT_EQ(size, 13);
    EXPECT_EQ(out[1], 7);
    EXPECT_EQ(FrameLengthField(out.data()), 4);
    EXPECT_EQ(out[3], 4);
    EXPECT_EQ(out[4], 0);
    const uint32_t value = crc.Compute(out.data(), 9);
    EXPECT_EQ(out[9], uint8_t(value >> 24));
    EXPECT_EQ(out[12], uint8_t(value));
    EXPECT_EQ(FrameCrc(out.data(), size), value);
}
