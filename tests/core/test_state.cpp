#include <gtest/gtest.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "core/state.h"
#include "support/support.h"

using tsup::TempDir;

TEST(TomlStrings, QuotedValueRules)
{
    struct Case {
        std::string line, want;
    } cases[] = {
        {R"(label = "a\"b")", "a\"b"},
        {R"(label = "x")", "x"},
        {"label = none", ""},
        {R"(label = "only one)", ""},
        {R"(label = "a\nb")", "anb"},
        {R"(label = "a\\b")", "a\\b"},
        {R"(label = "ends\")", "ends\\"},
    };
    for (const auto& c : cases) EXPECT_EQ(io_toml_str(c.line), c.want) << c.line;
}

TEST(TomlStrings, EscapeRoundTripsThroughReader)
{
    for (std::string v : {"plain", "quote\"in", "back\\slash", "\\\"", "tab\there", ""}) {
        EXPECT_EQ(io_toml_str("k = \"" + io_toml_esc(v) + "\""), v);
        EXPECT_EQ(toml_str_list("k = " + toml_str_list_write({v, "x"})), (std::vector<std::string>{v, "x"}));
    }
}

TEST(TomlStrings, StringLists)
{
    using V = std::vector<std::string>;
    EXPECT_EQ(toml_str_list(R"(paths = ["a", "b\"c", "d]"])"), (V{"a", "b\"c", "d]"}));
    EXPECT_EQ(toml_str_list("paths = []"), V{});
    EXPECT_EQ(toml_str_list(R"(paths = ["a", "b)"), V{"a"});
    EXPECT_EQ(toml_str_list("no bracket"), V{});
}

TEST(TomlNumbers, LenientAndFormatted)
{
    EXPECT_DOUBLE_EQ(toml_num("  12.5xyz"), 12.5);
    EXPECT_DOUBLE_EQ(toml_num("abc"), 0.0);
    EXPECT_EQ(toml_int(" -7 "), -7);
    EXPECT_EQ(toml_fmt(12.5), "12.5");
    EXPECT_EQ(toml_fmt(123.456789), "123.457");
    EXPECT_EQ(toml_fmt(30), "30");
    EXPECT_EQ(toml_key("in = 3"), "in");
    EXPECT_EQ(toml_key("in=3"), "in");
    EXPECT_EQ(toml_value("a = b = c"), " b = c");
}

TEST(StateFiles, WriteCreatesFoldersAndReplacesAtomically)
{
    TempDir d;
    std::string p = d / "x/y/z.toml";
    ASSERT_TRUE(state_write(p, "one\n"));
    std::string got;
    ASSERT_TRUE(state_read(p, got));
    EXPECT_EQ(got, "one\n");
    ASSERT_TRUE(state_write(p, "two\n"));
    ASSERT_TRUE(state_read(p, got));
    EXPECT_EQ(got, "two\n");
    // No temporary file is left beside it.
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(d / "x/y")) n += e.is_regular_file();
    EXPECT_EQ(n, 1);
}

TEST(StateFiles, FailedWriteReportsFalseAndLeavesNoTemporary)
{
    TempDir d;
    // The rename cannot replace a folder that holds files.
    tsup::write_file(d / "busy/inside", "keep");
    EXPECT_FALSE(state_write(d / "busy", "lost\n"));
    EXPECT_EQ(tsup::read_file(d / "busy/inside"), "keep");
    // The parent is a file, so nothing can be opened there.
    tsup::write_file(d / "plain", "x");
    EXPECT_FALSE(state_write(d / "plain/sub.toml", "y"));
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(d.path())) n += e.is_regular_file();
    EXPECT_EQ(n, 1) << "only the plain file: no temporary left behind";
}

TEST(StateFiles, ReadMissingAndEmpty)
{
    TempDir d;
    std::string out = "junk";
    EXPECT_FALSE(state_read(d / "missing", out));
    EXPECT_EQ(out, "");
    tsup::write_file(d / "empty", "");
    EXPECT_TRUE(state_read(d / "empty", out));
    EXPECT_EQ(out, "");
    EXPECT_FALSE(state_read(d.path(), out)) << "a folder is not a file";
}

TEST(StateFiles, MetaLabelFoundOnAnyLine)
{
    TempDir d;
    tsup::write_file(d / "m/meta.toml", "time = 5\nlabel = \"Set \\\"x\\\"\"\n");
    EXPECT_EQ(state_meta_label(d / "m"), "Set \"x\"");
    EXPECT_EQ(state_meta_label(d / "none"), "");
    tsup::write_file(d / "n/meta.toml", state_meta("a\\b"));
    EXPECT_EQ(state_meta_label(d / "n"), "a\\b");
}

TEST(StateHome, BuiltFromHomeAndCreated)
{
    TempDir d;
    tsup::ScopedEnv home("HOME", d.path());
    EXPECT_EQ(state_home(), d.path() + "/.lumoramusic");
    EXPECT_TRUE(tsup::exists(d.path() + "/.lumoramusic"));
}

TEST(TomlNumbers, FormatMatchesPrintfG)
{
    for (double v : {0.0, -0.0, 1.0, -2.5, 0.1, 1e-7, 123456.0, 1234567.0, 3.14159265, 1e21, -1.0, 59.996}) {
        char want[64];
        std::snprintf(want, sizeof want, "%g", v);
        EXPECT_EQ(toml_fmt(v), want) << v;
    }
}
