// A registry key that a test creates and must leave behind as it found it.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Remembers the first component of path below root that does not exist yet
// and deletes that key with everything in it when the scope ends, so that
// the keys a test creates on the way go too. A path that exists already is
// deleted whole at the end (tests own the keys they name).
class ScopedKeyPath {
public:
    ScopedKeyPath(HKEY root, const std::string& path);
    ~ScopedKeyPath();
    ScopedKeyPath(const ScopedKeyPath&) = delete;
    ScopedKeyPath& operator=(const ScopedKeyPath&) = delete;

    const std::string& Path() const { return path; }

private:
    HKEY root;
    std::string path;
    std::string created;
};

// A list of strings as stored in a REG_MULTI_SZ value: each with its NUL,
// then the closing NUL.
std::vector<char> MultiString(const std::vector<std::string>& entries);
