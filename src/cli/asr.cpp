#include "cli/asr.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "cli/cli.h"
#include "cli/json.h"
#include "core/file_names.h"
#include "core/state.h"
#include "core/track.h"

std::string asr_dir(const std::string& path, uint64_t size)
{
    return cli_home() + "/asr/" + io_hash_hex(path + "#" + std::to_string(size));
}

std::string cli_asr_program()
{
    const char* p = std::getenv("LUMORA_ASR");
    return p && *p ? p : "parakeet-mlx";
}

static bool file_exists(const std::string& p)
{
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string cli_asr_json(const std::string& path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "";
    std::string dir = asr_dir(path, static_cast<uint64_t>(st.st_size));
    std::string out = dir + "/" + path_stem(path) + ".json";
    if (file_exists(out)) return out;
    state_mkdirs(dir);
    // The recogniser must not try to reach the network for its model.
    ::setenv("HF_HUB_OFFLINE", "1", 1);
    // A relative name starting with "-" would read as an option.
    std::string arg = path[0] == '-' ? "./" + path : path;
    bool ok = cli_spawn({cli_asr_program(), "--output-format", "json", "--output-dir", dir, arg}, true);
    return ok && file_exists(out) ? out : "";
}

// True when the token holds something besides blanks and punctuation.
static bool token_counts(const std::string& t)
{
    for (unsigned char c : t) {
        if (c >= 128) return true;
        switch (c) {
        case ' ': case '!': case '"': case '\'': case ',': case '.': case ':': case ';': case '?':
            break;
        default:
            return true;
        }
    }
    return false;
}

std::vector<Seg> cli_asr_segs(const std::string& json_path)
{
    std::vector<Seg> segs;
    std::string text;
    if (!state_read(json_path, text)) return segs;
    JVal root = json_parse(text);
    const JVal* sentences = root.get("sentences");
    if (!sentences || !sentences->is_arr()) return segs;
    for (const JVal& s : sentences->items) {
        const JVal* tokens = s.get("tokens");
        if (!tokens || !tokens->is_arr()) continue;
        bool any = false;
        Seg seg;
        for (const JVal& t : tokens->items) {
            const JVal* tt = t.get("text");
            const JVal* ts = t.get("start");
            const JVal* te = t.get("end");
            if (!tt || !ts || !te || !token_counts(tt->str)) continue;
            if (!any) seg.start = static_cast<float>(ts->num);
            seg.end = static_cast<float>(te->num);
            any = true;
        }
        if (!any) continue;
        const JVal* st = s.get("text");
        std::string body = st ? st->str : "";
        size_t lead = body.find_first_not_of(' ');
        seg.text = lead == std::string::npos ? "" : body.substr(lead);
        segs.push_back(std::move(seg));
    }
    return segs;
}
