// Thin wrappers over the dialog controls that the port dialogs use again and
// again, so that a kind's dialog code reads as the fields it fills and reads.
// Each method is one Win32 call; BOOL becomes bool here.
#pragma once
#include <windows.h>

#include <commctrl.h>
#include <stdint.h>

// The numbers a dialog field takes: the valid ones, min to max, and how many
// characters the field lets the user type.
struct NumberRange {
    unsigned min, max;
    int characters;

    bool Contains(unsigned number) const { return number >= min && number <= max; }
};

// Any control of a dialog, named by its id.
class DialogItem {
public:
    DialogItem(HWND dialog, int id) : dialog(dialog), id(id) {}

    HWND Window() const { return GetDlgItem(dialog, id); }
    int Id() const { return id; }

    // Copies at most size - 1 characters and terminates; "" when size allows.
    void GetText(char* buffer, int size) const;
    void SetText(const char* text) const { SetDlgItemTextA(dialog, id, text); }
    // Unsigned decimal text as a number; 0 when it holds none.
    unsigned GetUnsigned() const;
    void SetUnsigned(unsigned value) const { SetDlgItemInt(dialog, id, value, FALSE); }

    // A number field: limits the text to range.characters and shows number in
    // unsigned decimal when range holds it, the empty text otherwise.
    void ShowNumber(unsigned number, const NumberRange& range) const;
    // Unsigned decimal text (GetDlgItemInt); 0 when it holds none or one
    // above range.max.
    unsigned ReadUnsigned(const NumberRange& range) const;
    // The text (up to 39 characters) read as "%i"; 0 when it holds no number
    // or one above range.max taken as unsigned, so any negative one too.
    unsigned ReadNumber(const NumberRange& range) const;
    // The text (up to characters) read as "%i" into value; false, value
    // untouched, when it holds no number.
    bool ScanNumber(int characters, int32_t& value) const;
    void LimitText(int characters) const { Send(EM_LIMITTEXT, WPARAM(characters), 0); }
    void SelectAllText() const { Send(EM_SETSEL, 0, -1); }

    bool IsChecked() const { return Send(BM_GETCHECK, 0, 0) != BST_UNCHECKED; }
    void SetChecked(bool checked) const { Send(BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }

    void Enable(bool enabled) const { EnableWindow(Window(), enabled ? TRUE : FALSE); }
    bool IsEnabled() const { return IsWindowEnabled(Window()) != FALSE; }
    void Focus() const { SetFocus(Window()); }

    LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const
    {
        return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
    }

private:
    HWND dialog;
    int id;
};

// A combo box (drop-down list) of a dialog.
class ComboBox : public DialogItem {
public:
    using DialogItem::DialogItem;

    void Clear() const { Send(CB_RESETCONTENT, 0, 0); }
    // Index of the new row, or a negative value when it was not added.
    int Add(const char* text) const { return int(Send(CB_ADDSTRING, 0, LPARAM(text))); }
    int Count() const { return int(Send(CB_GETCOUNT, 0, 0)); }
    // Selected row, or -1 (CB_ERR) when none is.
    int Selection() const { return int(Send(CB_GETCURSEL, 0, 0)); }
    void Select(int index) const { Send(CB_SETCURSEL, WPARAM(index), 0); }
};

// A list view, named by its window (a dialog's control or any other).
class ListView {
public:
    explicit ListView(HWND window) : window(window) {}
    ListView(HWND dialog, int id) : window(GetDlgItem(dialog, id)) {}

    HWND Window() const { return window; }
    // Number of rows; 0 for no window.
    int Count() const { return int(SendMessageA(window, LVM_GETITEMCOUNT, 0, 0)); }
    bool IsSelected(int row) const;
    void SetSelected(int row, bool selected) const;

private:
    HWND window;
};
