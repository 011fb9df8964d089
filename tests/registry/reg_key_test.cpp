#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "registry/reg_key.h"
#include "support/registry_sandbox.h"

namespace {

// A key object over a sandbox path, opened for writing.
struct SandboxKey {
    RegistrySandbox sandbox;
    RegWriteKey key{HKEY_CURRENT_USER, sandbox.Path().c_str()};
};

std::string ClassOf(HKEY root, const std::string& path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<missing>";
    char name[64] = "";
    DWORD length = sizeof(name);
    RegQueryInfoKeyA(key, name, &length, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return name;
}

}  // namespace

// ---------------------------------------------------------------------------
// Path operations

TEST(RegKeyPaths, EmptyPathYieldsRootAndKeyOwnsIt)
{
    EXPECT_EQ(HKEY_CURRENT_USER, RegKey::OpenKeyPath(HKEY_CURRENT_USER, ""));
    EXPECT_EQ(HKEY_CURRENT_USER, RegKey::CreateKeyPath(HKEY_CURRENT_USER, ""));
    {
        RegReadKey root(HKEY_CURRENT_USER, "");
        EXPECT_EQ(HKEY_CURRENT_USER, root.Handle());
    }
    // Closing a predefined root is harmless: it still works afterwards.
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software"));
}

TEST(RegKeyPaths, CreateMakesEveryLevelWithClassOrvanta)
{
    RegistrySandbox sandbox;
    std::string path = sandbox.Path() + "\\A\\B\\C";
    {
        RegWriteKey key(HKEY_CURRENT_USER, path.c_str());
        ASSERT_NE(nullptr, key.Handle());
        EXPECT_TRUE(key.WriteDword("x", 1));
    }
    EXPECT_EQ("Orvanta", ClassOf(HKEY_CURRENT_USER, sandbox.Path() + "\\A"));
    EXPECT_EQ("Orvanta", ClassOf(HKEY_CURRENT_USER, path));
    EXPECT_EQ(1u, GetDword(HKEY_CURRENT_USER, path, "x"));
}

TEST(RegKeyPaths, OpenFailsOnAnyMissingLevelAndNeverCreates)
{
    RegistrySandbox sandbox;
    std::string path = sandbox.Path() + "\\Missing\\Deeper";
    EXPECT_EQ(nullptr, RegKey::OpenKeyPath(HKEY_CURRENT_USER, path.c_str()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, sandbox.Path() + "\\Missing"));
    // A component longer than any key name can be fails cleanly.
    std::string longName = sandbox.Path() + "\\" + std::string(300, 'k');
    EXPECT_EQ(nullptr, RegKey::OpenKeyPath(HKEY_CURRENT_USER, longName.c_str()));
    EXPECT_EQ(nullptr, RegKey::CreateKeyPath(HKEY_CURRENT_USER, longName.c_str()));
}

TEST(RegKeyPaths, OpenedKeyIsReadOnly)
{
    RegistrySandbox sandbox;
    RegReadKey key(HKEY_CURRENT_USER, sandbox.Path().c_str());
    ASSERT_NE(nullptr, key.Handle());
    EXPECT_FALSE(key.WriteDword("x", 1));
}

TEST(RegKeyPaths, DeleteKeyPathDeletesValueOrTreeOrNothing)
{
    RegistrySandbox sandbox;
    std::string base = sandbox.Path() + "\\One\\Two";
    SetDword(HKEY_CURRENT_USER, base, "Leaf", 5);
    SetDword(HKEY_CURRENT_USER, base + "\\Tree\\Inner", "v", 1);
    SetDword(HKEY_CURRENT_USER, base + "\\Tree", "w", 2);

    EXPECT_TRUE(RegKey::DeleteKeyPath(HKEY_CURRENT_USER, (base + "\\Leaf").c_str()));
    DWORD type;
    EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, base, "Leaf", &type, nullptr));

    EXPECT_TRUE(RegKey::DeleteKeyPath(HKEY_CURRENT_USER, (base + "\\Tree").c_str()));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, base + "\\Tree"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, base));

    EXPECT_FALSE(RegKey::DeleteKeyPath(HKEY_CURRENT_USER, (base + "\\Nothing").c_str()));
    EXPECT_FALSE(RegKey::DeleteKeyPath(HKEY_CURRENT_USER, ""));
}

TEST(RegKeyPaths, DeleteKeyPathCreatesMissingIntermediateKeys)
{
    RegistrySandbox sandbox;
    std::string path = sandbox.Path() + "\\New1\\New2\\Gone";
    EXPECT_FALSE(RegKey::DeleteKeyPath(HKEY_CURRENT_USER, path.c_str()));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, sandbox.Path() + "\\New1\\New2"));
    EXPECT_EQ("Orvanta", ClassOf(HKEY_CURRENT_USER, sandbox.Path() + "\\New1"));
}

