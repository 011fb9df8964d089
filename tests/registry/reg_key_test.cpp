#include <gtest/gtest.h>

#include "registry/reg_key.h"
#include "support/entry_values.h"

// Numbers: over 4 bytes the default, shorter zero-extended, narrowed to their low bits, true when not 0.
// Texts: too long the default, cut to the buffer ("|#": nothing past it). Lists: sizes reported (twice the
// stored bytes), a cut default and a stored list without its closing NULs closed within the buffer.
TEST(RegKey, ReadsAndWrites)
{
    RegistrySandbox sandbox, written("TolmarinTestWritten");
    const std::string key = sandbox.Path();
    RegWriteKey reads(HKEY_CURRENT_USER, key.c_str()), writes(HKEY_CURRENT_USER, written.Path().c_str());
    SetRaw(HKEY_CURRENT_USER, key, "eight", REG_BINARY, "12345678", 8);
    SetRaw(HKEY_CURRENT_USER, key, "two", REG_BINARY, "\x34\x12", 2);
    SetDword(HKEY_CURRENT_USER, key, "n", 0x12345600);
    RegReadKey absent(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchKey\\Deeper");
    EXPECT_EQ((std::vector<DWORD>{77, 99, 0x1234, 0x00, 0x5600, 1, 1, 12}),
              (std::vector<DWORD>{reads.ReadDword("missing", 77), reads.ReadDword("eight", 99),
                                  reads.ReadDword("two", 99), reads.ReadByte("n", 7), reads.ReadWord("n", 7),
                                  reads.ReadBool("n", false), reads.ReadBool("missing", true),
                                  absent.ReadWord("x", 12)}));

    SetString(HKEY_CURRENT_USER, key, "long", std::string(40, 'x'));
    SetRaw(HKEY_CURRENT_USER, key, "raw", REG_SZ, "abcd", 4);  // without its terminator
    auto text = [&](const char* name, DWORD size, const char* def) {
        char buffer[18];
        memset(buffer, '#', sizeof(buffer));
        reads.ReadString(name, buffer, size, def);
        return std::string(buffer, strnlen(buffer, size)) + "|" + buffer[size];
    };
    EXPECT_EQ((std::vector<std::string>{"abcdefghijklmno|#", "dflt|#", "abcd|#", "z|#", "|#", "|#"}),
              (std::vector<std::string>{text("missing", 16, "abcdefghijklmnopqrst"), text("long", 16, "dflt"),
                                        text("raw", 16, "z"), text("raw", 4, "z"),
                                        text("missing", 16, nullptr), text("missing", 0, "abc")}));

    SetRaw(HKEY_CURRENT_USER, key, "open", REG_MULTI_SZ, "ABC", 3);
    SetRaw(HKEY_CURRENT_USER, key, "list", REG_MULTI_SZ, "AB\0\0", 4);
    SetRaw(HKEY_CURRENT_USER, key, "one", REG_MULTI_SZ, "ABC", 4);  // one NUL only
    DWORD missing = 0, stored = 0, cut = 4, exact = 3, full = 4;
    char buffer[8] = "#######", closed[3], four[4];
    reads.ReadMultiString("missing", nullptr, missing, "a\0bc\0");
    reads.ReadMultiString("list", nullptr, stored, "");
    reads.ReadMultiString("missing", buffer, cut, "a\0bc\0");
    reads.ReadMultiString("open", closed, exact, "a\0bc\0");
    reads.ReadMultiString("one", four, full, "");
    EXPECT_EQ((std::vector<DWORD>{6, 8, 6}), (std::vector<DWORD>{missing, stored, cut}));
    EXPECT_EQ(std::string("a\0\0\0#a\0\0AB\0\0", 12),
              std::string(buffer, 5) + std::string(closed, 3) + std::string(four, 4));

    // Numbers a REG_DWORD of their masked value; texts keep their NULs; keys created with class "Orvanta";
    // a key that is not open writes and enumerates nothing.
    EXPECT_TRUE(writes.WriteWord("w", 0x12345) && writes.WriteByte("b", 300) &&
                writes.WriteBool("f", 0x101) && writes.WriteString("s", "abc") &&
                writes.WriteString("e", "") && writes.WriteMultiString("m", "x\0yz\0"));
    EXPECT_EQ(ParseValues("w=d:9029;b=d:44;f=d:1;s=s:abc;e=s:;m=m:x|yz||"),
              ReadValues(HKEY_CURRENT_USER, written.Path(), true));
    std::vector<BYTE> empty;
    EXPECT_EQ(1u, (GetRaw(HKEY_CURRENT_USER, written.Path(), "e", nullptr, &empty), empty.size()))
        << "its NUL";
    EXPECT_EQ(2u, writes.GetMaxValueNameLength()) << "longest name plus one";
    RegWriteKey(HKEY_CURRENT_USER, (written.Path() + "\\A\\B").c_str());
    char keyClass[16] = "";
    DWORD length = sizeof(keyClass);
    RegQueryInfoKeyA(RegReadKey(HKEY_CURRENT_USER, (written.Path() + "\\A").c_str()).Handle(), keyClass,
                     &length, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    EXPECT_STREQ("Orvanta", keyClass) << "each level created with the stack's class";
    EXPECT_FALSE(absent.WriteString("b", "x") || absent.EnumValue(0, nullptr, 0, nullptr, nullptr, 0));
    EXPECT_EQ(0u, absent.GetMaxValueNameLength() + absent.GetMaxValueDataSize());
}

// One inheritable set of attributes with a null DACL while any key object exists, none after the last.
TEST(RegKeySharedAttributes, ExistExactlyWhileKeysExist)
{
    ASSERT_EQ(0u, RegKey::LiveCount());
    {
        RegReadKey a(HKEY_CURRENT_USER, "Software");
        SECURITY_ATTRIBUTES* attributes = RegKey::SharedAttributes();
        ASSERT_NE(nullptr, attributes);
        BOOL present = FALSE, defaulted = TRUE;
        PACL dacl = reinterpret_cast<PACL>(1);
        GetSecurityDescriptorDacl(attributes->lpSecurityDescriptor, &present, &dacl, &defaulted);
        EXPECT_EQ("1 1 0 1", std::to_string(attributes->bInheritHandle) + " " + std::to_string(present) +
                                 " " + std::to_string(defaulted) + " " + std::to_string(dacl == nullptr));
        EXPECT_EQ(attributes, RegReadKey(HKEY_CURRENT_USER, "Software").SharedAttributes());
    }
    EXPECT_EQ(0u, RegKey::LiveCount());
    EXPECT_EQ(nullptr, RegKey::SharedAttributes());
}
