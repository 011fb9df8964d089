// Registry key objects: one open key handle each, typed reads that never
// fail (the caller's default stands in) and typed writes that report
// success, plus the key-path operations. Every number is stored as a 32-bit
// REG_DWORD, whatever its width in memory. ANSI calls throughout.
#pragma once
#include <windows.h>

#include <memory>

// Security attributes that give every account full access: a security
// descriptor with a null DACL. Filled only when the descriptor is set up.
class SAAllAccess {
public:
    SAAllAccess();
    // The attributes, or null when the descriptor could not be set up (keys
    // are then created with default security).
    SECURITY_ATTRIBUTES* Attributes();

private:
    SECURITY_DESCRIPTOR descriptor;
    SECURITY_ATTRIBUTES attributes;
    bool ready;
};

class RegKey {
public:
    // The path operations. A path is a sequence of components separated by
    // a backslash; the empty path names the root itself. Its last component
    // is the key asked for, which may lie in a tree that every account can
    // write (the Port Table): it is the only one created with the all-access
    // attributes, and it is never reached through a registry link (a link
    // there opens as a missing key and refuses writes). The components
    // before it are ancestors kept by the system: links among them are
    // followed (CurrentControlSet is one), and a missing one is created with
    // default security.
    static HKEY OpenKeyPath(HKEY root, const char* path);
    // OpenKeyPath for a key whose values are only read by name and whose
    // subkeys are only opened: a link as the last component is opened as
    // itself without the question whether it is one, which those reads
    // answer as they would for a missing key. Not for enumerations, which
    // would list the link's "SymbolicLinkValue".
    static HKEY OpenKeyPathForNames(HKEY root, const char* path);
    static HKEY CreateKeyPath(HKEY root, const char* path);
    static bool DeleteKeyPath(HKEY root, const char* path);
    // Deletes subkey name of parent with all it holds. A registry link is
    // deleted itself, never the key it points to.
    static LONG DeleteKeyTree(HKEY parent, const char* name);

    // The calls through which keys are created and values stored:
    // RegCreateKeyExA and RegSetValueExA. A test puts a wrapper in their
    // place to see the security attributes each key is created with (not
    // every registry keeps them) or to make one write fail.
    static decltype(&RegCreateKeyExA) CreateKeyCall;
    static decltype(&RegSetValueExA) SetValueCall;

    RegKey();
    virtual ~RegKey();
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;

    HKEY Handle() const { return key; }

    // Reads: each returns true; the default stands in for a value that
    // cannot be read.
    bool ReadDword(const char* name, DWORD& out, DWORD def) const;
    bool ReadByte(const char* name, BYTE& out, BYTE def) const;
    bool ReadWord(const char* name, WORD& out, WORD def) const;
    bool ReadBool(const char* name, bool& out, bool def) const;
    bool ReadString(const char* name, char* buffer, DWORD size, const char* def) const;
    // A list of NUL-terminated strings closed by an empty string. With no
    // buffer (and a size of 0) it reports in size how much to allocate.
    bool ReadMultiString(const char* name, char* buffer, DWORD& size, const char* def) const;
    // The same list in a buffer of its own, for a reader that sizes its
    // buffer by the stored list: size is set as the reading without a buffer
    // sets it, and the buffer of size + 1 zeroed bytes holds what the reading
    // into it with a capacity of size + spare leaves. One registry call for a
    // short list. Null when memory runs out.
    std::unique_ptr<char[]> ReadMultiStringCopy(const char* name, DWORD& size, DWORD spare,
                                                const char* def) const;

    // Value-returning reads, the mirror of the writes below: the stored
    // value, narrowed as the matching ReadX narrows it, or def when it
    // cannot be read.
    DWORD ReadDword(const char* name, DWORD def) const;
    BYTE ReadByte(const char* name, BYTE def) const;
    WORD ReadWord(const char* name, WORD def) const;
    bool ReadBool(const char* name, bool def) const;

    bool EnumValue(DWORD index, char* name, DWORD nameCapacity, DWORD* type, BYTE* data,
                   DWORD dataCapacity) const;
    DWORD GetMaxValueNameLength() const;
    DWORD GetMaxValueDataSize() const;

    // Writes: true when the value was stored; false on a key that is not open.
    bool WriteDword(const char* name, DWORD value) const;
    bool WriteByte(const char* name, DWORD value) const;
    bool WriteBool(const char* name, DWORD value) const;
    bool WriteWord(const char* name, DWORD value) const;
    bool WriteString(const char* name, const char* text) const;
    bool WriteMultiString(const char* name, const char* list) const;

    // The shared all-access attributes while any key object exists, or null.
    static SECURITY_ATTRIBUTES* SharedAttributes();
    // How many key objects exist.
    static unsigned LiveCount() { return liveCount; }

protected:
    HKEY key;

private:
    bool ReadNumber(const char* name, DWORD& out) const;
    bool Write(const char* name, DWORD type, const void* data, DWORD size) const;

    static unsigned liveCount;
    static SAAllAccess* shared;
};

// A key opened for reading with OpenKeyPath; null handle when it is missing.
class RegReadKey : public RegKey {
public:
    RegReadKey(HKEY root, const char* path);
    ~RegReadKey() override;
};

// A key opened for reading with OpenKeyPathForNames: values by name and
// subkeys only. The Port Table's load reads every key through it, one
// registry call fewer a key than RegReadKey.
class RegNamedReadKey : public RegKey {
public:
    RegNamedReadKey(HKEY root, const char* path);
    ~RegNamedReadKey() override;
};

// A key created (or opened) for writing with CreateKeyPath.
class RegWriteKey : public RegKey {
public:
    RegWriteKey(HKEY root, const char* path);
    ~RegWriteKey() override;
};
