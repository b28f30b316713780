#include <gtest/gtest.h>

#include "cli/json.h"

namespace {

TEST(JsonParse, ReadsNestedDocument)
{
    JVal v = json_parse(R"( {"a": [1, -2.5e1, true, false, null], "b": {"c": "x"}, "a": 9} )");
    ASSERT_EQ(v.kind, JVal::Obj);
    const JVal* a = v.get("a");
    ASSERT_TRUE(a && a->is_arr());
    ASSERT_EQ(a->items.size(), 5u);
    EXPECT_EQ(a->items[0].num, 1);
    EXPECT_EQ(a->items[1].num, -25);
    EXPECT_EQ(a->items[2].kind, JVal::Bool);
    EXPECT_EQ(a->items[2].num, 1);
    EXPECT_EQ(a->items[3].num, 0);
    EXPECT_EQ(a->items[4].kind, JVal::Null);
    ASSERT_TRUE(v.get("b") && v.get("b")->get("c"));
    EXPECT_EQ(v.get("b")->get("c")->str, "x");
    EXPECT_EQ(v.get("missing"), nullptr);
    EXPECT_EQ(a->get("a"), nullptr);  // arrays have no members
}

TEST(JsonParse, LenientShapes)
{
    JVal spaces = json_parse("[1 2 3]");
    ASSERT_EQ(spaces.items.size(), 3u);
    EXPECT_EQ(spaces.items[2].num, 3);

    JVal bracket_closed = json_parse(R"({"k": 1] )");
    ASSERT_EQ(bracket_closed.kind, JVal::Obj);
    EXPECT_EQ(bracket_closed.get("k")->num, 1);

    JVal dash = json_parse("[-, 7]");
    ASSERT_EQ(dash.items.size(), 2u);
    EXPECT_EQ(dash.items[0].num, 0);
    EXPECT_EQ(dash.items[1].num, 7);

    EXPECT_EQ(json_parse("").kind, JVal::Null);
    EXPECT_EQ(json_parse("   ").kind, JVal::Null);
    JVal cut = json_parse(R"({"sentences": [{"text": "unterminated)");
    ASSERT_TRUE(cut.get("sentences"));
    EXPECT_EQ(cut.get("sentences")->items[0].get("text")->str, "unterminated");
}

TEST(JsonParse, StringEscapes)
{
    struct Case {
        const char* json;
        std::string want;
    } cases[] = {
        {R"("a\"b\\c\/d")", "a\"b\\c/d"},
        {R"("t\tn\nr\rb\b")", "t\tn\nrrbb"},
        {R"("\u00e9\u20ac")", "\xC3\xA9\xE2\x82\xAC"},
        {R"("\ud83c\udfb5")", "\xF0\x9F\x8E\xB5"},  // surrogate pair
        {R"("\u12")", "u12"},                     // too short: the letter u
        {R"("\u0041")", "A"},
    };
    for (const Case& c : cases) EXPECT_EQ(json_parse(c.json).str, c.want) << c.json;
}

TEST(JsonParse, HostileInputNeverCrashes)
{
    std::string deep(200000, '[');
    JVal v = json_parse(deep);
    EXPECT_EQ(v.kind, JVal::Arr);
    std::string objs;
    for (int i = 0; i < 100000; ++i) objs += "{\"a\":";
    EXPECT_EQ(json_parse(objs).kind, JVal::Obj);
    for (const char* t : {"{", "{\"", "[\"\\", "t", "nul", "{\"a\"", "\"\\u", "-e", "[1e999999]"})
        json_parse(t);
}

}  // namespace
