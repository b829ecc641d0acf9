// --layout: the key names of a keyboard layout, so that the commands name keys as it types them.
#pragma once

#include <memory>
#include <string>

#include "assignment_text.h"
#include "status.h"

namespace quillpad::ctl {

// The names of the layout written as XKB names it ("de", "fr", "us(dvorak)"); a usage error
// naming it when this system cannot compile it.
Status LoadLayoutNames(const std::string& name, std::shared_ptr<const KeyNameSet>& names);

}  // namespace quillpad::ctl
