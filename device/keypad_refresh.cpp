#include "keypad_refresh.h"

#include "dev.h"

namespace quillpad {

int KeypadRefresh::Find(void* window, bool settle) const {
    if (settle)
        wait_(kRefreshSettleMs);
    return DevEnumerate(window);
}

bool KeypadRefresh::Read(int index, std::uint8_t* buffer, int length) const {
    wait_(kRefreshSettleMs);
    DevSelect(index);
    return DevReadBlock(buffer, 0, length) != 0;
}

}  // namespace quillpad
