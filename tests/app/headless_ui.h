// Runs ImGui frames without a window or renderer, so screens can be drawn,
// clicked and measured in tests and benchmarks.
#pragma once
#include <imgui.h>

#include <functional>

class HeadlessUi {
public:
    HeadlessUi(float width = 1360, float height = 900);
    ~HeadlessUi();
    HeadlessUi(const HeadlessUi&) = delete;
    HeadlessUi& operator=(const HeadlessUi&) = delete;

    // One frame: `draw` runs inside a full-screen window like the player's.
    void frame(const std::function<void()>& draw);
    // Moves the mouse (takes effect next frame).
    void mouse(ImVec2 pos) { ImGui::GetIO().MousePos = pos; }
    // Press and release of a mouse button at `pos` over two frames.
    void click(ImVec2 pos, const std::function<void()>& draw, int button = 0);
    // A key press and release over two frames, with modifiers held meanwhile.
    void key(int glfw_key, const std::function<void()>& draw, bool ctrl = false, bool shift = false);
    // Vertices of the last frame's draw data (what the renderer would get).
    int vertices() const;

private:
    ImGuiContext* ctx_ = nullptr;
};
