// What Windows' accessibility layer (MSAA, which screen readers read) says about a control of
// the configuration window, where its window text is not enough: a picture that stands for a
// key or opens something, a key's label ("Key 1: Ctrl+F5"), the key function field's name and
// hint. The window answers WM_GETOBJECT for such a control with the system's own object for it,
// wrapped so that name, description, role and state come from here.
#pragma once

#include <windows.h>

#include <string>

namespace quillpad {

struct AccessibleFacts {
    std::wstring name;         // empty: the system's name (the window text)
    std::wstring description;  // empty: the system's
    long role = 0;             // a ROLE_SYSTEM_ value; 0: the system's
    bool selectable = false;   // one of several keys: selected and checked when current
    bool selected = false;
};

// Gives control a wrapped accessible object answering from facts, which must outlive the
// control. Call once per control, after it was created.
void MakeAccessible(HWND control, const AccessibleFacts* facts);

// Tells listening screen readers that control's name, description or state changed.
void AnnounceNameChange(HWND control);
void AnnounceDescriptionChange(HWND control);
void AnnounceStateChange(HWND control);

}  // namespace quillpad
