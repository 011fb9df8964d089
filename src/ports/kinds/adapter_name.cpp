#include "ports/kinds/adapter_name.h"

#include <string.h>

const char DefaultNic[] = "Default";

void CopyNic(char* nic, size_t size, const char* name)
{
    if (!nic || size == 0 || nic == name)
        return;
    size_t length = name ? strnlen(name, size - 1) : 0;
    // memmove is undefined for a null source even when it copies nothing.
    if (length)
        memmove(nic, name, length);
    nic[length] = '\0';
}
