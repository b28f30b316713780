#include <gtest/gtest.h>

#include <filesystem>

#include "app/app_state.h"
#include "app/view_pref.h"
#include "support/support.h"

TEST(ViewPref, MissingFileGivesDefaultsAndMarksLoaded) {
    tsup::TempDir home;
    tsup::ScopedEnv env("HOME", home.path());
    SortPref p = sort_pref_load();
    EXPECT_EQ(p.column, "Album");
    EXPECT_TRUE(p.ascending);
    EXPECT_TRUE(p.loaded);
}

TEST(ViewPref, SaveWritesTheExactFileAndLoadsBack) {
    tsup::TempDir home;
    tsup::ScopedEnv env("HOME", home.path());
    SortPref p;
    p.column = "\xE2\x99\xA5";
    p.ascending = false;
    ASSERT_TRUE(sort_pref_save(p));  // creates the state folder
    EXPECT_EQ(tsup::read_file(home / ".lumoramusic/view.toml"),
              "# Lumora Music view prefs (click a column header to change)\n"
              "sort_col = \"\xE2\x99\xA5\"\n"
              "sort_asc = 0\n");
    SortPref back = sort_pref_load();
    EXPECT_EQ(back.column, p.column);
    EXPECT_FALSE(back.ascending);
}

TEST(ViewPref, LenientReading) {
    struct Case {
        const char* text;
        const char* column;
        bool ascending;
    };
    const Case cases[] = {
        {"sort_col = \"Plays\"\nsort_asc = 0\n", "Plays", false},
        {"# sort_col = \"Title\"\n", "Album", true},           // comment
        {"sort_col = \"\"\n", "Album", true},                  // empty keeps the default
        {"sort_col \"Time\"\nsort_asc 0\n", "Album", true},    // no '=': skipped
        {"sort_asc = 7\r\n", "Album", true},                   // any non-zero is ascending
        {"sort_asc = junk\n", "Album", false},                 // not a number reads 0
        {"color = 1\nsort_col = \"Ti\\\"tle\"\n", "Ti\"tle", true},  // unknown key; escaped quote
        {"  sort_col = \"Genre\"\n", "Album", true},           // indented: empty key
    };
    for (const Case& c : cases) {
        SortPref p = sort_pref_parse(c.text);
        EXPECT_EQ(p.column, c.column) << c.text;
        EXPECT_EQ(p.ascending, c.ascending) << c.text;
    }
}

TEST(ViewPref, UnsetHomeUsesTheCurrentFolder) {
    // Naming the file makes the state folder, so it is made in a scratch folder.
    tsup::TempDir cwd;
    const std::filesystem::path back = std::filesystem::current_path();
    std::filesystem::current_path(cwd.path());
    tsup::ScopedEnv env("HOME", std::nullopt);
    EXPECT_EQ(sort_pref_file(), "./.lumoramusic/view.toml");
    std::filesystem::current_path(back);
}
