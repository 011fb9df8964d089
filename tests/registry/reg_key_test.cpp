#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "registry/reg_key.h"
#include "support/registry_sandbox.h"

namespace {

// A key object over a fresh sandbox key, opened for writing.
struct SandboxKey {
    RegistrySandbox sandbox;
    RegWriteKey key{HKEY_CURRENT_USER, sandbox.Path().c_str()};
    std::string Sub(const char* rest) const { return sandbox.Path() + "\\" + rest; }
};

std::string ClassOf(const std::string& path)
{
    RegReadKey key(HKEY_CURRENT_USER, path.c_str());
    char name[64] = "";
    DWORD length = sizeof(name);
    RegQueryInfoKeyA(key.Handle(), name, &length, 0, 0, 0, 0, 0, 0, 0, 0, 0);
    return name;
}

}  // namespace

TEST(RegKeyPaths, CreateMakesEveryLevelWithClassOrvantaOpenCreatesNothing)
{
    SandboxKey s;
    EXPECT_EQ(HKEY_CURRENT_USER, RegKey::OpenKeyPath(HKEY_CURRENT_USER, "")) << "the root itself";
    EXPECT_EQ(HKEY_CURRENT_USER, RegKey::CreateKeyPath(HKEY_CURRENT_USER, ""));
    EXPECT_EQ(nullptr, RegKey::OpenKeyPath(HKEY_CURRENT_USER, s.Sub("A\\B").c_str()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, s.Sub("A")));
    {
        RegWriteKey key(HKEY_CURRENT_USER, s.Sub("A\\B\\C").c_str());
        EXPECT_TRUE(key.WriteDword("x", 1));
    }
    EXPECT_EQ("Orvanta", ClassOf(s.Sub("A")));
    EXPECT_EQ("Orvanta", ClassOf(s.Sub("A\\B\\C")));
    RegReadKey readOnly(HKEY_CURRENT_USER, s.Sub("A\\B\\C").c_str());
    ASSERT_NE(nullptr, readOnly.Handle());
    EXPECT_FALSE(readOnly.WriteDword("y", 1)) << "opened for reading only";
    // A component longer than any key name fails cleanly.
    std::string tooLong = s.Sub(std::string(300, 'k').c_str());
    EXPECT_EQ(nullptr, RegKey::OpenKeyPath(HKEY_CURRENT_USER, tooLong.c_str()));
    EXPECT_EQ(nullptr, RegKey::CreateKeyPath(HKEY_CURRENT_USER, tooLong.c_str()));
}

// The value of the last name goes first, then the key; parents are created.
TEST(RegKeyPaths, DeleteKeyPathDeletesValueOrTreeOrNothing)
{
    SandboxKey s;
    std::string base = s.Sub("One\\Two");
    SetDword(HKEY_CURRENT_USER, base, "Both", 1);
    SetDword(HKEY_CURRENT_USER, base + "\\Both\\Inner", "v", 1);
    EXPECT_TRUE(RegKey::DeleteKeyPath(HKEY_CURRENT_USER, (base + "\\Both").c_str()));
    EXPECT_EQ(std::vector<std::string>{}, ValueNames(HKEY_CURRENT_USER, base));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base + "\\Both")) << "the value goes first";
    EXPECT_TRUE(RegKey::DeleteKeyPath(HKEY_CURRENT_USER, (base + "\\Both").c_str()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base + "\\Both"));
    EXPECT_FALSE(RegKey::DeleteKeyPath(HKEY_CURRENT_USER, (base + "\\Both").c_str())) << "nothing left";
    EXPECT_FALSE(RegKey::DeleteKeyPath(HKEY_CURRENT_USER, ""));
    EXPECT_FALSE(RegKey::DeleteKeyPath(HKEY_CURRENT_USER, s.Sub("New1\\New2\\Gone").c_str()));
    EXPECT_EQ("Orvanta", ClassOf(s.Sub("New1\\New2")));
}

TEST(RegKeyPaths, DeleteKeyTreeRemovesLongNamesAndManyEntries)
{
    SandboxKey s;
    std::string tree = s.Sub("Tree");
    // Names far longer than 25 characters, many values, nested keys.
    for (int i = 0; i < 40; ++i)
        SetDword(HKEY_CURRENT_USER, tree, (std::string(200, 'v') + std::to_string(i)).c_str(), i);
    SetDword(HKEY_CURRENT_USER, tree + "\\" + std::string(255, 'k'), "x", 1);
    SetDword(HKEY_CURRENT_USER, tree + "\\a\\b\\c", std::string(1000, 'n').c_str(), 1);
    EXPECT_EQ(ERROR_SUCCESS, RegKey::DeleteKeyTree(s.sandbox.Key(), "Tree"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, tree));
    EXPECT_NE(ERROR_SUCCESS, RegKey::DeleteKeyTree(s.sandbox.Key(), "Tree"));
}

