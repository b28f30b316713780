#include "app/app_window.h"

#define GLFW_INCLUDE_NONE
#include <GLFW/glfw3.h>
#include <GL/gl.h>
#include <backends/imgui_impl_glfw.h>
#include <backends/imgui_impl_opengl3.h>
#include <imgui.h>

// libstb (linked through the imgui package) carries the implementation.
#include <stb/stb_image_write.h>

#include <atomic>
#include <cstdio>
#include <vector>

#include "app/theme.h"

namespace {

double g_last_input = 0.0;
std::atomic<bool> g_glfw_up{false};
std::atomic<unsigned long> g_wakes{0};

// Installed before the ImGui backend, which chains to them: they only note
// that the user did something, so an idle loop knows to draw again.
void note_input() { g_last_input = glfwGetTime(); }
void on_cursor(GLFWwindow*, double, double) { note_input(); }
void on_button(GLFWwindow*, int, int, int) { note_input(); }
void on_scroll(GLFWwindow*, double, double) { note_input(); }
void on_key(GLFWwindow*, int, int, int, int) { note_input(); }
void on_char(GLFWwindow*, unsigned int) { note_input(); }
void on_focus(GLFWwindow*, int) { note_input(); }
void on_enter(GLFWwindow*, int) { note_input(); }
void on_size(GLFWwindow*, int, int) { note_input(); }
void on_refresh(GLFWwindow*) { note_input(); }

void on_glfw_error(int, const char* text) { std::fprintf(stderr, "lumora-music: %s\n", text); }

}  // namespace

double app_last_input_time() { return g_last_input; }

void app_wake() {
    g_wakes.fetch_add(1);
    if (g_glfw_up.load()) glfwPostEmptyEvent();
}

unsigned long app_wake_count() { return g_wakes.load(); }

GLFWwindow* create_music_window() {
    glfwSetErrorCallback(on_glfw_error);
    if (!glfwInit()) {
        std::fprintf(stderr,
                     "lumora-music: cannot open a window: no display could be opened "
                     "(is DISPLAY or WAYLAND_DISPLAY set?)\n");
        return nullptr;
    }
    glfwWindowHint(GLFW_CONTEXT_VERSION_MAJOR, 3);
    glfwWindowHint(GLFW_CONTEXT_VERSION_MINOR, 2);
    glfwWindowHint(GLFW_OPENGL_PROFILE, GLFW_OPENGL_CORE_PROFILE);
    glfwWindowHint(GLFW_OPENGL_FORWARD_COMPAT, GLFW_TRUE);
    GLFWwindow* w = glfwCreateWindow(1360, 900, "Lumora Music", nullptr, nullptr);
    if (!w) {
        std::fprintf(stderr, "lumora-music: cannot create an OpenGL 3.2 window\n");
        glfwTerminate();
        return nullptr;
    }
    glfwMakeContextCurrent(w);
    glfwSwapInterval(1);
    glfwSetCursorPosCallback(w, on_cursor);
    glfwSetMouseButtonCallback(w, on_button);
    glfwSetScrollCallback(w, on_scroll);
    glfwSetKeyCallback(w, on_key);
    glfwSetCharCallback(w, on_char);
    glfwSetWindowFocusCallback(w, on_focus);
    glfwSetCursorEnterCallback(w, on_enter);
    glfwSetFramebufferSizeCallback(w, on_size);
    glfwSetWindowRefreshCallback(w, on_refresh);
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGui::GetIO().IniFilename = nullptr;  // the layout is fixed; nothing to remember
    ImGui_ImplGlfw_InitForOpenGL(w, true);
    ImGui_ImplOpenGL3_Init("#version 150");
    apply_music_theme();
    note_input();
    g_glfw_up.store(true);
    return w;
}

void destroy_music_window(GLFWwindow* w) {
    g_glfw_up.store(false);
    ImGui_ImplOpenGL3_Shutdown();
    ImGui_ImplGlfw_Shutdown();
    ImGui::DestroyContext();
    glfwDestroyWindow(w);
    glfwTerminate();
}

bool app_write_screenshot(GLFWwindow* w, const std::string& path) {
    int fw = 0, fh = 0;
    glfwGetFramebufferSize(w, &fw, &fh);
    if (fw <= 0 || fh <= 0) return false;
    std::vector<unsigned char> px(size_t(fw) * size_t(fh) * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, fw, fh, GL_RGB, GL_UNSIGNED_BYTE, px.data());
    // OpenGL rows run bottom-up; PNG rows top-down.
    stbi_flip_vertically_on_write(1);
    return stbi_write_png(path.c_str(), fw, fh, 3, px.data(), fw * 3) != 0;
}

void app_loop_present(GLFWwindow* w, const std::string& screenshot) {
    ImGui::Render();
    int fw = 0, fh = 0;
    glfwGetFramebufferSize(w, &fw, &fh);
    glViewport(0, 0, fw, fh);
    glClearColor(0.97f, 0.97f, 0.97f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    if (!screenshot.empty() && !app_write_screenshot(w, screenshot))
        std::fprintf(stderr, "lumora-music: could not write the screenshot %s\n",
                     screenshot.c_str());
    glfwSwapBuffers(w);
}
