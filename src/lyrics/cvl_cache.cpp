#include "lyrics/cvl_cache.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/state.h"

namespace {

constexpr size_t kPiece = 262144;

void put_be64(EVP_MD_CTX* ctx, uint64_t v)
{
    unsigned char b[8];
    for (int i = 0; i < 8; ++i) b[i] = static_cast<unsigned char>(v >> (56 - 8 * i));
    EVP_DigestUpdate(ctx, b, 8);
}

// Hashes up to `len` bytes from `off`; false on a read error.
bool hash_piece(EVP_MD_CTX* ctx, int fd, off_t off, size_t len)
{
    std::vector<unsigned char> buf(len);
    size_t got = 0;
    while (got < len) {
        ssize_t n = ::pread(fd, buf.data() + got, len - got, off + static_cast<off_t>(got));
        if (n < 0) return false;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    EVP_DigestUpdate(ctx, buf.data(), got);
    return true;
}

using MdCtx = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

bool hash_file(EVP_MD_CTX* ctx, const std::string& path, int fd, const struct stat& st)
{
    size_t slash = path.rfind('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    EVP_DigestUpdate(ctx, name.data(), name.size());
    uint64_t size = static_cast<uint64_t>(st.st_size);
    put_be64(ctx, size);
    double mtime = static_cast<double>(st.st_mtim.tv_sec) +
                   static_cast<double>(st.st_mtim.tv_nsec) * 0.000000001;
    uint64_t bits;
    std::memcpy(&bits, &mtime, sizeof bits);
    put_be64(ctx, bits);
    if (!hash_piece(ctx, fd, 0, static_cast<size_t>(std::min<uint64_t>(size, kPiece))))
        return false;
    if (size > kPiece && !hash_piece(ctx, fd, static_cast<off_t>(size - kPiece), kPiece))
        return false;
    return true;
}

// Position just past the first `key` at or after `from`, or npos.
size_t after(const std::string& s, const std::string& key, size_t from)
{
    size_t p = s.find(key, from);
    return p == std::string::npos ? p : p + key.size();
}

bool object_line(const std::string& obj, LrcLine& out)
{
    size_t k = obj.find("\"startTime\"");
    if (k == std::string::npos) return false;
    size_t colon = obj.find(':', k);
    if (colon == std::string::npos) return false;
    const char* num = obj.c_str() + colon + 1;
    char* end = nullptr;
    float t = static_cast<float>(std::strtod(num, &end));  // strtod skips leading blanks
    // Not a number, or none a song can have (NaN would break sorting): skip the object.
    if (end == num || !std::isfinite(t)) return false;
    size_t tk = obj.find("\"text\"");
    if (tk == std::string::npos) return false;
    size_t c2 = obj.find(':', tk);
    if (c2 == std::string::npos) return false;
    size_t q1 = obj.find('"', c2);
    if (q1 == std::string::npos) return false;
    size_t q2 = obj.find('"', q1 + 1);
    if (q2 == std::string::npos || q2 == q1 + 1) return false;
    out.t = t;
    out.text = obj.substr(q1 + 1, q2 - q1 - 1);
    return true;
}

}  // namespace

std::string cvl_fingerprint(const std::string& path)
{
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return "";
    struct stat st;
    MdCtx ctx(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ctx &&
              EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) == 1 &&
              hash_file(ctx.get(), path, fd, st);
    ::close(fd);
    unsigned char md[EVP_MAX_MD_SIZE];
    unsigned int len = 0;
    if (!ok || EVP_DigestFinal_ex(ctx.get(), md, &len) != 1) return "";
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned i = 0; i < len; ++i) {
        out += hex[md[i] >> 4];
        out += hex[md[i] & 15];
    }
    return out;
}

std::string cvl_cache_dir()
{
    const char* xdg = std::getenv("XDG_DATA_HOME");
    // XDG base directories: relative values are to be ignored.
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/Corvelle/SyncedLyrics";
    const char* home = std::getenv("HOME");
    if (!home || !*home) return "";
    return std::string(home) + "/.local/share/Corvelle/SyncedLyrics";
}

bool parse_cvl_json(const std::string& text, std::vector<LrcLine>& lines)
{
    if (text.size() <= 6) return false;
    size_t pos = after(text, "\"lines\"", 0);
    if (pos == std::string::npos) return false;
    pos = text.find('[', pos);
    if (pos == std::string::npos) return false;
    bool added = false;
    for (;;) {
        size_t open = text.find('{', pos);
        size_t close = text.find('}', pos);
        if (open == std::string::npos || close == std::string::npos || close < open) break;
        LrcLine l;
        if (object_line(text.substr(open, close - open + 1), l)) {
            lines.push_back(std::move(l));
            added = true;
        }
        pos = close + 1;
    }
    return added;
}

bool try_load_cvl_lyrics(const std::string& song_path, std::vector<LrcLine>& lines)
{
    std::string dir = cvl_cache_dir();
    if (dir.empty()) return false;
    std::string fp = cvl_fingerprint(song_path);
    if (fp.empty()) return false;
    std::string text;
    if (!state_read(dir + "/" + fp + ".json", text)) return false;
    if (!parse_cvl_json(text, lines)) return false;
    std::stable_sort(lines.begin(), lines.end(),
                     [](const LrcLine& a, const LrcLine& b) { return a.t < b.t; });
    return true;
}
