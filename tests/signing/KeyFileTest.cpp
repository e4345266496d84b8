// Key files: their text form both ways, the refusals of a malformed one, and how a new key
// pair is written (the private half for its owner's eyes only, nothing ever overwritten).
#include "KeyText.h"
#include "PublicKey.h"
#include "SignedPatches.h"
#include "SigningKey.h"
#include "TestTree.h"

#include <gtest/gtest.h>

#include <regex>
#include <sys/stat.h>

namespace patchfile {
namespace {

const std::string kHex64 = "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff";
const std::string kPublicType = kPublicKeyType;

TEST(PublicKeyText, ReadsBackWhatItWrites) {
    PublicKey key = testing::TestKey(5).publicKey;
    PublicKey read;
    std::string error;
    ASSERT_TRUE(ParsePublicKey(FormatPublicKey(key), read, error)) << error;
    EXPECT_EQ(read, key);
}

TEST(PublicKeyText, ReadsItsBytesInOrder) {
    PublicKey key;
    std::string error;
    ASSERT_TRUE(ParsePublicKey(kPublicType + "\n" + kHex64 + "\n", key, error)) << error;
    EXPECT_EQ(key.bytes[0], 0x00);
    EXPECT_EQ(key.bytes[1], 0x11);
    EXPECT_EQ(key.bytes[15], 0xff);
    EXPECT_EQ(key.bytes[31], 0xff);
}

struct KeyTextCase {
    const char* name;
    std::string text;
    bool accepted;
};

std::vector<KeyTextCase> KeyTextCases() {
    return {
        {"Plain", kPublicType + "\n" + kHex64 + "\n", true},
        {"WindowsLineEnds", kPublicType + "\r\n" + kHex64 + "\r\n", true},
        {"NoLastLineEnd", kPublicType + "\n" + kHex64, true},
        {"PrivateKeyType", std::string(kPrivateKeyType) + "\n" + kHex64 + "\n", false},
        {"OtherAlgorithm", "quill-patch-public-key rsa\n" + kHex64 + "\n", false},
        {"Empty", "", false},
        {"TypeOnly", kPublicType + "\n", false},
        {"ShortByOneDigit", kPublicType + "\n" + kHex64.substr(1) + "\n", false},
        {"LongByTwoDigits", kPublicType + "\n" + kHex64 + "00\n", false},
        {"UppercaseHex", kPublicType + "\nAB" + kHex64.substr(2) + "\n", false},
        {"NotHex", kPublicType + "\nzz" + kHex64.substr(2) + "\n", false},
        {"SpaceInKey", kPublicType + "\n" + kHex64.substr(0, 10) + " " + kHex64.substr(11) + "\n",
         false},
        {"ThirdLine", kPublicType + "\n" + kHex64 + "\nmore\n", false},
        {"BlankThirdLine", kPublicType + "\n" + kHex64 + "\n\n", false},
    };
}

class PublicKeyTextCases : public ::testing::TestWithParam<KeyTextCase> {};

TEST_P(PublicKeyTextCases, AreReadOrRefused) {
    PublicKey key;
    std::string error;
    EXPECT_EQ(ParsePublicKey(GetParam().text, key, error), GetParam().accepted) << error;
    if (!GetParam().accepted) {
        EXPECT_FALSE(error.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Table, PublicKeyTextCases, ::testing::ValuesIn(KeyTextCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SigningKeyText, ReadsBackTheSeedAndDerivesTheSamePublicKey) {
    SigningKey key = testing::TestKey(9);
    SigningKey read;
    std::string error;
    ASSERT_TRUE(ParseSigningKey(FormatSigningKey(key), read, error)) << error;
    EXPECT_TRUE(std::equal(std::begin(key.seed), std::end(key.seed), read.seed));
    EXPECT_EQ(read.publicKey, key.publicKey);
}

TEST(SigningKeyText, RefusesAPublicKeyFile) {
    SigningKey key;
    std::string error;
    EXPECT_FALSE(ParseSigningKey(FormatPublicKey(testing::TestKey(9).publicKey), key, error));
}

TEST(KeyFingerprint, IsEightGroupsOfFourHexDigitsAndTellsKeysApart) {
    std::string first = KeyFingerprint(testing::TestKey(1).publicKey);
    std::string second = KeyFingerprint(testing::TestKey(2).publicKey);
    EXPECT_TRUE(std::regex_match(first, std::regex("([0-9a-f]{4}:){7}[0-9a-f]{4}"))) << first;
    EXPECT_NE(first, second);
    EXPECT_EQ(first, KeyFingerprint(testing::TestKey(1).publicKey));
}

TEST(NewKeyPair, IsReadableByItsOwnerOnlyAndReadsBack) {
    testing::TempFolder temp;
    std::string path = temp.Sub("publisher.key").string();
    SigningKey key;
    ASSERT_TRUE(GenerateSigningKey(key));
    std::string error;
    ASSERT_TRUE(WriteNewKeyPair(path, key, error)) << error;
    struct stat info;
    ASSERT_EQ(stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    SigningKey read;
    ASSERT_TRUE(ReadSigningKeyFile(path, read, error)) << error;
    EXPECT_EQ(read.publicKey, key.publicKey);
    PublicKey published;
    ASSERT_TRUE(ReadPublicKeyFile(path + ".pub", published, error)) << error;
    EXPECT_EQ(published, key.publicKey);
}

TEST(NewKeyPair, TwoAreNotTheSame) {
    SigningKey first, second;
    ASSERT_TRUE(GenerateSigningKey(first));
    ASSERT_TRUE(GenerateSigningKey(second));
    EXPECT_NE(first.publicKey, second.publicKey);
}

// A key overwritten by mistake would orphan every library built with its public half.
TEST(NewKeyPair, NeverOverwritesEitherFile) {
    for (const char* existing : {"publisher.key", "publisher.key.pub"}) {
        testing::TempFolder temp;
        testing::WriteFile(temp.Sub(existing), "precious");
        std::string path = temp.Sub("publisher.key").string();
        std::string error;
        EXPECT_FALSE(WriteNewKeyPair(path, testing::TestKey(4), error)) << existing;
        EXPECT_NE(error.find("exists"), std::string::npos) << error;
        EXPECT_EQ(testing::ReadFile(temp.Sub(existing)), "precious");
        EXPECT_EQ(testing::ReadTree(temp.path()).size(), 1u) << existing;
    }
}

TEST(KeyFile, ALargeFileIsRefusedUnread) {
    testing::TempFolder temp;
    testing::WriteFile(temp.Sub("big.pub"), std::string(100000, 'a'));
    PublicKey key;
    std::string error;
    EXPECT_FALSE(ReadPublicKeyFile(temp.Sub("big.pub").string(), key, error));
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
}

} // namespace
} // namespace patchfile
