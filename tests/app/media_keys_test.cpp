// The per-frame media keys: Space and F7/F8/F9 reach the player once per
// press, and Space typed into a text field stays a blank.
#include <gtest/gtest.h>

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>

#include <chrono>
#include <thread>

#include "app/app_state.h"
#include "app/media.h"
#include "headless_ui.h"
#include "support/app_support.h"
#include "support/support.h"

namespace {

struct KeysFixture : ::testing::Test {
    tsup::TempDir dir;
    AppState s;
    HeadlessUi ui;
    char field[32] = {};
    bool typing = false;

    void SetUp() override {
        ASSERT_TRUE(s.player.init_manual(8000));
        for (const char* name : {"a", "b", "c"}) {
            Track t;
            t.path = dir / (std::string(name) + ".wav");
            t.title = name;
            tsup::write_wav_const(t.path, 800, 8000, 0.1);
            s.library.tracks.push_back(t);
        }
        install_media_tap(s);
    }
    void TearDown() override { media_uninstall(); }

    void draw() {
        if (typing) {
            ImGui::SetKeyboardFocusHere();
            ImGui::InputText("##field", field, sizeof field);
        }
        handle_media_keys(s);
        handle_space_key(s);
    }
    void press(int key, bool ctrl = false) {
        ui.key(key, [this] { draw(); }, ctrl);
        // Presses of one command closer than the debounce count once.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
    }
};

TEST_F(KeysFixture, SpaceAndFunctionKeysDriveThePlayer) {
    ui.frame([this] { draw(); });
    press(GLFW_KEY_SPACE);
    EXPECT_EQ(s.current, 0);
    EXPECT_TRUE(s.player.playing);
    press(GLFW_KEY_F9);
    EXPECT_EQ(s.current, 1);
    press(GLFW_KEY_F7);
    EXPECT_EQ(s.current, 0);
    press(GLFW_KEY_F8);
    EXPECT_FALSE(s.player.playing);
    press(GLFW_KEY_SPACE, true);  // Ctrl+Space is not play/pause
    EXPECT_FALSE(s.player.playing);
}

TEST_F(KeysFixture, SpaceInATextFieldDoesNotToggle) {
    typing = true;
    ui.frame([this] { draw(); });
    ui.frame([this] { draw(); });
    press(GLFW_KEY_SPACE);
    EXPECT_EQ(s.current, -1);
    EXPECT_FALSE(s.player.playing);
}

}  // namespace
