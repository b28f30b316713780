#include "headless_ui.h"

#include <GLFW/glfw3.h>

HeadlessUi::HeadlessUi(float width, float height) {
    ctx_ = ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    io.IniFilename = nullptr;
    io.DisplaySize = ImVec2(width, height);
    io.DeltaTime = 1.0f / 60.0f;
    unsigned char* px = nullptr;
    int w = 0, h = 0;
    io.Fonts->AddFontDefault();
    io.Fonts->GetTexDataAsRGBA32(&px, &w, &h);
    io.MousePos = ImVec2(-1, -1);
}

HeadlessUi::~HeadlessUi() { ImGui::DestroyContext(ctx_); }

void HeadlessUi::frame(const std::function<void()>& draw) {
    ImGui::NewFrame();
    ImGui::SetNextWindowPos(ImVec2(0, 0));
    ImGui::SetNextWindowSize(ImGui::GetIO().DisplaySize);
    ImGui::Begin("##Main", nullptr,
                 ImGuiWindowFlags_NoTitleBar | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoMove |
                     ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse |
                     ImGuiWindowFlags_NoBringToFrontOnFocus);
    draw();
    ImGui::End();
    ImGui::Render();
}

void HeadlessUi::click(ImVec2 pos, const std::function<void()>& draw, int button) {
    ImGuiIO& io = ImGui::GetIO();
    io.MousePos = pos;
    frame(draw);  // hover first, as a real pointer would
    io.MouseDown[button] = true;
    frame(draw);
    io.MouseDown[button] = false;
    frame(draw);
}

void HeadlessUi::key(int k, const std::function<void()>& draw, bool ctrl, bool shift) {
    ImGuiIO& io = ImGui::GetIO();
    io.KeyCtrl = ctrl;
    io.KeyShift = shift;
    io.KeysDown[k] = true;
    frame(draw);
    io.KeysDown[k] = false;
    frame(draw);
    io.KeyCtrl = false;
    io.KeyShift = false;
}

int HeadlessUi::vertices() const {
    ImDrawData* d = ImGui::GetDrawData();
    return d ? d->TotalVtxCount : 0;
}