TEST(RegKeyPaths, DeleteKeyPathPrefersValueOverKeyOfSameName)
{
    RegistrySandbox sandbox;
    SetDword(HKEY_CURRENT_USER, sandbox.Path(), "Same", 1);
    SetDword(HKEY_CURRENT_USER, sandbox.Path() + "\\Same", "inner", 1);
    EXPECT_TRUE(RegKey::DeleteKeyPath(HKEY_CURRENT_USER, (sandbox.Path() + "\\Same").c_str()));
    DWORD type;
    EXPECT_FALSE(GetRaw(HKEY_CURRENT_USER, sandbox.Path(), "Same", &type, nullptr));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, sandbox.Path() + "\\Same"));
}

TEST(RegKeyPaths, DeleteKeyTreeRemovesLongNamesAndManyEntries)
{
    RegistrySandbox sandbox;
    std::string tree = sandbox.Path() + "\\Tree";
    // Names longer than 25 characters, many values, nested keys.
    for (int i = 0; i < 40; ++i)
        SetDword(HKEY_CURRENT_USER, tree, (std::string(200, 'v') + std::to_string(i)).c_str(), i);
    SetDword(HKEY_CURRENT_USER, tree + "\\" + std::string(255, 'k'), "x", 1);
    SetDword(HKEY_CURRENT_USER, tree + "\\a\\b\\c\\d", std::string(1000, 'n').c_str(), 1);

    EXPECT_EQ(ERROR_SUCCESS, RegKey::DeleteKeyTree(sandbox.Key(), "Tree"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, tree));
    EXPECT_NE(ERROR_SUCCESS, RegKey::DeleteKeyTree(sandbox.Key(), "Tree"));
}

// ---------------------------------------------------------------------------
// Number reads

TEST(RegKeyReads, NumbersFallBackToDefault)
{
    SandboxKey s;
    DWORD d = 0;
    BYTE b = 0;
    WORD w = 0;
    bool f = false;
    EXPECT_TRUE(s.key.ReadDword("missing", d, 77));
    EXPECT_EQ(77u, d);
    EXPECT_TRUE(s.key.ReadByte("missing", b, 7));
    EXPECT_EQ(7, b);
    EXPECT_TRUE(s.key.ReadWord("missing", w, 700));
    EXPECT_EQ(700, w);
    EXPECT_TRUE(s.key.ReadBool("missing", f, true));
    EXPECT_TRUE(f);

    RegReadKey absent(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchKey\\Deeper");
    EXPECT_EQ(nullptr, absent.Handle());
    absent.ReadDword("x", d, 12);
    EXPECT_EQ(12u, d);
}

TEST(RegKeyReads, WrongSizesGiveDefaultOrZeroExtend)
{
    SandboxKey s;
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    SetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "eight", REG_BINARY, eight, 8);
    const BYTE two[2] = {0x34, 0x12};
    SetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "two", REG_BINARY, two, 2);

    DWORD d = 0;
    s.key.ReadDword("eight", d, 99);
    EXPECT_EQ(99u, d);
    // Whatever was in the buffer before must not leak into the upper bytes.
    s.key.ReadDword("two", d, 99);
    EXPECT_EQ(0x1234u, d);
}

TEST(RegKeyReads, NarrowReadsTakeLowBitsOfLittleEndianValue)
{
    SandboxKey s;
    SetDword(HKEY_CURRENT_USER, s.sandbox.Path(), "n", 0x12345678);
    SetDword(HKEY_CURRENT_USER, s.sandbox.Path(), "big", 0x100);
    BYTE b = 0;
    WORD w = 0;
    bool f = false;
    s.key.ReadByte("n", b, 0);
    EXPECT_EQ(0x78, b);
    s.key.ReadWord("n", w, 0);
    EXPECT_EQ(0x5678, w);
    // A value whose low byte is zero is still "true".
    s.key.ReadBool("big", f, false);
    EXPECT_TRUE(f);
    SetDword(HKEY_CURRENT_USER, s.sandbox.Path(), "zero", 0);
    s.key.ReadBool("zero", f, true);
    EXPECT_FALSE(f);
}

// ---------------------------------------------------------------------------
// String reads

TEST(RegKeyReads, StringStoredOrDefaultCutToBuffer)
{
    SandboxKey s;
    SetString(HKEY_CURRENT_USER, s.sandbox.Path(), "s", "hello");
    char buffer[16];
    s.key.ReadString("s", buffer, sizeof(buffer), "default");
    EXPECT_STREQ("hello", buffer);

    s.key.ReadString("missing", buffer, sizeof(buffer), "abcdefghijklmnopqrst");
    EXPECT_STREQ("abcdefghijklmno", buffer);  // 15 characters and the NUL
}

