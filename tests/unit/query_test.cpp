#include "scan/query.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

// The buffer contract every backend keeps: text is terminated inside the
// buffer, and data that cannot be terminated there counts as absent.
TEST(TerminateValueData, KeepsTextInsideTheBuffer)
{
    const struct {
        std::string stored;  // what the platform left in the buffer
        std::uint32_t size;  // the size it reported
        QueryStatus status;
        const char* text;
    } cases[] = {
        {std::string("abc\0", 4), 4, kErrorSuccess, "abc"},
        {"abc", 3, kErrorSuccess, "abc"},            // stored without its zero
        {"", 0, kErrorSuccess, ""},
        {std::string("abcdefg\0", 8), 8, kErrorSuccess, "abcdefg"},
        {"abcdefgh", 8, kErrorMoreData, nullptr},     // fills the buffer, no zero
        {"abcdefgh", 9, kErrorMoreData, nullptr},     // reported larger than the buffer
    };
    for (const auto& c : cases) {
        char buffer[8];
        std::memset(buffer, 'x', sizeof buffer);
        std::memcpy(buffer, c.stored.data(), std::min<std::size_t>(c.stored.size(), sizeof buffer));
        EXPECT_EQ(TerminateValueData(buffer, sizeof buffer, c.size), c.status) << c.stored;
        EXPECT_EQ(buffer[sizeof buffer - 1], '\0');
        if (c.text != nullptr) {
            EXPECT_STREQ(buffer, c.text);
        }
    }
}

TEST(CopyName, NeedsRoomForItsZero)
{
    char buffer[4];
    std::uint32_t chars = sizeof buffer;
    EXPECT_EQ(CopyName("abc", 3, buffer, &chars), kErrorSuccess);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(chars, 3u);
    chars = sizeof buffer;
    EXPECT_EQ(CopyName("abcd", 4, buffer, &chars), kErrorMoreData);
}

}  // namespace
