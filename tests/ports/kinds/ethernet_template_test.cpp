// Dialog template 500 as compiled into the program's resources: read back
// from the binary template, so that a slip in the resource script (a
// position, a style, a control id) shows here and not on a user's screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "resource.h"

namespace {

struct TemplateItem {
    DWORD style;
    WORD classAtom;
    int id;
    std::string text;
    short x, y, cx, cy;
};

struct DialogTemplate {
    DWORD style = 0;
    short cx = 0, cy = 0;
    std::string caption, font;
    WORD pointSize = 0;
    std::vector<TemplateItem> items;
};

// Reads a wide string (or 0xFFFF and an ordinal, given as "#n") and moves on.
std::string ReadText(const WORD*& p)
{
    if (*p == 0xFFFF) {
        std::string ordinal = "#" + std::to_string(p[1]);
        p += 2;
        return ordinal;
    }
    std::string text;
    while (*p)
        text += char(*p++);
    ++p;
    return text;
}

const WORD* AlignToDword(const WORD* p, const BYTE* base)
{
    size_t offset = reinterpret_cast<const BYTE*>(p) - base;
    return reinterpret_cast<const WORD*>(base + ((offset + 3) & ~size_t(3)));
}

DialogTemplate LoadTemplate(int id)
{
    DialogTemplate dialog;
    HRSRC resource = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    if (!resource)
        return dialog;
    const BYTE* base = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    const DLGTEMPLATE* header = reinterpret_cast<const DLGTEMPLATE*>(base);
    dialog.style = header->style;
    dialog.cx = header->cx;
    dialog.cy = header->cy;
    const WORD* p = reinterpret_cast<const WORD*>(header + 1);
    ReadText(p);  // menu
    ReadText(p);  // class
    dialog.caption = ReadText(p);
    if (header->style & DS_SETFONT) {
        dialog.pointSize = *p++;
        dialog.font = ReadText(p);
    }
    for (int i = 0; i < header->cdit; ++i) {
        p = AlignToDword(p, base);
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(p);
        TemplateItem read = {item->style, 0, short(item->id), "", item->x, item->y, item->cx, item->cy};
        p = reinterpret_cast<const WORD*>(item + 1);
        std::string className = ReadText(p);
        read.classAtom = className[0] == '#' ? WORD(std::stoi(className.substr(1))) : 0;
        read.text = ReadText(p);
        WORD extra = *p++;
        p = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(p) + extra);
        dialog.items.push_back(read);
    }
    return dialog;
}

const WORD Button = 0x80, Edit = 0x81, Static = 0x82, Combo = 0x85;

}  // namespace

TEST(EthernetDialogTemplate, FrameAndFont)
{
    DialogTemplate dialog = LoadTemplate(IDD_ETHERNET_PORT);
    EXPECT_EQ("Ethernet Port Properties", dialog.caption);
    EXPECT_EQ(250, dialog.cx);
    EXPECT_EQ(85, dialog.cy);
    EXPECT_EQ("MS Sans Serif", dialog.font);
    EXPECT_EQ(8, dialog.pointSize);
    EXPECT_TRUE(dialog.style & WS_CAPTION);
}

TEST(EthernetDialogTemplate, ControlsInTabOrder)
{
    struct Expected {
        WORD classAtom;
        int id;
        const char* text;
        short x, y, cx, cy;
    };
    const Expected expected[] = {
        {Static, -1, "&Port ID (1..255)", 7, 7, 50, 8},
        {Edit, 510, "", 7, 18, 50, 12},
        {Static, -1, "&Network Number (1..65534)", 64, 7, 90, 8},
        {Edit, 512, "", 64, 18, 90, 12},
        {Static, -1, "Network &Interface Card", 7, 37, 147, 8},
        {Combo, 516, "", 7, 47, 236, 44},
        {Button, 511, "&Attached", 7, 67, 146, 10},
        {Button, IDOK, "OK", 175, 7, 50, 14},
        {Button, IDCANCEL, "Cancel", 175, 24, 50, 14},
    };
    DialogTemplate dialog = LoadTemplate(IDD_ETHERNET_PORT);
    ASSERT_EQ(sizeof(expected) / sizeof(expected[0]), dialog.items.size());
    for (size_t i = 0; i < dialog.items.size(); ++i) {
        const TemplateItem& item = dialog.items[i];
        SCOPED_TRACE("control " + std::to_string(i) + " \"" + item.text + "\"");
        EXPECT_EQ(expected[i].classAtom, item.classAtom);
        EXPECT_EQ(expected[i].id, item.id);
        EXPECT_EQ(expected[i].text, item.text);
        EXPECT_EQ(expected[i].x, item.x);
        EXPECT_EQ(expected[i].y, item.y);
        EXPECT_EQ(expected[i].cx, item.cx);
        EXPECT_EQ(expected[i].cy, item.cy);
        EXPECT_TRUE(item.style & WS_VISIBLE);
    }
}

TEST(EthernetDialogTemplate, ControlStyles)
{
    DialogTemplate dialog = LoadTemplate(IDD_ETHERNET_PORT);
    ASSERT_EQ(9u, dialog.items.size());
    DWORD portId = dialog.items[1].style, adapters = dialog.items[5].style;
    DWORD attached = dialog.items[6].style, ok = dialog.items[7].style, cancel = dialog.items[8].style;
    EXPECT_TRUE(portId & ES_NUMBER) << "the port number takes digits only";
    EXPECT_EQ(DWORD(CBS_DROPDOWNLIST), adapters & 3u) << "a drop-down list without an edit field";
    EXPECT_FALSE(adapters & CBS_SORT) << "rows keep the adapters' order";
    EXPECT_TRUE(adapters & WS_VSCROLL);
    EXPECT_TRUE(adapters & WS_TABSTOP);
    EXPECT_EQ(DWORD(BS_AUTOCHECKBOX), attached & 0xFu);
    EXPECT_EQ(DWORD(BS_DEFPUSHBUTTON), ok & 0xFu);
    EXPECT_EQ(DWORD(BS_PUSHBUTTON), cancel & 0xFu);
}
