// The broadcast distribution table of a BACnet/IP port that acts as BBMD:
// the BBMDs to which it forwards broadcasts, kept in the order in which
// they were loaded or added, as the texts the user typed. It loads from and
// saves to the port's "Bip" subkey, checks itself, and moves to and from
// the list view of the BBMD page.
#pragma once
#include <windows.h>

#include <memory>

#include "ports/kinds/bdt_text.h"

class RegKey;

inline constexpr char NumBdtEntriesValue[] = "Num_Bdt_Entries";
inline constexpr char BdtEntryValuePrefix[] = "Bdt_Entry";  // followed by the index, from 0

class Bdt {
public:
    // The most entries read back from the registry. A stored count is not
    // checked by anything else, and a damaged one (a billion, or negative)
    // must neither hang the load nor exhaust memory; a BBMD forwards to one
    // peer per IP subnet, and no real site comes near this many.
    static constexpr int MaxLoadedEntries = 1024;

    Bdt() = default;
    virtual ~Bdt();
    Bdt(const Bdt&) = delete;
    Bdt& operator=(const Bdt&) = delete;

    void Clear();
    // Clear, then a copy of each of the other's entries, in order.
    void CopyFrom(const Bdt& other);
    // Appends a copy of entry; false when it could not be allocated.
    bool Append(const BdtEntry& entry);
    int Count() const { return count; }

    // Appends the stored entries, at most MaxLoadedEntries; unchecked.
    bool Load(const RegKey& key);
    // The count, then each entry; false at the first failed write.
    bool Save(const RegKey& key) const;
    // True for a valid table; else message 151 (an invalid entry) or 152 (an
    // entry equal to one before it), for the first entry that fails.
    bool Validate(int& messageId) const;
    static bool IsValidEntry(const BdtEntry& entry);

    // The list view shows the table, one row per entry.
    void FillListView(HWND list) const;
    // Appends one entry per row of the list view.
    void ReadListView(HWND list);

    static void GetRowTexts(HWND list, int row, BdtEntry& entry);
    // First row equal to entry, or -1.
    static int FindRow(HWND list, const BdtEntry& entry);
    static void AppendRow(HWND list, const BdtEntry& entry);

private:
    struct Node {
        BdtEntry entry;
        std::unique_ptr<Node> next;
    };
    std::unique_ptr<Node> head;
    Node* tail = nullptr;
    int count = 0;
};
