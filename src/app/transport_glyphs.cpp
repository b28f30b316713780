// The transport glyphs: play, pause, previous, next, shuffle and repeat as
// vector shapes.
#include <cmath>
#include <cstring>

#include "app/transport.h"

namespace {

void arrowhead(ImDrawList* l, ImU32 c, ImVec2 tip, float ang, float len) {
    ImVec2 a(tip.x - len * std::cos(ang - 0.6f), tip.y - len * std::sin(ang - 0.6f));
    ImVec2 b(tip.x - len * std::cos(ang + 0.6f), tip.y - len * std::sin(ang + 0.6f));
    l->AddTriangleFilled(tip, a, b, c);
}

void shuffle_icon(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    float x0 = p.x - 0.42f * s, x1 = p.x + 0.34f * s, h = 0.28f * s;
    // Two strokes crossing in the middle, each bending into its arrow.
    ImVec2 a[4] = {{x0, p.y + h}, {p.x - 0.12f * s, p.y + h}, {p.x + 0.12f * s, p.y - h}, {x1, p.y - h}};
    ImVec2 b[4] = {{x0, p.y - h}, {p.x - 0.12f * s, p.y - h}, {p.x + 0.12f * s, p.y + h}, {x1, p.y + h}};
    l->AddPolyline(a, 4, c, 0, 1.5f);
    l->AddPolyline(b, 4, c, 0, 1.5f);
    arrowhead(l, c, {p.x + 0.46f * s, p.y - h}, 0.0f, 0.2f * s);
    arrowhead(l, c, {p.x + 0.46f * s, p.y + h}, 0.0f, 0.2f * s);
}

void repeat_icon(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    float r = 0.52f * s;
    l->PathArcTo(p, r, 0.45f, 5.75f, 28);
    l->PathStroke(c, 0, 1.6f);
    ImVec2 end(p.x + r * std::cos(5.75f), p.y + r * std::sin(5.75f));
    // Tangent direction at the end of a counter-clockwise-increasing arc.
    float tangent = 5.75f + 1.5708f;
    arrowhead(l, c, {end.x + 0.12f * s * std::cos(tangent), end.y + 0.12f * s * std::sin(tangent)},
              tangent, 0.28f * s);
}

}  // namespace

void draw_transport_icon(ImDrawList* l, const char* g, ImU32 c, ImVec2 p, float s) {
    float cx = p.x, cy = p.y;
    if (!std::strcmp(g, "play")) {
        l->AddTriangleFilled({cx - 0.17f * s, cy - 0.43f * s}, {cx - 0.17f * s, cy + 0.37f * s},
                             {cx + 0.45f * s, cy - 0.03f * s}, c);
    } else if (!std::strcmp(g, "pause")) {
        l->AddRectFilled({cx - 0.30f * s, cy - 0.4f * s}, {cx - 0.13f * s, cy + 0.4f * s}, c, 2);
        l->AddRectFilled({cx + 0.13f * s, cy - 0.4f * s}, {cx + 0.30f * s, cy + 0.4f * s}, c, 2);
    } else if (!std::strcmp(g, "prev")) {
        l->AddRectFilled({cx - 0.41f * s, cy - 0.37f * s}, {cx - 0.30f * s, cy + 0.37f * s}, c, 1);
        l->AddTriangleFilled({cx + 0.29f * s, cy - 0.37f * s}, {cx + 0.29f * s, cy + 0.37f * s},
                             {cx - 0.19f * s, cy}, c);
    } else if (!std::strcmp(g, "next")) {
        l->AddTriangleFilled({cx - 0.29f * s, cy - 0.37f * s}, {cx - 0.29f * s, cy + 0.37f * s},
                             {cx + 0.19f * s, cy}, c);
        l->AddRectFilled({cx + 0.30f * s, cy - 0.37f * s}, {cx + 0.41f * s, cy + 0.37f * s}, c, 1);
    } else if (!std::strcmp(g, "shuf")) {
        shuffle_icon(l, c, p, s);
    } else if (!std::strcmp(g, "rept")) {
        repeat_icon(l, c, p, s);
    }
}

void draw_transport_glyph(ImDrawList* l, const char* g, ImU32 c, ImVec2 p, float s) {
    // The triangle's weight sits left of its box, so it is nudged right to look centred.
    ImVec2 at = p;
    if (!std::strcmp(g, "play")) at.x += 0.06f * s;
    draw_transport_icon(l, g, c, at, s);
}
