// The user's keyboard layout through xkbcommon: what the character keys type.
#pragma once

#include <memory>
#include <string>

namespace quillpad {

// The character the active layout group puts on the key with this evdev code without any
// modifier, upper-cased (one code point to one code point, and only where the lower case of the
// result is the character again: the Turkish dotless i stays), as UTF-8. Dead keys give their
// spacing accent. Empty when there is no keymap or the key gives no printable character.
std::string LayoutKeyCharacter(int evdev);

// The character the same key gives with Shift, as it is (not case-mapped); empty as above.
std::string LayoutShiftedKeyCharacter(int evdev);

// The keymap's word for what the key gives without modifiers ("Zenkaku_Hankaku"), for keys
// that type nothing; empty when there is no keymap or the key gives nothing.
std::string LayoutKeySymName(int evdev);

// Where those characters come from: a keymap, compiled on first use and kept. The installed
// one is process-wide. By default it is the user's: the X server's keymap and active layout
// group when Qt runs on X11, the keymap the compositor sends (its first group, followed when it
// changes) when Qt runs on Wayland, otherwise xkbcommon's default keymap (XKB_DEFAULT_LAYOUT and
// friends, else US). Tests install one layout by name so that names do not depend on the
// machine. Without any usable keymap the character keys are named after the US layout.
class LayoutKeymap {
  public:
    virtual ~LayoutKeymap() = default;
    // As LayoutKeyCharacter (shifted false) and LayoutShiftedKeyCharacter (shifted true).
    virtual std::string Character(int evdev, bool shifted) = 0;
    // As LayoutKeySymName; a keymap without such words gives none.
    virtual std::string SymName(int /*evdev*/) { return {}; }
};

// One layout by its XKB names, ignoring both the X server and the environment; an empty layout
// means xkbcommon's built-in default (US).
std::unique_ptr<LayoutKeymap> MakeNamedLayoutKeymap(const std::string& layout,
                                                    const std::string& variant = {});

// Installs the keymap key names come from (the caller keeps ownership); nullptr restores the
// user's.
void SetLayoutKeymap(LayoutKeymap* keymap);
LayoutKeymap& GetLayoutKeymap();

}  // namespace quillpad
