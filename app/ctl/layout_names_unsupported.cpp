// Systems without xkbcommon have no layouts by name: commands keep the US names.
#include "layout_names.h"

namespace quillpad::ctl {

Status LoadLayoutNames(const std::string& /*name*/, std::shared_ptr<const KeyNameSet>& /*names*/) {
    return Fail(kExitUsage,
                "--layout is not supported on this system: key names are those of "
                "the keys' positions on a US keyboard");
}

}  // namespace quillpad::ctl
