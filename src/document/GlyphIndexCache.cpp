#include "document/GlyphIndexCache.h"

#if defined(__ELF__)
#include <dlfcn.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <atomic>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace {

using GetCharIndex = FT_UInt (*)(FT_Face, FT_ULong);
using DoneFace = FT_Error (*)(FT_Face);
using DoneLibrary = FT_Error (*)(FT_Library);

constexpr FT_ULong kTableSize = 0x10000;
constexpr FT_UInt kNotAsked = ~FT_UInt(0);

// A lookup depends on the face and on its selected character map.
struct Key {
    FT_Face face;
    FT_CharMap charmap;
    bool operator==(const Key& o) const { return face == o.face && charmap == o.charmap; }
};
struct KeyHash {
    size_t operator()(const Key& k) const
    {
        return std::hash<const void*>()(k.face) ^ (std::hash<const void*>()(k.charmap) << 1);
    }
};

struct Table {
    FT_Long glyphCount; // a face freed behind our back and another made at its address differ here
    FT_Long faceIndex;
    std::unique_ptr<std::atomic<FT_UInt>[]> glyphs;
};

// Never destroyed: FreeType is still called while statics are torn down.
std::mutex& tablesMutex()
{
    static auto* m = new std::mutex;
    return *m;
}
std::unordered_map<Key, std::shared_ptr<Table>, KeyHash>& tables()
{
    static auto* t = new std::unordered_map<Key, std::shared_ptr<Table>, KeyHash>;
    return *t;
}
// Raised whenever tables are dropped, so no thread goes on with one it kept.
std::atomic<unsigned> g_generation{0};

// The table a thread used last: the writer asks for one face many thousand
// times in a row, so most lookups take neither the lock nor the map.
struct LastTable {
    Key key{nullptr, nullptr};
    unsigned generation = ~0u;
    std::shared_ptr<Table> table;
};
thread_local LastTable t_last;

bool fits(const Table& table, FT_Face face)
{
    return table.glyphCount == face->num_glyphs && table.faceIndex == face->face_index;
}

Table& tableFor(FT_Face face)
{
    const Key key{face, face->charmap};
    const unsigned generation = g_generation.load(std::memory_order_acquire);
    if (t_last.table && t_last.key == key && t_last.generation == generation && fits(*t_last.table, face))
        return *t_last.table;
    std::lock_guard<std::mutex> lock(tablesMutex());
    std::shared_ptr<Table>& table = tables()[key];
    if (!table || !fits(*table, face)) {
        table = std::make_shared<Table>();
        table->glyphCount = face->num_glyphs;
        table->faceIndex = face->face_index;
        table->glyphs.reset(new std::atomic<FT_UInt>[kTableSize]);
        for (FT_ULong c = 0; c < kTableSize; ++c)
            table->glyphs[c].store(kNotAsked, std::memory_order_relaxed);
    }
    // Held by the thread until it moves on, so a table dropped meanwhile stays readable.
    t_last = {key, g_generation.load(std::memory_order_acquire), table};
    return *table;
}

template <typename F> F nextDefinition(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

GetCharIndex realGetCharIndex()
{
    static const GetCharIndex f = nextDefinition<GetCharIndex>("FT_Get_Char_Index");
    return f;
}

// Drops every table of faces that are about to go.
template <typename Pred> void forget(Pred dies)
{
    std::lock_guard<std::mutex> lock(tablesMutex());
    auto& t = tables();
    for (auto it = t.begin(); it != t.end();)
        it = dies(it->first.face) ? t.erase(it) : std::next(it);
    g_generation.fetch_add(1, std::memory_order_acq_rel);
}

} // namespace

extern "C" {

FT_UInt FT_Get_Char_Index(FT_Face face, FT_ULong charcode)
{
    const GetCharIndex real = realGetCharIndex();
    if (!real)
        return 0;
    if (!face || charcode >= kTableSize)
        return real(face, charcode);
    // Two threads filling one slot store the same answer.
    std::atomic<FT_UInt>& slot = tableFor(face).glyphs[charcode];
    FT_UInt glyph = slot.load(std::memory_order_relaxed);
    if (glyph == kNotAsked) {
        glyph = real(face, charcode);
        slot.store(glyph, std::memory_order_relaxed);
    }
    return glyph;
}

FT_Error FT_Done_Face(FT_Face face)
{
    static const DoneFace real = nextDefinition<DoneFace>("FT_Done_Face");
    forget([face](FT_Face f) { return f == face; });
    return real ? real(face) : FT_Err_Invalid_Face_Handle;
}

// A library takes its remaining faces with it; which ones is not public, so
// every table goes (they fill again on use).
FT_Error FT_Done_FreeType(FT_Library library)
{
    static const DoneLibrary real = nextDefinition<DoneLibrary>("FT_Done_FreeType");
    forget([](FT_Face) { return true; });
    return real ? real(library) : FT_Err_Invalid_Library_Handle;
}

FT_Error FT_Done_Library(FT_Library library)
{
    static const DoneLibrary real = nextDefinition<DoneLibrary>("FT_Done_Library");
    forget([](FT_Face) { return true; });
    return real ? real(library) : FT_Err_Invalid_Library_Handle;
}

} // extern "C"

namespace morvane::document {

bool glyphIndexCacheInstalled()
{
    return reinterpret_cast<void*>(dlsym(RTLD_DEFAULT, "FT_Get_Char_Index"))
           == reinterpret_cast<void*>(&FT_Get_Char_Index);
}

} // namespace morvane::document

#else

namespace morvane::document {

bool glyphIndexCacheInstalled() { return false; }

} // namespace morvane::document

#endif
