// A modal message box from the kMb... type bits, answering a kAnswer... value.
#pragma once

#include <string>

class QWidget;

namespace quillpad {

int RunMessageBox(QWidget* parent, const std::string& text, const std::string& caption,
                  unsigned type);

}  // namespace quillpad
