// The rhythm file's reader on raw bytes: at most ten entries, each a pattern
// of sixteen steps with a note, and what the store writes reads back the same.
#include <string>
#include <string_view>

#include "FuzzEntry.h"
#include "editing/RhythmStore.h"

TONTOKO_FUZZ_ENTRY(FuzzRhythmFile) {
    tontoko::RhythmStore store;
    store.LoadText(std::string_view(reinterpret_cast<const char*>(data), size));
    TONTOKO_FUZZ_CHECK(store.Count() <= tontoko::RhythmStore::kCapacity, "more than ten rhythms");
    std::string written;
    for (int i = 0; i < store.Count(); ++i) {
        TONTOKO_FUZZ_CHECK(tontoko::RhythmStore::IsPattern(store.Entry(i)), "not a pattern");
        written += store.Entry(i) + "\r\n";
    }
    tontoko::RhythmStore reread;
    reread.LoadText(written);
    TONTOKO_FUZZ_CHECK(reread.Count() == store.Count(), "the written file reads back otherwise");
    for (int i = 0; i < store.Count(); ++i) {
        TONTOKO_FUZZ_CHECK(reread.Entry(i) == store.Entry(i), "an entry changed on the way");
    }
    return 0;
}
