// Every harness run over its whole checked-in corpus as an ordinary test, so an
// input that once failed stays fixed: a failing input is added to the corpus
// of its harness (tests/fuzz/corpus/<harness>/).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

int FuzzPatternFiles(const uint8_t* data, size_t size);
int FuzzRhythmFile(const uint8_t* data, size_t size);
int FuzzJoin(const uint8_t* data, size_t size);
int FuzzRender(const uint8_t* data, size_t size);
int FuzzSongFile(const uint8_t* data, size_t size);

namespace {

// Runs `entry` on every file of the corpus folder `name`; returns how many.
size_t RunCorpus(const char* name, int (*entry)(const uint8_t*, size_t)) {
    const std::filesystem::path folder = std::filesystem::path(TONTOKO_FUZZ_CORPUS) / name;
    std::vector<std::filesystem::path> files;
    for (const auto& item : std::filesystem::directory_iterator(folder)) {
        if (item.is_regular_file()) {
            files.push_back(item.path());
        }
    }
    std::sort(files.begin(), files.end());
    for (const std::filesystem::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), {});
        SCOPED_TRACE(file.string());
        EXPECT_EQ(entry(bytes.data(), bytes.size()), 0);
    }
    // An empty input too: every harness must take it.
    entry(nullptr, 0);
    return files.size();
}

TEST(FuzzCorpus, PatternFiles) {
    EXPECT_GE(RunCorpus("patterns", FuzzPatternFiles), 4u);
}

TEST(FuzzCorpus, RhythmFile) {
    EXPECT_GE(RunCorpus("rhythm", FuzzRhythmFile), 3u);
}

TEST(FuzzCorpus, Join) {
    EXPECT_GE(RunCorpus("join", FuzzJoin), 3u);
}

TEST(FuzzCorpus, Render) {
    EXPECT_GE(RunCorpus("render", FuzzRender), 3u);
}

TEST(FuzzCorpus, SongFile) {
    EXPECT_GE(RunCorpus("songfile", FuzzSongFile), 8u);
}

}  // namespace
