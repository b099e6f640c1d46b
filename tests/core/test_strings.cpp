#include "core/menus.h"
#include "core/strings.h"
#include "platform/api/cp1252.h"

#include <gtest/gtest.h>

using namespace kx;

TEST(StringTable, EveryMenuCaptionExistsInBothLanguages) {
    const StringTable& t = StringTable::builtin();
    for (const auto& info : menu_infos()) {
        if (info.base_id == 0) continue;
        for (int i = 0; i < info.items; ++i) {
            EXPECT_TRUE(t.has(info.base_id + i)) << info.base_id + i;
            EXPECT_TRUE(t.has(info.base_id + 1000 + i)) << info.base_id + 1000 + i;
        }
    }
    // Every message id that has one language has the other too.
    for (int id = 10000; id <= 10999; ++id) EXPECT_EQ(t.has(id), t.has(id + 1000)) << id;
}

TEST(StringTable, ParsesEscapesAndConvertsToTheSingleByteCodePage) {
    StringTable t =
        StringTable::parse("1\ta\\tb\\nc\\\\\n2\tperch\xc3\xa8 \xe2\x82\xac\r\nbad line\n3\tnr.: \n");
    EXPECT_EQ(t.get(1), "a\tb\nc\\");
    EXPECT_EQ(t.get(2), "perch\xe8 \x80");
    EXPECT_EQ(t.get(3), "nr.: "); // trailing blanks belong to the text
    EXPECT_EQ(t.get(4), "");
    EXPECT_EQ(t.size(), 3u);
    EXPECT_EQ(cp1252_to_utf8("\xe8\x80"), "\xc3\xa8\xe2\x82\xac");
    EXPECT_EQ(utf8_to_cp1252("\xe4\xb8\xad"), "?");
}
