#include <gtest/gtest.h>

#include "app/transport.h"

TEST(Transport, TimeTexts) {
    struct Case {
        double sec;
        const char* text;
    };
    const Case cases[] = {{0, "0:00"}, {59.99, "0:59"}, {61.5, "1:01"}, {-3, "0:00"}, {3725, "62:05"}};
    for (const Case& c : cases) EXPECT_EQ(transport_fmt_time(c.sec), c.text) << c.sec;
}

TEST(Transport, RepeatCyclesWithItsTooltips) {
    int r = 0;
    const char* tips[] = {"Repeat off \xE2\x80\x94 click to loop Album",
                          "Looping Album \xE2\x80\x94 click to loop this song",
                          "Looping this song \xE2\x80\x94 click to turn off"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(transport_repeat_tip(r, "Album"), tips[i]);
        r = transport_repeat_next(r);
    }
    EXPECT_EQ(r, 0);  // three clicks return to off
}

TEST(Transport, SeekBarValue) {
    EXPECT_DOUBLE_EQ(seek_bar_value(150, 100, 200, 60), 15);
    EXPECT_DOUBLE_EQ(seek_bar_value(0, 100, 200, 60), 0);     // clamped left
    EXPECT_DOUBLE_EQ(seek_bar_value(900, 100, 200, 60), 60);  // clamped right
    EXPECT_DOUBLE_EQ(seek_bar_value(200, 100, 200, 0), 0.5);  // no length counts as 1
}