TEST(RegKeyReads, StringLongerThanBufferGivesDefault)
{
    SandboxKey s;
    SetString(HKEY_CURRENT_USER, s.sandbox.Path(), "long", std::string(40, 'x'));
    char buffer[17];
    memset(buffer, '#', sizeof(buffer));
    s.key.ReadString("long", buffer, 16, "dflt");
    EXPECT_STREQ("dflt", buffer);
    EXPECT_EQ('#', buffer[16]) << "wrote past the buffer";

    // Exactly filling the buffer without its terminator does not fit either.
    const char raw[4] = {'a', 'b', 'c', 'd'};
    SetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "raw", REG_SZ, raw, 4);
    char four[5];
    memset(four, '#', sizeof(four));
    s.key.ReadString("raw", four, 4, "z");
    EXPECT_STREQ("z", four);
    EXPECT_EQ('#', four[4]);

    // Stored without terminator but shorter than the buffer: terminated.
    s.key.ReadString("raw", buffer, 16, "z");
    EXPECT_STREQ("abcd", buffer);
}

TEST(RegKeyReads, StringWithTinyBuffers)
{
    SandboxKey s;
    char one[2] = {'#', '#'};
    s.key.ReadString("missing", one, 1, "abc");
    EXPECT_EQ('\0', one[0]);
    EXPECT_EQ('#', one[1]);
    char untouched = '#';
    s.key.ReadString("missing", &untouched, 0, "abc");
    EXPECT_EQ('#', untouched);
    char buffer[8];
    s.key.ReadString("missing", buffer, sizeof(buffer), nullptr);
    EXPECT_STREQ("", buffer);
}

TEST(RegKeyReads, MultiStringDefaultSizesAndCut)
{
    SandboxKey s;
    const char def[] = "a\0bc\0";  // a, bc, closing empty string
    DWORD size = 0;
    s.key.ReadMultiString("missing", nullptr, size, def);
    EXPECT_EQ(6u, size);

    char buffer[8];
    memset(buffer, '#', sizeof(buffer));
    size = 4;
    s.key.ReadMultiString("missing", buffer, size, def);
    EXPECT_EQ(6u, size);
    // Cut to four bytes and closed: "a", "" ...
    EXPECT_EQ(0, memcmp(buffer, "a\0\0\0", 4));
    EXPECT_EQ('#', buffer[4]);

    size = 1;
    memset(buffer, '#', sizeof(buffer));
    s.key.ReadMultiString("missing", buffer, size, def);
    EXPECT_EQ('\0', buffer[0]);
    EXPECT_EQ('#', buffer[1]);
}

TEST(RegKeyReads, MultiStringStoredSizeQueryThenRead)
{
    SandboxKey s;
    const char list[] = "A\0Bee\0";
    SetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "list", REG_MULTI_SZ, list, sizeof(list));
    DWORD size = 0;
    s.key.ReadMultiString("list", nullptr, size, "Default\0");
    EXPECT_EQ(2 * sizeof(list), size);

    std::string buffer(size + 1, '#');
    s.key.ReadMultiString("list", &buffer[0], size, "Default\0");
    EXPECT_EQ(0, memcmp(buffer.data(), list, sizeof(list)));
}

TEST(RegKeyReads, MultiStringNotClosedIsClosedWithinBuffer)
{
    SandboxKey s;
    const char open[3] = {'A', 'B', 'C'};  // no terminator at all
    SetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "open", REG_MULTI_SZ, open, 3);
    DWORD size = 0;
    s.key.ReadMultiString("open", nullptr, size, "");
    std::string buffer(size + 1, '#');
    DWORD capacity = size + 1;
    s.key.ReadMultiString("open", &buffer[0], capacity, "");
    // The caller can walk the list and stops inside the buffer.
    size_t first = strlen(buffer.c_str());
    ASSERT_LT(first + 1, buffer.size());
    EXPECT_EQ('\0', buffer[first + 1]);

    // A buffer filled exactly: the last two bytes are forced closed.
    char exact[3];
    DWORD three = 3;
    s.key.ReadMultiString("open", exact, three, "");
    EXPECT_EQ('\0', exact[2]);
    EXPECT_EQ('\0', exact[1]);
}

// ---------------------------------------------------------------------------
// Writes and enumeration

