#include <gtest/gtest.h>

#include <stb_image_write.h>

#include <cstring>

#include "app/album_grid.h"
#include "app/app_state.h"
#include "app/cover_cache.h"
#include "views_fixture.h"

namespace {

std::vector<std::string> keys(const std::vector<AlbumTile>& tiles) {
    std::vector<std::string> out;
    for (const AlbumTile& t : tiles) out.push_back(t.key);
    return out;
}

void png_sink(void* ctx, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(ctx);
    out->insert(out->end(), (unsigned char*)data, (unsigned char*)data + size);
}

std::vector<unsigned char> png(int w, int h) {
    std::vector<unsigned char> px((size_t)w * h * 4, 200), out;
    stbi_write_png_to_func(png_sink, &out, w, h, 4, px.data(), w * 4);
    return out;
}

}  // namespace

TEST(AlbumTiles, GroupingByAlbumAndArtist) {
    AppState s;
    s.library.tracks = {
        views_track("/a1", "One", "", "", 1),        views_track("/b1", "Intro", "Band", "Live", 1),
        views_track("/c1", "Other", "Solo", "Live", 1), views_track("/a2", "Two", "", "", 2),
        views_track("/b2", "Outro", "Band", "Live", 2),
    };
    std::vector<AlbumTile> tiles;
    collect_albums(s, tiles);
    ASSERT_EQ(tiles.size(), 3u);
    EXPECT_EQ(keys(tiles), (std::vector<std::string>{"Unknown Album\nUnknown Artist", "Live\nBand", "Live\nSolo"}));
    EXPECT_EQ(tiles[0].title, "Unknown Album");
    EXPECT_EQ(tiles[0].artist, "Unknown Artist");
    EXPECT_EQ(tiles[0].path, "/a1");
    EXPECT_EQ(tiles[2].first, 2);
    // Searching by title: the tile takes the first matching song.
    std::strcpy(s.search, "OUTRO");
    collect_albums(s, tiles);
    ASSERT_EQ(tiles.size(), 1u);
    EXPECT_EQ(tiles[0].path, "/b2");
    EXPECT_EQ(tiles[0].first, 4);
    std::strcpy(s.search, "solo");  // by artist
    collect_albums(s, tiles);
    EXPECT_EQ(keys(tiles), (std::vector<std::string>{"Live\nSolo"}));
}

TEST(AlbumTiles, LayoutAndHeaderTexts) {
    EXPECT_EQ(album_grid_columns(100, 132), 1);  // narrower than one tile
    EXPECT_EQ(album_grid_columns(300, 132), 2);  // 300 / 150
    EXPECT_EQ(album_grid_columns(299, 132), 1);
    EXPECT_EQ(album_header_line("Band", 1), "Band  \xC2\xB7  1 song");
    EXPECT_EQ(album_header_line("Band", 2), "Band  \xC2\xB7  2 songs");
}

TEST(CoverCache, LimitsLoadsPerFrameAndCachesHitsAndMisses) {
    CoverCache c;
    int reads = 0, uploads = 0;
    c.read = [&](const std::string& path, std::vector<unsigned char>& out) {
        ++reads;
        if (path.find("none") != std::string::npos) return false;
        out.assign(10, 1);
        return true;
    };
    c.upload = [&](const unsigned char*, size_t) { return (unsigned)(100 + ++uploads); };
    // Five albums asked in one frame: four load, the fifth waits for the next frame.
    for (int i = 0; i < 5; ++i) {
        unsigned t = cover_cache_get(c, "k" + std::to_string(i), "/p" + std::to_string(i), 1);
        EXPECT_EQ(t != 0, i < 4) << i;
    }
    EXPECT_NE(cover_cache_get(c, "k4", "/p4", 2), 0u);
    // Another song of a cached album shares its texture without reading.
    int before = reads;
    EXPECT_EQ(cover_cache_get(c, "k0", "/other-song", 3), 101u);
    EXPECT_EQ(reads, before);
    // A song without a picture is asked once, then remembered by path.
    EXPECT_EQ(cover_cache_get(c, "kn", "/none", 4), 0u);
    EXPECT_EQ(cover_cache_get(c, "kn", "/none", 5), 0u);
    EXPECT_EQ(reads, before + 1);
    // A picture that does not decode is remembered as missing too.
    c.upload = [&](const unsigned char*, size_t) { return 0u; };
    EXPECT_EQ(cover_cache_get(c, "kb", "/bad", 6), 0u);
    EXPECT_TRUE(c.missing.count("/bad"));
}

TEST(CoverDecode, DecodesAndScalesDownLargePictures) {
    int w = 0, h = 0;
    std::vector<unsigned char> rgba;
    std::vector<unsigned char> small = png(40, 20);
    ASSERT_TRUE(art_decode(small.data(), small.size(), 512, w, h, rgba));
    EXPECT_EQ(w, 40);
    EXPECT_EQ(h, 20);
    EXPECT_EQ(rgba.size(), 40u * 20 * 4);
    std::vector<unsigned char> big = png(1000, 500);
    ASSERT_TRUE(art_decode(big.data(), big.size(), 512, w, h, rgba));
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 256);
    const unsigned char junk[] = "not a picture at all";
    EXPECT_FALSE(art_decode(junk, sizeof junk, 512, w, h, rgba));
    EXPECT_FALSE(art_decode(small.data(), 7, 512, w, h, rgba));  // too short to be anything
    EXPECT_FALSE(art_decode(nullptr, 0, 512, w, h, rgba));
}

TEST(AlbumTiles, ReusedUntilTheLibraryOrSearchChanges) {
    AppState s;
    s.library.tracks = {views_track("/a", "One", "X", "First"), views_track("/b", "Two", "X", "First")};
    EXPECT_EQ(album_tiles(s).size(), 1u);
    s.library.tracks[1].album = "Second";  // re-tagged: shows at once
    EXPECT_EQ(keys(album_tiles(s)), (std::vector<std::string>{"First\nX", "Second\nX"}));
    std::strcpy(s.search, "two");
    EXPECT_EQ(keys(album_tiles(s)), (std::vector<std::string>{"Second\nX"}));
    s.library.tracks[1].title = "Zwei";  // titles count while searching
    EXPECT_TRUE(album_tiles(s).empty());
    s.search[0] = 0;
    std::swap(s.library.tracks[0], s.library.tracks[1]);  // reordered: first index follows
    EXPECT_EQ(album_tiles(s)[0].first, 0);
    EXPECT_EQ(album_tiles(s)[0].path, "/b");
}
