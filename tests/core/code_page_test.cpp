#include "core/code_page.h"

#include <gtest/gtest.h>

namespace tavro::core {
namespace {

TEST(CodePage, EveryByteRoundTripsAndKnownCharactersAreRight) {
    std::string all;
    for (int b = 0; b <= 0xFF; ++b) all += static_cast<char>(b);
    const std::string utf8 = Cp1252ToUtf8(all);
    const Cp1252Text back = Utf8ToCp1252(utf8);
    EXPECT_EQ(back.bytes, all);
    EXPECT_TRUE(back.refused.empty());
    // The degree, euro and undefined bytes are checked through the notes window.
    EXPECT_EQ(Cp1252ToUtf8("\x9F"), "\u0178");  // Y with diaeresis
    EXPECT_EQ(Utf8ToCp1252("\u2013 5\u00B0C").bytes,
              "\x96 5\xB0"
              "C");
    // Characters outside are refused once each, in order.
    const Cp1252Text t = Utf8ToCp1252("a\u2126b\u4E2D\u2126\xF0\x9F\x98\x80");
    EXPECT_EQ(t.bytes, "ab");
    EXPECT_EQ(t.refused, "\u2126\u4E2D\xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToCp1252("x\xC3").refused, "\xC3") << "a cut sequence is refused, not read past";
}

}  // namespace
}  // namespace tavro::core
