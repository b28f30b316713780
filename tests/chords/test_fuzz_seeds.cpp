// Seeded mutations of small valid inputs through the chord and lyric readers,
// checking the same properties the libFuzzer targets in fuzz/ check.
#include <gtest/gtest.h>

#include <cstdint>

#include "../../fuzz/chords_fuzz_checks.h"

namespace {

// Deterministic byte-level mutator: flips, inserts, deletes, duplicates
// spans and splices in tokens the readers care about.
class Mutator {
public:
    explicit Mutator(uint32_t seed) : s_(seed) {}
    std::string operator()(std::string x)
    {
        static const char* tokens[] = {"[", "]", "{", "}", ":", "=", "\"", "\\", "\n", "\r",
                                       "/", "#", "b", "[[chord]]\n", "[[section]]\n", "t = ",
                                       "name = \"", "{key:", "[00:01.00]", "\"startTime\":",
                                       "\"text\":\"", "nan", "inf", "1e39", "-7", "\0"};
        int steps = 1 + static_cast<int>(next() % 6);
        for (int i = 0; i < steps; ++i) {
            size_t pos = x.empty() ? 0 : next() % (x.size() + 1);
            switch (next() % 5) {
            case 0:
                if (pos < x.size()) x[pos] = static_cast<char>(next());
                break;
            case 1:
                x.insert(pos, tokens[next() % (sizeof tokens / sizeof *tokens)]);
                break;
            case 2:
                if (pos < x.size()) x.erase(pos, 1 + next() % 8);
                break;
            case 3:
                if (pos < x.size()) x.insert(pos, x.substr(pos, 1 + next() % 32));
                break;
            default:
                x.insert(pos, 1, static_cast<char>(' ' + next() % 95));
            }
        }
        return x;
    }

private:
    uint32_t next()
    {
        s_ = s_ * 1664525u + 1013904223u;
        return s_ >> 8;
    }
    uint32_t s_;
};

struct Target {
    const char* name;
    std::string (*check)(const std::string&);
    std::vector<std::string> seeds;
};

TEST(FuzzSeeds, ReadersKeepTheirPropertiesUnderMutation)
{
    const Target targets[] = {
        {"chord name", fuzzcheck::chord_name, {"Bbm7", "D/F#", "C6/9/E", "F#m7b5/A", "Cb5", "N.C."}},
        {"chord file", fuzzcheck::chord_file,
         {"key = \"Am\"\nbpm = 96\nmeter = 3\ndownbeat = 0.5\n\n[[section]]\nt = 1\nname = \"V\"\n"
          "\n[[chord]]\nt = 0.5\nname = \"Am\"\n[[chord]]\nt = 2\nname = \"G\\\"x\"\n",
          "bpm = 120\ndownbeat = 1\n[[chord]]\nt = 0.2\nname = \"C\"\n"}},
        {"chordpro", fuzzcheck::chordpro,
         {std::string("[00:01.00]hello there\n[00:05.00]world again\n") + '\0' +
              "{key: Am}\n{tempo: 90}\n[Am]hello [G]there\n[C] [F]\n[Em]world again\n",
          std::string("[00:02.00]one two\n") + '\0' + "[A]one [B]two\n[C]three\n"}},
        {"lrc", fuzzcheck::lrc,
         {"[00:01.00]a\n[01:02.5] b\n[ar:x]\n",
          "{\"lines\":[{\"startTime\":1.5,\"text\":\"x\"},{\"text\":\"y\",\"startTime\":2}]}"}},
    };
    for (const Target& t : targets) {
        Mutator mutate(0xC0FFEEu);
        for (const std::string& seed : t.seeds) {
            ASSERT_EQ(t.check(seed), "") << t.name << " seed";
            std::string x = seed;
            for (int i = 0; i < 4000; ++i) {
                x = mutate(i % 50 == 0 ? seed : x);
                if (x.size() > 4096) x = seed;
                std::string err = t.check(x);
                ASSERT_EQ(err, "") << t.name << " input: " << testing::PrintToString(x);
            }
        }
    }
}

}  // namespace
