// libFuzzer target for the texts people give quillpadctl: assignment texts and profiles.
// Besides never crashing, whatever parses must print as a text that parses back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "assignment_text.h"
#include "profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quillpad;
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    const AssignmentParse assignment = ParseAssignmentText(text);
    if (assignment.ok) {
        const AssignmentParse again =
            ParseAssignmentText(CanonicalAssignmentText(assignment.assignment));
        if (!again.ok || !(again.assignment == assignment.assignment))
            std::abort();
    } else if (assignment.error.empty() || assignment.error.find('\n') != std::string::npos) {
        std::abort();
    }

    const ProfileParse profile = ParseProfile(text);
    if (profile.ok) {
        KeyAssignments keys{};
        ApplyProfile(profile.keys, keys);
        const ProfileParse again = ParseProfile(FormatProfile(keys, "fuzz"));
        KeyAssignments reloaded{};
        if (!again.ok)
            std::abort();
        ApplyProfile(again.keys, reloaded);
        if (!(reloaded == keys))
            std::abort();
    } else if (profile.error.empty() || profile.error.find('\n') != std::string::npos) {
        std::abort();
    }
    return 0;
}
