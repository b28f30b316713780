// libFuzzer entry for the chord and lyric readers. Built by fuzz/build.sh with
// one of FUZZ_CHORD_NAME, FUZZ_CHORD_FILE, FUZZ_CHORDPRO or FUZZ_LRC defined.
#include <cstdio>
#include <cstdlib>

#include "chords_fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string in(reinterpret_cast<const char*>(data), size);
#if defined(FUZZ_CHORD_NAME)
    std::string err = fuzzcheck::chord_name(in.substr(0, 256));
#elif defined(FUZZ_CHORD_FILE)
    std::string err = fuzzcheck::chord_file(in);
#elif defined(FUZZ_CHORDPRO)
    std::string err = fuzzcheck::chordpro(in);
#else
    std::string err = fuzzcheck::lrc(in);
#endif
    if (!err.empty()) {
        std::fprintf(stderr, "property broken: %s\n", err.c_str());
        std::abort();
    }
    return 0;
}
