// Just enough JSON for the test data in tests/data: objects, arrays, strings without escapes beyond
// the simple ones, integers, true/false/null. Returns false on anything else.
#pragma once

#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quillpad::testing {

struct JsonValue {
    enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = Kind::kNull;
    bool boolean = false;
    long long number = 0;
    std::string text;
    std::vector<JsonValue> items;
    std::map<std::string, JsonValue> members;

    const JsonValue* Find(const std::string& key) const {
        auto it = members.find(key);
        return it == members.end() ? nullptr : &it->second;
    }
};

class JsonReader {
  public:
    explicit JsonReader(const std::string& text) : text_(text) {}

    bool Read(JsonValue& value) {
        if (!Value(value, 0)) {
            return false;
        }
        Skip();
        return at_ == text_.size();
    }

  private:
    void Skip() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) {
            ++at_;
        }
    }
    bool Take(char c) {
        Skip();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Word(const char* word) {
        const std::string w(word);
        if (text_.compare(at_, w.size(), w) != 0) {
            return false;
        }
        at_ += w.size();
        return true;
    }
    bool String(std::string& out) {
        if (!Take('"')) {
            return false;
        }
        out.clear();
        while (at_ < text_.size() && text_[at_] != '"') {
            char c = text_[at_++];
            if (c == '\\') {
                if (at_ >= text_.size()) {
                    return false;
                }
                c = text_[at_++];
                if (c == 'n') {
                    c = '\n';
                } else if (c == 't') {
                    c = '\t';
                } else if (c != '"' && c != '\\' && c != '/') {
                    return false;
                }
            }
            out.push_back(c);
        }
        return Take('"');
    }
    bool Value(JsonValue& value, int depth) {
        if (depth > 32) {
            return false;
        }
        Skip();
        if (at_ >= text_.size()) {
            return false;
        }
        const char c = text_[at_];
        if (c == '{') {
            value.kind = JsonValue::Kind::kObject;
            ++at_;
            if (Take('}')) {
                return true;
            }
            do {
                std::string key;
                if (!String(key) || !Take(':') || !Value(value.members[key], depth + 1)) {
                    return false;
                }
            } while (Take(','));
            return Take('}');
        }
        if (c == '[') {
            value.kind = JsonValue::Kind::kArray;
            ++at_;
            if (Take(']')) {
                return true;
            }
            do {
                value.items.emplace_back();
                if (!Value(value.items.back(), depth + 1)) {
                    return false;
                }
            } while (Take(','));
            return Take(']');
        }
        if (c == '"') {
            value.kind = JsonValue::Kind::kString;
            return String(value.text);
        }
        if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            value.kind = JsonValue::Kind::kNumber;
            std::size_t used = 0;
            value.number = std::stoll(text_.substr(at_, 24), &used);
            at_ += used;
            return true;
        }
        if (Word("true") || Word("false")) {
            value.kind = JsonValue::Kind::kBool;
            value.boolean = text_[at_ - 1] == 'e' && text_[at_ - 2] == 'u';
            return true;
        }
        return Word("null");
    }

    const std::string& text_;
    std::size_t at_ = 0;
};

}  // namespace quillpad::testing
