#include "update/Sha256.h"

#include <gtest/gtest.h>

#include <string>

namespace n640 {
namespace {

TEST(Sha256, StandardVectors) {
    struct Case {
        std::string message;
        const char* digest;
    };
    const Case cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu",
         "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        // 55, 56 and 64 bytes: the padding fits, spills into a second block, or fills one exactly.
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
    };
    for (const Case& c : cases) EXPECT_EQ(Sha256Hex(Sha256(c.message)), c.digest) << c.message.size() << " bytes";
}

TEST(Sha256, MillionAInUnevenPieces) {
    CSha256 sha;
    const std::string piece(997, 'a');
    size_t left = 1000000;
    while (left > 0) {
        const size_t n = std::min(left, piece.size());
        sha.Update(piece.data(), n);
        left -= n;
    }
    EXPECT_EQ(Sha256Hex(sha.Final()), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // Final starts over.
    EXPECT_EQ(Sha256Hex(sha.Final()), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
}

TEST(Sha256, ParsesHexDigestsOnly) {
    const auto abc = Sha256("abc");
    EXPECT_EQ(ParseSha256(u"BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD"), abc);
    EXPECT_EQ(ParseSha256(u"\n  ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad \r\n"), abc);
    EXPECT_FALSE(ParseSha256(u""));
    EXPECT_FALSE(ParseSha256(u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015a"));    // 63
    EXPECT_FALSE(ParseSha256(u"ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015adad"));  // 66
    EXPECT_FALSE(ParseSha256(u"ga7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"));
}

} // namespace
} // namespace n640
