#include <gtest/gtest.h>

#include "app/fonts.h"
#include "app/icon.h"
#include "app/widgets.h"
#include "support/support.h"

TEST(Fonts, SansLookingNames) {
    struct Case {
        const char* name;
        bool sans;
    };
    const Case cases[] = {{"DejaVuSans.ttf", true},      {"NotoSans-Regular.ttf", true},
                          {"Noto Sans Mono.otf", true},  {"LiberationSerif.ttf", true},
                          {"Arial.TTF", true},           {"NotoSerif-Regular.ttf", false},
                          {"cmr10.ttf", false},          {"SFNS.ttf", true}};
    for (const Case& c : cases) EXPECT_EQ(fonts_looks_sans(c.name), c.sans) << c.name;
}

TEST(Fonts, SystemFacesAreFound) {
    std::string sans = fonts_first_system_sans(), bold = fonts_find_bold();
    ASSERT_FALSE(sans.empty());
    ASSERT_FALSE(bold.empty());
    EXPECT_TRUE(tsup::exists(sans));
    EXPECT_TRUE(tsup::exists(bold));
    EXPECT_NE(sans, bold);
    EXPECT_TRUE(fonts_match("no-such-pattern-:::").empty() || tsup::exists(fonts_match("no-such-pattern-:::")));
}

TEST(FitText, WordsGoFirstThenBytes) {
    // Without a font a character is 0.5 x size wide: 10 px per byte at size 20.
    struct Case {
        const char* text;
        float width;
        const char* want;
    };
    const Case cases[] = {
        {"Short", 50, "Short"},                 // fits whole
        {"Hello big world", 120, "Hello big..."},  // the last word goes first
        {"Hello big world", 110, "Hello..."},
        {"ab\xC3\xA9zzz", 65, "ab..."},               // never half of a UTF-8 character
        {"Supercalifragilistic", 80, "Super..."},
        {"", 0, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(fit_text(nullptr, 20, c.text, c.width), c.want) << c.text;
}

TEST(Widgets, SliderAndSplitterArithmetic) {
    EXPECT_EQ(ui_slider_i_text("%d%%", 40), "40 ");
    EXPECT_EQ(ui_slider_i_text("%d rows", 3), "3 rows");
    EXPECT_FLOAT_EQ(ui_slider_value(10, 0, 220, 0, 100), 0);  // left inset
    EXPECT_FLOAT_EQ(ui_slider_value(110, 0, 220, 0, 100), 50);
    EXPECT_FLOAT_EQ(ui_slider_value(500, 0, 220, 0, 100), 100);
    float drag = 25;
    EXPECT_EQ(ui_splitter_steps(&drag, 10), 2);
    EXPECT_FLOAT_EQ(drag, 5);
    drag = -25;
    EXPECT_EQ(ui_splitter_steps(&drag, 10), -2);
    EXPECT_FLOAT_EQ(drag, -5);
}

TEST(Icon, DrawnSquareWithWhiteNotes) {
    const int n = 128;
    std::vector<unsigned char> px = icon_pixels(n);
    ASSERT_EQ(px.size(), (size_t)n * n * 4);
    auto at = [&](int x, int y) { return &px[((size_t)y * n + x) * 4]; };
    EXPECT_LT(at(0, 0)[3], 10);  // rounded corner stays transparent
    // Near the left edge, half-way down: the accent fill.
    const unsigned char* edge = at(6, n / 2);
    EXPECT_EQ(edge[3], 255);
    EXPECT_NEAR(edge[0], 255, 3);
    EXPECT_NEAR(edge[1], 45, 3);
    EXPECT_NEAR(edge[2], 85, 3);
    // The notes: some near-white opaque pixels inside.
    int white = 0;
    for (int y = n / 4; y < 3 * n / 4; ++y)
        for (int x = n / 4; x < 3 * n / 4; ++x)
            if (at(x, y)[0] > 240 && at(x, y)[1] > 240 && at(x, y)[2] > 240) ++white;
    EXPECT_GT(white, n * n / 50);
}
