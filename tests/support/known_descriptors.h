// The real report descriptors in tests/data/hid-descriptors.json, each with the lengths the
// Windows HID parser computed for one of its top-level collections.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "json_reader.h"

namespace quillpad::testing {

struct KnownDescriptor {
    std::string name;
    std::string bytes;
    long long usagePage = 0, usage = 0, input = 0, output = 0, feature = 0;
};

inline std::string KnownDescriptorsPath() {
    return std::string(QUILLPAD_TESTDATA_DIR) + "/hid-descriptors.json";
}

// Every descriptor of the file. A missing or unreadable file, or an entry that lacks a field,
// is a test failure naming the file, never a skip: the data ships with the repository.
inline std::vector<KnownDescriptor> LoadKnownDescriptors() {
    const std::string path = KnownDescriptorsPath();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "test data missing: " << path;
        return {};
    }
    std::stringstream text;
    text << in.rdbuf();
    const std::string json = text.str();
    JsonValue root;
    if (!JsonReader(json).Read(root) || root.Find("devices") == nullptr) {
        ADD_FAILURE() << "unreadable test data: " << path;
        return {};
    }
    std::vector<KnownDescriptor> known;
    for (const JsonValue& device : root.Find("devices")->items) {
        KnownDescriptor d;
        const auto field = [&](const char* key) -> const JsonValue* {
            const JsonValue* v = device.Find(key);
            if (v == nullptr) {
                ADD_FAILURE() << path << ": an entry has no \"" << key << "\"";
            }
            return v;
        };
        const JsonValue* name = field("name");
        const JsonValue* hex = field("descriptor_hex");
        const JsonValue* numbers[] = {field("usage_page"), field("usage"), field("input_len"),
                                      field("output_len"), field("feature_len")};
        if (name == nullptr || hex == nullptr) {
            continue;
        }
        d.name = name->text;
        for (std::size_t i = 0; i + 1 < hex->text.size(); i += 2) {
            d.bytes += static_cast<char>(std::stoi(hex->text.substr(i, 2), nullptr, 16));
        }
        long long* into[] = {&d.usagePage, &d.usage, &d.input, &d.output, &d.feature};
        for (int i = 0; i < 5; ++i) {
            *into[i] = numbers[i] == nullptr ? -1 : numbers[i]->number;
        }
        known.push_back(d);
    }
    return known;
}

}  // namespace quillpad::testing
