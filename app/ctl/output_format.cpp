#include "output_format.h"

#include <algorithm>
#include <cstdio>

#include "assignment_text.h"
#include "key_codes.h"
#include "utf8.h"

namespace quillpad::ctl {

std::string HexByte(std::uint8_t value) {
    char text[5];
    std::snprintf(text, sizeof text, "0x%02X", value);
    return text;
}

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c >= 0x80) {
            const std::size_t length = utf8::CharLength(text, i);
            if (utf8::Decode(text, i)) {
                out.append(text.substr(i, length));
            } else {
                out += "\\ufffd";
            }
            i += length;
            continue;
        }
        ++i;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[7];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string FormatKeysTable(const KeyAssignments& keys, const KeyNameSet* names) {
    std::size_t width = 8;
    for (const KeyAssignment& key : keys)
        width = std::max(width, utf8::Length(CanonicalAssignmentText(key, names)));
    std::string out;
    for (int number = 1; number <= kKeyCount; ++number) {
        const KeyAssignment& key = KeyByNumber(keys, number);
        const std::string canonical = CanonicalAssignmentText(key, names);
        const std::string shown = WindowAssignmentText(key, names);
        out += "key " + std::to_string(number) + "  " + canonical +
               std::string(width - utf8::Length(canonical), ' ') + "  vk " + HexByte(key.vk) +
               "  modifiers " + HexByte(key.modifiers) + "  mouse " + HexByte(key.mouse);
        if (shown != canonical)
            out += "  (the window shows \"" + shown + "\")";
        out += '\n';
    }
    return out;
}

std::string FormatKeysJson(const KeyAssignments& keys, const KeyNameSet* names) {
    std::string out = "[\n";
    for (int number = 1; number <= kKeyCount; ++number) {
        const KeyAssignment& key = KeyByNumber(keys, number);
        out += "  {\"key\": " + std::to_string(number) + ", \"vk\": " + std::to_string(key.vk) +
               ", \"modifiers\": " + std::to_string(key.modifiers) +
               ", \"mouse\": " + std::to_string(key.mouse) +
               ", \"text\": " + JsonString(WindowAssignmentText(key, names)) +
               ", \"canonical\": " + JsonString(CanonicalAssignmentText(key, names)) +
               ", \"usage\": " + std::to_string(VkToUsage(key.vk)) + "}" +
               (number < kKeyCount ? ",\n" : "\n");
    }
    return out + "]\n";
}

std::string FormatKeyNames(const std::vector<NamedKey>& keys) {
    std::string out;
    for (const NamedKey& key : keys)
        out += key.name + '\t' + HexByte(key.usage) + '\n';
    return out;
}

std::string FormatKeyNamesJson(const std::vector<NamedKey>& keys) {
    std::string out = "[\n";
    for (std::size_t i = 0; i < keys.size(); ++i) {
        out += "  {\"name\": " + JsonString(keys[i].name) +
               ", \"usage\": " + std::to_string(keys[i].usage) + "}" +
               (i + 1 < keys.size() ? ",\n" : "\n");
    }
    return out + "]\n";
}

std::string FormatHexDump(const ConfigBlock& block) {
    std::string out;
    char cell[24];
    for (std::size_t offset = 0; offset < block.size(); offset += 16) {
        std::snprintf(cell, sizeof cell, "%04zX:", offset);
        out += cell;
        for (std::size_t i = offset; i < std::min(offset + 16, block.size()); ++i) {
            std::snprintf(cell, sizeof cell, " %02X", block[i]);
            out += cell;
        }
        out += '\n';
    }
    return out;
}

}  // namespace quillpad::ctl
