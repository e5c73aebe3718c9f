#pragma once

// Strict JSON as a caller that keeps every text as UTF-16 reads it (as
// JavaScript's JSON.parse and .NET's readers do): UTF-8 input only, and a
// \uXXXX escape may stand for a surrogate without its other half. Written
// for the tests, independently of the exporter, to check that a record
// decodes back to the exact UTF-16 units Outlook gave. Numbers, booleans and
// null are read as their text; the records hold only strings, arrays and
// objects.

#include <cstddef>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace utf16json {

struct Value {
    enum class Kind { string, array, object, literal } kind = Kind::literal;
    std::u16string text;                                    // a string, or a literal's characters
    std::vector<Value> items;                               // an array's
    std::vector<std::pair<std::u16string, Value>> members;  // an object's, in order

    const Value* member(const std::u16string& name) const {
        for (const auto& [key, value] : members) {
            if (key == name) return &value;
        }
        return nullptr;
    }
};

class Parser {
public:
    explicit Parser(const std::string& text) : input(text) {}

    Value document() {
        Value value = parseValue();
        skipBlanks();
        if (at != input.size()) fail("text after the value");
        return value;
    }

private:
    [[noreturn]] void fail(const std::string& what) const {
        throw std::runtime_error(what + " at byte " + std::to_string(at));
    }

    void skipBlanks() {
        while (at < input.size() && (input[at] == ' ' || input[at] == '\t' || input[at] == '\n' || input[at] == '\r')) {
            ++at;
        }
    }

    char next() {
        if (at >= input.size()) fail("unexpected end");
        return input[at++];
    }

    void expect(char wanted) {
        if (next() != wanted) fail(std::string("expected ") + wanted);
    }

    Value parseValue() {
        skipBlanks();
        if (at >= input.size()) fail("unexpected end");
        Value value;
        switch (input[at]) {
        case '"':
            value.kind = Value::Kind::string;
            value.text = parseString();
            return value;
        case '[':
            value.kind = Value::Kind::array;
            ++at;
            skipBlanks();
            if (at < input.size() && input[at] == ']') {
                ++at;
                return value;
            }
            for (;;) {
                value.items.push_back(parseValue());
                skipBlanks();
                const char separator = next();
                if (separator == ']') return value;
                if (separator != ',') fail("expected , or ]");
            }
        case '{':
            value.kind = Value::Kind::object;
            ++at;
            skipBlanks();
            if (at < input.size() && input[at] == '}') {
                ++at;
                return value;
            }
            for (;;) {
                skipBlanks();
                if (at >= input.size() || input[at] != '"') fail("expected a member name");
                std::u16string name = parseString();
                skipBlanks();
                expect(':');
                value.members.emplace_back(std::move(name), parseValue());
                skipBlanks();
                const char separator = next();
                if (separator == '}') return value;
                if (separator != ',') fail("expected , or }");
            }
        default:
            while (at < input.size() && std::string("-+.0123456789eEtrufalsn").find(input[at]) != std::string::npos) {
                value.text += static_cast<char16_t>(input[at++]);
            }
            if (value.text.empty()) fail("not a value");
            return value;
        }
    }

    unsigned hexDigit(char digit) {
        if (digit >= '0' && digit <= '9') return static_cast<unsigned>(digit - '0');
        if (digit >= 'a' && digit <= 'f') return static_cast<unsigned>(digit - 'a' + 10);
        if (digit >= 'A' && digit <= 'F') return static_cast<unsigned>(digit - 'A' + 10);
        fail("not a hexadecimal digit");
    }

    // One character of UTF-8, strictly: the shortest form, no surrogates.
    char32_t utf8Character(unsigned char lead) {
        int continuation = 0;
        char32_t character = 0;
        char32_t least = 0;
        if (lead < 0x80) return lead;
        if ((lead & 0xE0) == 0xC0) {
            continuation = 1, character = lead & 0x1F, least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            continuation = 2, character = lead & 0x0F, least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            continuation = 3, character = lead & 0x07, least = 0x10000;
        } else {
            fail("not UTF-8");
        }
        for (int n = 0; n < continuation; ++n) {
            const auto byte = static_cast<unsigned char>(next());
            if ((byte & 0xC0) != 0x80) fail("not UTF-8");
            character = (character << 6) | (byte & 0x3F);
        }
        if (character < least || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
            fail("not UTF-8");
        }
        return character;
    }

    std::u16string parseString() {
        expect('"');
        std::u16string text;
        for (;;) {
            const auto byte = static_cast<unsigned char>(next());
            if (byte == '"') return text;
            if (byte < 0x20) fail("a control character in a string");
            if (byte != '\\') {
                const char32_t character = utf8Character(byte);
                if (character >= 0x10000) {
                    text += static_cast<char16_t>(0xD800 + ((character - 0x10000) >> 10));
                    text += static_cast<char16_t>(0xDC00 + ((character - 0x10000) & 0x3FF));
                } else {
                    text += static_cast<char16_t>(character);
                }
                continue;
            }
            switch (const char escape = next()) {
            case '"': text += u'"'; break;
            case '\\': text += u'\\'; break;
            case '/': text += u'/'; break;
            case 'b': text += u'\b'; break;
            case 'f': text += u'\f'; break;
            case 'n': text += u'\n'; break;
            case 'r': text += u'\r'; break;
            case 't': text += u'\t'; break;
            case 'u': {
                unsigned unit = 0;
                for (int n = 0; n < 4; ++n) unit = unit * 16 + hexDigit(next());
                text += static_cast<char16_t>(unit);
                break;
            }
            default: fail(std::string("unknown escape \\") + escape);
            }
        }
    }

    const std::string& input;
    std::size_t at = 0;
};

// Raises std::runtime_error, naming the byte, for anything that is not
// strict JSON in UTF-8.
inline Value parse(const std::string& text) { return Parser(text).document(); }

}  // namespace utf16json
