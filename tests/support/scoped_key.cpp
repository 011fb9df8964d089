#include "support/scoped_key.h"

#include "support/registry_sandbox.h"

ScopedKeyPath::ScopedKeyPath(HKEY root, const std::string& path) : root(root), path(path)
{
    created = path;
    for (size_t end = path.find('\\'); end != std::string::npos; end = path.find('\\', end + 1)) {
        if (!KeyExists(root, path.substr(0, end))) {
            created = path.substr(0, end);
            break;
        }
    }
}

ScopedKeyPath::~ScopedKeyPath()
{
    DeleteTree(root, created);
}

std::vector<char> MultiString(const std::vector<std::string>& entries)
{
    std::vector<char> list;
    for (const std::string& entry : entries) {
        list.insert(list.end(), entry.begin(), entry.end());
        list.push_back('\0');
    }
    list.push_back('\0');
    return list;
}