TEST(RegKeyWrites, NumbersAreStoredAsMaskedDwords)
{
    SandboxKey s;
    EXPECT_TRUE(s.key.WriteWord("w", 0x12345));
    EXPECT_TRUE(s.key.WriteByte("b", 300));
    EXPECT_TRUE(s.key.WriteBool("f", 0x101));
    EXPECT_TRUE(s.key.WriteDword("d", 0xFFFFFFFF));
    std::vector<BYTE> data;
    DWORD type = 0;
    ASSERT_TRUE(GetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "w", &type, &data));
    EXPECT_EQ(DWORD(REG_DWORD), type);
    EXPECT_EQ(4u, data.size());
    EXPECT_EQ(0x2345u, GetDword(HKEY_CURRENT_USER, s.sandbox.Path(), "w"));
    EXPECT_EQ(44u, GetDword(HKEY_CURRENT_USER, s.sandbox.Path(), "b"));
    EXPECT_EQ(1u, GetDword(HKEY_CURRENT_USER, s.sandbox.Path(), "f"));
    EXPECT_EQ(0xFFFFFFFFu, GetDword(HKEY_CURRENT_USER, s.sandbox.Path(), "d"));
}

TEST(RegKeyWrites, TextsKeepTheirTerminators)
{
    SandboxKey s;
    EXPECT_TRUE(s.key.WriteString("s", "abc"));
    EXPECT_TRUE(s.key.WriteString("empty", ""));
    EXPECT_TRUE(s.key.WriteMultiString("m", "x\0yz\0"));
    std::vector<BYTE> data;
    DWORD type = 0;
    GetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "s", &type, &data);
    EXPECT_EQ(DWORD(REG_SZ), type);
    EXPECT_EQ((std::vector<BYTE>{'a', 'b', 'c', 0}), data);
    GetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "empty", &type, &data);
    EXPECT_EQ((std::vector<BYTE>{0}), data);
    GetRaw(HKEY_CURRENT_USER, s.sandbox.Path(), "m", &type, &data);
    EXPECT_EQ(DWORD(REG_MULTI_SZ), type);
    EXPECT_EQ((std::vector<BYTE>{'x', 0, 'y', 'z', 0, 0}), data);
}

TEST(RegKeyWrites, NullKeyFailsEveryWrite)
{
    RegReadKey absent(HKEY_CURRENT_USER, "Software\\TolmarinNoSuchKey");
    EXPECT_FALSE(absent.WriteDword("a", 1));
    EXPECT_FALSE(absent.WriteString("b", "x"));
    EXPECT_FALSE(absent.WriteMultiString("c", "x\0"));
    EXPECT_FALSE(absent.EnumValue(0, nullptr, 0, nullptr, nullptr, 0));
    EXPECT_EQ(0u, absent.GetMaxValueNameLength());
    EXPECT_EQ(0u, absent.GetMaxValueDataSize());
}

TEST(RegKeyWrites, EnumerationAndKeyInfo)
{
    SandboxKey s;
    s.key.WriteString("Longest_Name", "0123456789");
    s.key.WriteDword("n", 3);
    EXPECT_EQ(13u, s.key.GetMaxValueNameLength());
    // NT stores texts as UTF-16 and may report their wide size.
    EXPECT_GE(s.key.GetMaxValueDataSize(), 11u);
    char name[32];
    BYTE data[32];
    DWORD type = 0;
    int found = 0;
    for (DWORD i = 0; s.key.EnumValue(i, name, sizeof(name), &type, data, sizeof(data)); ++i)
        ++found;
    EXPECT_EQ(2, found);
    // A name buffer too small for the name fails instead of overflowing.
    char tiny[4];
    EXPECT_FALSE(s.key.EnumValue(0, tiny, sizeof(tiny), &type, nullptr, 0) &&
                 s.key.EnumValue(1, tiny, sizeof(tiny), &type, nullptr, 0));
}

// ---------------------------------------------------------------------------
// Shared all-access attributes

TEST(RegKeySharedAttributes, LiveExactlyWhileKeysExist)
{
    ASSERT_EQ(0u, RegKey::LiveCount());
    EXPECT_EQ(nullptr, RegKey::SharedAttributes());
    {
        RegReadKey a(HKEY_CURRENT_USER, "Software");
        SECURITY_ATTRIBUTES* attributes = RegKey::SharedAttributes();
        ASSERT_NE(nullptr, attributes);
        EXPECT_EQ(12u, attributes->nLength);
        EXPECT_TRUE(attributes->bInheritHandle);
        BOOL present = FALSE, defaulted = TRUE;
        PACL dacl = reinterpret_cast<PACL>(1);
        ASSERT_TRUE(GetSecurityDescriptorDacl(attributes->lpSecurityDescriptor, &present, &dacl,
                                              &defaulted));
        EXPECT_TRUE(present);
        EXPECT_EQ(nullptr, dacl);
        EXPECT_FALSE(defaulted);
        {
            RegReadKey b(HKEY_CURRENT_USER, "Software");
            EXPECT_EQ(2u, RegKey::LiveCount());
            EXPECT_EQ(attributes, RegKey::SharedAttributes());
        }
        EXPECT_EQ(1u, RegKey::LiveCount());
    }
    EXPECT_EQ(0u, RegKey::LiveCount());
    EXPECT_EQ(nullptr, RegKey::SharedAttributes());
}
