#include "cli/json.h"

#include <cstdlib>

const JVal* JVal::get(const std::string& name) const
{
    if (kind != Obj) return nullptr;
    for (const auto& m : members)
        if (m.first == name) return &m.second;
    return nullptr;
}

namespace {

// Containers nested deeper than this read as null one character at a time, so
// hostile input cannot exhaust the stack.
constexpr int kMaxDepth = 256;

struct Reader {
    const std::string& s;
    size_t i = 0;

    bool at_end() const { return i >= s.size(); }

    void skip_ws()
    {
        while (!at_end()) {
            char c = s[i];
            if (c != ' ' && c != '\t' && c != '\n' && c != '\v' && c != '\f' && c != '\r') break;
            ++i;
        }
    }

    static void put_utf8(std::string& out, unsigned long cp)
    {
        if (cp < 0x80) {
            out += static_cast<char>(cp);
        } else if (cp < 0x800) {
            out += static_cast<char>(0xC0 | (cp >> 6));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp > 0xFFFF) {
            out += static_cast<char>(0xF0 | ((cp >> 18) & 0x07));
            out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (cp >> 12));
            out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    // Four characters after a "\u" at position i (which points at the 'u').
    unsigned long hex4(size_t at) const
    {
        std::string h = s.substr(at, 4);
        return std::strtoul(h.c_str(), nullptr, 16);
    }

    // Reads a string whose opening quote stands at i (any character is taken as it).
    std::string str()
    {
        std::string out;
        ++i;
        while (!at_end() && s[i] != '"') {
            char c = s[i++];
            if (c != '\\') {
                out += c;
                continue;
            }
            if (at_end()) break;
            char e = s[i++];
            if (e == 't') out += '\t';
            else if (e == 'n') out += '\n';
            else if (e == 'u') unicode(out);
            else out += e;
        }
        if (!at_end()) ++i;  // closing quote
        return out;
    }

    // i points just after "\u".
    void unicode(std::string& out)
    {
        if (s.size() - i < 4) {
            out += 'u';
            return;
        }
        unsigned long cp = hex4(i);
        i += 4;
        if (cp >= 0xD800 && cp <= 0xDBFF && s.size() - i >= 6 && s[i] == '\\' && s[i + 1] == 'u') {
            unsigned long low = hex4(i + 2);
            i += 6;
            cp = cp * 1024 + low - 56613888UL;
        }
        put_utf8(out, cp);
    }

    JVal container(bool object, int depth)
    {
        JVal v;
        v.kind = object ? JVal::Obj : JVal::Arr;
        ++i;
        for (;;) {
            skip_ws();
            if (at_end()) break;
            char c = s[i];
            if (c == ',') {
                ++i;
                continue;
            }
            if (c == ']' || c == '}') {
                ++i;
                break;
            }
            if (object) {
                std::string key = str();
                skip_ws();
                if (!at_end()) ++i;  // the colon, whatever stands there
                v.members.emplace_back(std::move(key), value(depth + 1));
            } else {
                v.items.push_back(value(depth + 1));
            }
        }
        return v;
    }

    JVal value(int depth)
    {
        JVal v;
        skip_ws();
        if (at_end()) return v;
        char c = s[i];
        if (c == '"') {
            v.kind = JVal::Str;
            v.str = str();
        } else if ((c == '[' || c == '{') && depth < kMaxDepth) {
            return container(c == '{', depth);
        } else if ((c == '[' || c == '{')) {
            ++i;
        } else if (c == 't' || c == 'f') {
            v.kind = JVal::Bool;
            v.num = c == 't' ? 1 : 0;
            i += c == 't' ? 4 : 5;
        } else if (c == 'n') {
            i += 4;
        } else {
            number(v);
        }
        if (i > s.size()) i = s.size();
        return v;
    }

    void number(JVal& v)
    {
        v.kind = JVal::Num;
        const char* start = s.c_str() + i;
        char* end = nullptr;
        v.num = std::strtod(start, &end);
        size_t used = end ? static_cast<size_t>(end - start) : 0;
        if (used == 0) {
            v.num = 0;
            used = 1;
        }
        i += used;
    }
};

}  // namespace

JVal json_parse(const std::string& text)
{
    Reader r{text};
    return r.value(0);
}
