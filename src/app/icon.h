// The application icon: an accent rounded square with beamed eighth notes,
// drawn in software so the window icon and the installed PNG are one drawing.
#pragma once
#include <vector>

struct GLFWwindow;

// The icon at size x size pixels, straight (not premultiplied) RGBA rows.
std::vector<unsigned char> icon_pixels(int size);
// Sets the icon on the window (null: the one whose context is current), at several sizes.
void set_dock_icon(GLFWwindow* window);
