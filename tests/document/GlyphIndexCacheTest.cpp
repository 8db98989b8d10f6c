#include "document/GlyphIndexCache.h"
#include <QFile>
#include <dlfcn.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>

using namespace morvane::document;

namespace {

using GetCharIndex = FT_UInt (*)(FT_Face, FT_ULong);

const char* const kMincho = "/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf";
const char* const kPGothic = "/usr/share/fonts/opentype/ipafont-gothic/ipagp.ttf";

// Code points (all of the BMP and a few beyond) whose answer differs from FreeType's own.
int wrongAnswers(FT_Face face, GetCharIndex freetype)
{
    int wrong = 0;
    for (FT_ULong c = 0; c < 0x10000; ++c)
        wrong += FT_Get_Char_Index(face, c) != freetype(face, c);
    for (FT_ULong c : {0x20BB7UL, 0x1F600UL, 0x10FFFFUL})
        wrong += FT_Get_Char_Index(face, c) != freetype(face, c);
    return wrong;
}

} // namespace

// The table answers exactly as FreeType does, cold and warm, and a face made
// after another was freed (often at the same address) gets its own answers.
TEST(GlyphIndexCache, AnswersAsFreeTypeDoesAcrossFacesFreedAndMade)
{
    ASSERT_TRUE(glyphIndexCacheInstalled()) << "the libraries do not reach the program's lookup";
    if (!QFile::exists(kMincho) || !QFile::exists(kPGothic))
        GTEST_SKIP() << "the IPA fonts are not installed";
    const auto freetype = reinterpret_cast<GetCharIndex>(dlsym(RTLD_NEXT, "FT_Get_Char_Index"));
    ASSERT_NE(freetype, nullptr);
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face mincho = nullptr;
    ASSERT_EQ(FT_New_Face(library, kMincho, 0, &mincho), 0);
    EXPECT_NE(FT_Get_Char_Index(mincho, 0x793E), 0u); // 社
    EXPECT_EQ(wrongAnswers(mincho, freetype), 0);
    EXPECT_EQ(wrongAnswers(mincho, freetype), 0);
    FT_Done_Face(mincho);

    FT_Face gothic = nullptr;
    ASSERT_EQ(FT_New_Face(library, kPGothic, 0, &gothic), 0);
    EXPECT_EQ(wrongAnswers(gothic, freetype), 0);
    // Another character map of the same face is another table.
    if (gothic->num_charmaps > 1) {
        ASSERT_EQ(FT_Set_Charmap(gothic, gothic->charmaps[gothic->num_charmaps - 1]), 0);
        EXPECT_EQ(wrongAnswers(gothic, freetype), 0);
    }
    FT_Done_FreeType(library);
}