TEST(RegKeyReads, NumbersFallBackToDefaultAndNarrowToLowBits)
{
    SandboxKey s;
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8}, two[2] = {0x34, 0x12};
    SetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "eight", REG_BINARY, eight, 8);
    SetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "two", REG_BINARY, two, 2);
    SetDword(HKEY_CURRENT_USER, s.sandbox.Path(), "n", 0x12345600);

    RegReadKey absent(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchKey\\Deeper");
    EXPECT_EQ(nullptr, absent.Handle());
    // A value longer than 4 bytes falls back; a short one is zero-extended; a
    // non-zero DWORD is true although its low byte is 0.
    EXPECT_EQ((std::vector<DWORD>{77, 99, 0x1234, 0x00, 0x5600, 1, 1, 12}),
              (std::vector<DWORD>{s.key.ReadDword("missing", 77), s.key.ReadDword("eight", 99),
                                  s.key.ReadDword("two", 99), s.key.ReadByte("n", 7), s.key.ReadWord("n", 7),
                                  s.key.ReadBool("n", false), s.key.ReadBool("missing", true),
                                  absent.ReadWord("x", 12)}));
}

TEST(RegKeyReads, StringIsStoredTextOrTheDefaultNeverOverflowing)
{
    SandboxKey s;
    SetString(HKEY_CURRENT_USER, s.sandbox.Path(), "s", "hello");
    SetString(HKEY_CURRENT_USER, s.sandbox.Path(), "long", std::string(40, 'x'));
    SetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "raw", REG_SZ, "abcd", 4);  // without its terminator
    const struct {
        const char* name;
        DWORD size;
        const char* def;
        const char* read;
    } cases[] = {
        {"s", 16, "default", "hello"}, {"missing", 16, "abcdefghijklmnopqrst", "abcdefghijklmno"},
        {"long", 16, "dflt", "dflt"},  // too long for the buffer
        {"raw", 16, "z", "abcd"},      // terminated within the buffer
        {"raw", 4, "z", "z"},          // filling the buffer without a terminator does not fit
        {"missing", 1, "abc", ""},     {"missing", 16, nullptr, ""},
        {"missing", 0, "abc", ""},  // nothing written
    };
    for (const auto& c : cases) {
        char buffer[18];
        memset(buffer, '#', sizeof(buffer));
        buffer[17] = '\0';
        s.key.ReadString(c.name, buffer, c.size, c.def);
        if (c.size > 0) {
            EXPECT_EQ(std::string(c.read), buffer) << c.name << " " << c.size;
        }
        EXPECT_EQ('#', buffer[c.size]) << "written past the buffer: " << c.name << " " << c.size;
    }
}

TEST(RegKeyReads, MultiStringSizesDefaultAndCuts)
{
    SandboxKey s;
    const char def[] = "a\0bc\0";  // a, bc and the closing empty string
    DWORD size = 0;
    s.key.ReadMultiString("missing", nullptr, size, def);
    EXPECT_EQ(6u, size);
    char buffer[8];
    memset(buffer, '#', sizeof(buffer));
    size = 4;
    s.key.ReadMultiString("missing", buffer, size, def);
    EXPECT_EQ(6u, size);
    EXPECT_EQ(0, memcmp(buffer, "a\0\0\0", 4)) << "cut and still closed";
    EXPECT_EQ('#', buffer[4]);

    // A stored list without its closing NULs is closed within the buffer.
    const char open[3] = {'A', 'B', 'C'};
    SetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "open", REG_MULTI_SZ, open, 3);
    char exact[3];
    size = 3;
    s.key.ReadMultiString("open", exact, size, def);
    EXPECT_EQ('\0', exact[1]);
    EXPECT_EQ('\0', exact[2]);
}

