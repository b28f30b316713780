// Vector drawings of the symbols. Each takes the centre and the nominal size s
// and keeps within about s x s; strokes scale with s so small and large sizes
// keep their weight.
//
// Index: stroke helpers; navigation symbols; media symbols; the name table.
#include "app/glyphs.h"

#include <cmath>
#include <map>

#include "app/transport.h"

namespace {

using Fn = void (*)(ImDrawList*, ImU32, ImVec2, float);

float stroke(float s) { return std::max(1.2f, s * 0.1f); }

void line(ImDrawList* l, ImU32 c, ImVec2 a, ImVec2 b, float s) { l->AddLine(a, b, c, stroke(s)); }

void arrowhead(ImDrawList* l, ImU32 c, ImVec2 tip, float ang, float len) {
    const float spread = 0.55f;
    ImVec2 a(tip.x - len * std::cos(ang - spread), tip.y - len * std::sin(ang - spread));
    ImVec2 b(tip.x - len * std::cos(ang + spread), tip.y - len * std::sin(ang + spread));
    l->AddTriangleFilled(tip, a, b, c);
}

// --- navigation symbols ---

void plus(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    float r = s * 0.42f;
    line(l, c, {p.x - r, p.y}, {p.x + r, p.y}, s);
    line(l, c, {p.x, p.y - r}, {p.x, p.y + r}, s);
}

void minus(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    line(l, c, {p.x - s * 0.42f, p.y}, {p.x + s * 0.42f, p.y}, s);
}

void xmark(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    float r = s * 0.32f;
    line(l, c, {p.x - r, p.y - r}, {p.x + r, p.y + r}, s);
    line(l, c, {p.x - r, p.y + r}, {p.x + r, p.y - r}, s);
}

void checkmark(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    ImVec2 pts[3] = {{p.x - s * 0.38f, p.y}, {p.x - s * 0.1f, p.y + s * 0.3f},
                     {p.x + s * 0.4f, p.y - s * 0.32f}};
    l->AddPolyline(pts, 3, c, 0, stroke(s) * 1.2f);
}

void chevron(ImDrawList* l, ImU32 c, ImVec2 p, float s, float dx, float dy) {
    float r = s * 0.3f;
    // dx/dy give the pointing direction; the two arms open away from it.
    ImVec2 tip(p.x + dx * r * 0.6f, p.y + dy * r * 0.6f);
    ImVec2 a(tip.x - dx * r + dy * r * 1.6f, tip.y - dy * r + dx * r * 1.6f);
    ImVec2 b(tip.x - dx * r - dy * r * 1.6f, tip.y - dy * r - dx * r * 1.6f);
    ImVec2 pts[3] = {a, tip, b};
    l->AddPolyline(pts, 3, c, 0, stroke(s) * 1.3f);
}
void chevron_left(ImDrawList* l, ImU32 c, ImVec2 p, float s) { chevron(l, c, p, s, -1, 0); }
void chevron_right(ImDrawList* l, ImU32 c, ImVec2 p, float s) { chevron(l, c, p, s, 1, 0); }
void chevron_down(ImDrawList* l, ImU32 c, ImVec2 p, float s) { chevron(l, c, p, s, 0, 1); }
void chevron_up(ImDrawList* l, ImU32 c, ImVec2 p, float s) { chevron(l, c, p, s, 0, -1); }

void arrow_clockwise(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    float r = s * 0.36f;
    l->PathArcTo(p, r, -1.2f, 4.0f, 20);
    l->PathStroke(c, 0, stroke(s));
    ImVec2 tip(p.x + r * std::cos(-1.2f), p.y + r * std::sin(-1.2f));
    arrowhead(l, c, {tip.x + s * 0.08f, tip.y + s * 0.03f}, 0.35f, s * 0.26f);
}

void clock(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    l->AddCircle(p, s * 0.43f, c, 24, stroke(s));
    line(l, c, p, {p.x, p.y - s * 0.26f}, s);
    line(l, c, p, {p.x + s * 0.18f, p.y + s * 0.1f}, s);
}

void music_note(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    ImVec2 head(p.x - s * 0.12f, p.y + s * 0.26f);
    l->AddCircleFilled(head, s * 0.16f, c, 16);
    ImVec2 top(head.x + s * 0.14f, p.y - s * 0.42f);
    line(l, c, {top.x, head.y}, top, s);
    l->AddTriangleFilled(top, {top.x + s * 0.28f, top.y + s * 0.16f}, {top.x, top.y + s * 0.3f}, c);
}

void music_note_list(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    for (int i = 0; i < 3; ++i) {
        float y = p.y - s * 0.3f + i * s * 0.24f;
        line(l, c, {p.x - s * 0.45f, y}, {p.x + (i == 2 ? -0.05f : 0.1f) * s, y}, s);
    }
    ImVec2 head(p.x + s * 0.18f, p.y + s * 0.3f);
    l->AddCircleFilled(head, s * 0.12f, c, 12);
    line(l, c, {head.x + s * 0.1f, head.y}, {head.x + s * 0.1f, p.y - s * 0.38f}, s);
    line(l, c, {head.x + s * 0.1f, p.y - s * 0.38f}, {head.x + s * 0.3f, p.y - s * 0.3f}, s);
}

void music_mic(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    ImVec2 head(p.x + s * 0.16f, p.y - s * 0.16f);
    l->AddCircle(head, s * 0.22f, c, 16, stroke(s));
    line(l, c, {head.x - s * 0.16f, head.y + s * 0.16f}, {p.x - s * 0.4f, p.y + s * 0.42f}, s);
}

void square_stack(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    float r = s * 0.32f, off = s * 0.1f;
    l->AddRect({p.x - r + off, p.y - r - off}, {p.x + r + off, p.y + r - off}, c, s * 0.1f, 0,
               stroke(s) * 0.8f);
    l->AddRectFilled({p.x - r - off, p.y - r + off}, {p.x + r - off, p.y + r + off}, c, s * 0.1f);
}

void trash(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    float top = p.y - s * 0.3f;
    line(l, c, {p.x - s * 0.4f, top}, {p.x + s * 0.4f, top}, s);
    line(l, c, {p.x - s * 0.12f, top - s * 0.12f}, {p.x + s * 0.12f, top - s * 0.12f}, s);
    ImVec2 body[4] = {{p.x - s * 0.3f, top}, {p.x - s * 0.24f, p.y + s * 0.44f},
                      {p.x + s * 0.24f, p.y + s * 0.44f}, {p.x + s * 0.3f, top}};
    l->AddPolyline(body, 4, c, 0, stroke(s));
}

void arrow_down_circle(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    l->AddCircle(p, s * 0.43f, c, 24, stroke(s));
    line(l, c, {p.x, p.y - s * 0.24f}, {p.x, p.y + s * 0.16f}, s);
    arrowhead(l, c, {p.x, p.y + s * 0.26f}, 1.5708f, s * 0.2f);
}

void arrow_uturn(ImDrawList* l, ImU32 c, ImVec2 p, float s, float dir) {
    // m = +1: arrow points left and the bend is on the right; -1 mirrors it.
    float m = -dir, r = s * 0.22f, ax = p.x + m * s * 0.12f;
    l->PathArcTo({ax, p.y}, r, -1.5708f, m > 0 ? 1.5708f : -4.7124f, 14);
    l->PathLineTo({p.x - m * s * 0.2f, p.y + r});
    l->PathStroke(c, 0, stroke(s));
    line(l, c, {ax, p.y - r}, {p.x - m * s * 0.3f, p.y - r}, s);
    arrowhead(l, c, {p.x - m * s * 0.44f, p.y - r}, m > 0 ? 3.1416f : 0.0f, s * 0.22f);
}
void arrow_uturn_backward(ImDrawList* l, ImU32 c, ImVec2 p, float s) { arrow_uturn(l, c, p, s, -1); }
void arrow_uturn_forward(ImDrawList* l, ImU32 c, ImVec2 p, float s) { arrow_uturn(l, c, p, s, 1); }

void magnifier(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    ImVec2 g(p.x - s * 0.08f, p.y - s * 0.08f);
    l->AddCircle(g, s * 0.27f, c, 16, stroke(s));
    line(l, c, {g.x + s * 0.2f, g.y + s * 0.2f}, {p.x + s * 0.42f, p.y + s * 0.42f}, s);
}

void gear(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    for (int i = 0; i < 8; ++i) {
        float a = i * 0.7854f;
        line(l, c, {p.x + std::cos(a) * s * 0.24f, p.y + std::sin(a) * s * 0.24f},
             {p.x + std::cos(a) * s * 0.44f, p.y + std::sin(a) * s * 0.44f}, s * 1.4f);
    }
    l->AddCircle(p, s * 0.28f, c, 16, stroke(s));
}

void folder(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    l->AddRectFilled({p.x - s * 0.44f, p.y - s * 0.3f}, {p.x - s * 0.05f, p.y - s * 0.12f}, c, s * 0.06f);
    l->AddRectFilled({p.x - s * 0.44f, p.y - s * 0.2f}, {p.x + s * 0.44f, p.y + s * 0.32f}, c, s * 0.08f);
}

void phone(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    l->AddRect({p.x - s * 0.24f, p.y - s * 0.45f}, {p.x + s * 0.24f, p.y + s * 0.45f}, c, s * 0.1f, 0,
               stroke(s));
    line(l, c, {p.x - s * 0.06f, p.y + s * 0.34f}, {p.x + s * 0.06f, p.y + s * 0.34f}, s * 0.8f);
}

void heart(ImDrawList* l, ImU32 c, ImVec2 p, float s) {
    float r = s * 0.2f;
    l->AddCircleFilled({p.x - r, p.y - s * 0.1f}, r, c, 16);
    l->AddCircleFilled({p.x + r, p.y - s * 0.1f}, r, c, 16);
    l->AddTriangleFilled({p.x - 2 * r, p.y - s * 0.05f}, {p.x + 2 * r, p.y - s * 0.05f},
                         {p.x, p.y + s * 0.4f}, c);
}

// --- media symbols: the transport bar's vector icons at the symbol's scale ---

void play_fill(ImDrawList* l, ImU32 c, ImVec2 p, float s) { draw_transport_icon(l, "play", c, p, s / 0.8f); }
void pause_fill(ImDrawList* l, ImU32 c, ImVec2 p, float s) { draw_transport_icon(l, "pause", c, p, s / 0.8f); }
void backward_end(ImDrawList* l, ImU32 c, ImVec2 p, float s) { draw_transport_icon(l, "prev", c, p, s / 0.62f); }
void forward_end(ImDrawList* l, ImU32 c, ImVec2 p, float s) { draw_transport_icon(l, "next", c, p, s / 0.62f); }
void shuffle(ImDrawList* l, ImU32 c, ImVec2 p, float s) { draw_transport_icon(l, "shuf", c, p, s / 0.62f); }
void repeat(ImDrawList* l, ImU32 c, ImVec2 p, float s) { draw_transport_icon(l, "rept", c, p, s / 0.62f); }

const std::map<std::string, Fn>& table() {
    static const std::map<std::string, Fn> t = {
        {"plus", plus},
        {"minus", minus},
        {"xmark", xmark},
        {"checkmark", checkmark},
        {"chevron.left", chevron_left},
        {"chevron.right", chevron_right},
        {"chevron.down", chevron_down},
        {"chevron.up", chevron_up},
        {"arrow.clockwise", arrow_clockwise},
        {"clock", clock},
        {"music.note", music_note},
        {"music.note.list", music_note_list},
        {"music.mic", music_mic},
        {"square.stack", square_stack},
        {"trash", trash},
        {"arrow.down.circle", arrow_down_circle},
        {"arrow.uturn.backward", arrow_uturn_backward},
        {"arrow.uturn.forward", arrow_uturn_forward},
        {"magnifyingglass", magnifier},
        {"gearshape", gear},
        {"folder", folder},
        {"iphone", phone},
        {"heart.fill", heart},
        {"play.fill", play_fill},
        {"pause.fill", pause_fill},
        {"backward.end.fill", backward_end},
        {"forward.end.fill", forward_end},
        {"shuffle", shuffle},
        {"repeat", repeat},
    };
    return t;
}

}  // namespace

bool sf_known(const std::string& name) { return table().count(name) != 0; }

bool sf_draw(ImDrawList* list, const std::string& name, ImU32 colour, ImVec2 centre, float size) {
    auto it = table().find(name);
    if (it == table().end() || !list) return false;
    it->second(list, colour, centre, size);
    return true;
}
