#define LUMORA_AV_LAZY_IMPL
#include "core/av_lazy.h"

#include <dlfcn.h>
#include <mutex>

namespace {

#define LUMORA_SONAME(lib, major) "lib" lib ".so." AV_STRINGIFY(major)

AvLib g_lib;
bool g_ok = false;

void* sym(void* const* handles, int n, const char* name)
{
    for (int i = 0; i < n; ++i)
        if (handles[i])
            if (void* p = ::dlsym(handles[i], name)) return p;
    return nullptr;
}

void load()
{
    void* handles[] = {
        ::dlopen(LUMORA_SONAME("avutil", LIBAVUTIL_VERSION_MAJOR), RTLD_NOW | RTLD_GLOBAL),
        ::dlopen(LUMORA_SONAME("swresample", LIBSWRESAMPLE_VERSION_MAJOR), RTLD_NOW | RTLD_GLOBAL),
        ::dlopen(LUMORA_SONAME("avcodec", LIBAVCODEC_VERSION_MAJOR), RTLD_NOW | RTLD_GLOBAL),
        ::dlopen(LUMORA_SONAME("avformat", LIBAVFORMAT_VERSION_MAJOR), RTLD_NOW | RTLD_GLOBAL),
    };
    bool ok = true;
#define LUMORA_AV_LOAD(f)                                                            \
    g_lib.f = reinterpret_cast<decltype(g_lib.f)>(sym(handles, 4, #f));              \
    ok = ok && g_lib.f != nullptr;
    LUMORA_AV_FUNCS(LUMORA_AV_LOAD)
#undef LUMORA_AV_LOAD
    g_ok = ok;
}

}  // namespace

bool av_lib_ok()
{
    static std::once_flag once;
    std::call_once(once, load);
    return g_ok;
}

const AvLib& av_lib()
{
    return g_lib;
}