// The one-call copy leaves what sizing and then reading leave, for short,
// open, empty, missing and long lists (these read in two calls).
TEST(RegKeyReads, MultiStringCopyReadsAsSizingThenReading)
{
    SandboxKey s;
    const std::string longList = std::string(300, 'x') + '\0' + '\0';
    // "5" without its NULs: the "6" after it keeps the registry from adding one.
    const std::pair<const char*, size_t> stored[] = {
        {"12\0ab\0\0", 7}, {"56", 1}, {"", 0}, {longList.c_str(), longList.size()}};
    for (size_t i = 0; i < 4; ++i)
        SetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), std::to_string(i).c_str(), REG_MULTI_SZ, stored[i].first,
               DWORD(stored[i].second));
    for (const char* name : {"0", "1", "2", "3", "missing"}) {
        for (DWORD spare : {0u, 1u}) {
            DWORD size = 0;
            s.key.ReadMultiString(name, nullptr, size, "d\0");
            std::string sized(size + 1, '\0');
            DWORD capacity = size + spare;
            s.key.ReadMultiString(name, &sized[0], capacity, "d\0");
            DWORD copySize = 0;
            std::unique_ptr<char[]> copy = s.key.ReadMultiStringCopy(name, copySize, spare, "d\0");
            ASSERT_EQ(size, copySize) << name << " " << spare;
            EXPECT_EQ(sized, std::string(copy.get(), size + 1)) << name << " " << spare;
        }
    }
}

// Every number is a REG_DWORD of its masked value; texts keep their NULs.
TEST(RegKeyWrites, StoredTypesAndBytes)
{
    SandboxKey s;
    EXPECT_TRUE(s.key.WriteWord("w", 0x12345));
    EXPECT_TRUE(s.key.WriteByte("b", 300));
    EXPECT_TRUE(s.key.WriteBool("f", 0x101));
    EXPECT_TRUE(s.key.WriteDword("d", 0xFFFFFFFF));
    EXPECT_TRUE(s.key.WriteString("s", "abc"));
    EXPECT_TRUE(s.key.WriteMultiString("m", "x\0yz\0"));
    const struct {
        const char* name;
        DWORD type;
        std::vector<BYTE> data;
    } stored[] = {{"w", REG_DWORD, {0x45, 0x23, 0, 0}}, {"b", REG_DWORD, {44, 0, 0, 0}},
                  {"f", REG_DWORD, {1, 0, 0, 0}},       {"d", REG_DWORD, {0xFF, 0xFF, 0xFF, 0xFF}},
                  {"s", REG_SZ, {'a', 'b', 'c', 0}},    {"m", REG_MULTI_SZ, {'x', 0, 'y', 'z', 0, 0}}};
    for (const auto& v : stored) {
        DWORD type = 0;
        std::vector<BYTE> data;
        GetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), v.name, &type, &data);
        EXPECT_EQ(v.type, type) << v.name;
        EXPECT_EQ(v.data, data) << v.name;
    }
    EXPECT_EQ(2u, s.key.GetMaxValueNameLength()) << "longest name plus one";

    RegReadKey absent(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchKey");
    EXPECT_FALSE(absent.WriteString("b", "x"));
    EXPECT_FALSE(absent.EnumValue(0, nullptr, 0, nullptr, nullptr, 0));
    EXPECT_EQ(0u, absent.GetMaxValueNameLength());
    EXPECT_EQ(0u, absent.GetMaxValueDataSize());
}

TEST(RegKeySharedAttributes, ExistExactlyWhileKeysExist)
{
    ASSERT_EQ(0u, RegKey::LiveCount());
    EXPECT_EQ(nullptr, RegKey::SharedAttributes());
    {
        RegReadKey a(HKEY_CURRENT_USER, "Software");
        SECURITY_ATTRIBUTES* attributes = RegKey::SharedAttributes();
        ASSERT_NE(nullptr, attributes);
        EXPECT_TRUE(attributes->bInheritHandle);
        BOOL present = FALSE, defaulted = TRUE;
        PACL dacl = reinterpret_cast<PACL>(1);
        ASSERT_TRUE(GetSecurityDescriptorDacl(attributes->lpSecurityDescriptor, &present, &dacl, &defaulted));
        EXPECT_TRUE(present);
        EXPECT_EQ(nullptr, dacl) << "a null DACL grants everyone all access";
        EXPECT_FALSE(defaulted);
        {
            RegReadKey b(HKEY_CURRENT_USER, "Software");
            EXPECT_EQ(attributes, RegKey::SharedAttributes());
        }
        EXPECT_EQ(1u, RegKey::LiveCount());
    }
    EXPECT_EQ(0u, RegKey::LiveCount());
    EXPECT_EQ(nullptr, RegKey::SharedAttributes());
}
