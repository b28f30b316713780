// The window, its OpenGL 3.2 context and the ImGui backends; presenting a
// frame, optionally saving it as a PNG.
#pragma once
#include <string>

struct GLFWwindow;

// Starts GLFW and opens the 1360 x 900 "Lumora Music" window with the ImGui
// context and backends; null (with a message on stderr) when it cannot.
GLFWwindow* create_music_window();
// Shuts the backends down, destroys the context and the window, ends GLFW.
void destroy_music_window(GLFWwindow* window);
// Renders the ImGui frame and swaps; with a path, first writes the frame as a PNG.
void app_loop_present(GLFWwindow* window, const std::string& screenshot = "");
// Writes the current back buffer as an RGB PNG; false when it cannot.
bool app_write_screenshot(GLFWwindow* window, const std::string& path);
// Wakes a loop waiting for events; any thread, harmless once the window is gone.
void app_wake();
// How many times app_wake was called (to tell a wake from a timeout).
unsigned long app_wake_count();
// Time (glfwGetTime) of the last user input on the window.
double app_last_input_time();
