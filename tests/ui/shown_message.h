// A message box the window showed in a test, as the view was asked to show it.
#pragma once

#include <string>

namespace quillpad::testing {

struct ShownMessage {
    std::string text;
    std::string caption;
    unsigned type;
};

}  // namespace quillpad::testing
