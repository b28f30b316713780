// Symbol glyphs drawn as vectors with ImGui draw lists, looked up by the
// symbol names the screens use ("plus", "music.note", "chevron.left" ...).
#pragma once
#include <imgui.h>

#include <string>

// True when `name` has a drawing.
bool sf_known(const std::string& name);
// Draws the symbol centred at `centre`, about `size` pixels tall, in `colour`;
// false (nothing drawn) for an unknown name.
bool sf_draw(ImDrawList* list, const std::string& name, ImU32 colour, ImVec2 centre, float size);
