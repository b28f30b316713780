// A small, lenient JSON reader for the recogniser's output and the lyrics
// service's answers. It never fails: it returns whatever it could read.
#pragma once
#include <string>
#include <utility>
#include <vector>

struct JVal {
    enum Kind { Null = 0, Bool = 1, Num = 2, Str = 3, Arr = 4, Obj = 5 };
    Kind kind = Null;
    double num = 0;  // the number; 1 or 0 for a boolean
    std::string str;
    std::vector<JVal> items;                           // array elements
    std::vector<std::pair<std::string, JVal>> members;  // object members, document order

    // First member named exactly `name`, or nullptr (also for non-objects).
    const JVal* get(const std::string& name) const;
    bool is_str() const { return kind == Str; }
    bool is_num() const { return kind == Num; }
    bool is_arr() const { return kind == Arr; }
};

// Parses a whole JSON text from its first character.
JVal json_parse(const std::string& text);
