#include <gtest/gtest.h>

#include <string>

#include "base/string_list.h"

TEST(StringList, ReadsInReverseOrderOfAdditions) {
    string_list_entry *list = 0;
    ASSERT_EQ(1, push_string(&list, "first"));
    ASSERT_EQ(1, push_string(&list, "second"));
    ASSERT_NE(nullptr, list);
    EXPECT_STREQ("second", list->text) << "the text pushed last comes first";
    EXPECT_STREQ("first", list->next->text);
    EXPECT_EQ(nullptr, list->next->next);
    list = free_string_list(list);
    EXPECT_EQ(nullptr, list);
}

TEST(StringList, FreeingAnEmptyListIsANoOp) { EXPECT_EQ(nullptr, free_string_list(nullptr)); }

TEST(StringList, RefusesATextLongerThanAnEntryInsteadOfCuttingIt) {
    string_list_entry *list = 0;
    std::string longest(1023, 'a');
    EXPECT_EQ(1, push_string(&list, longest.c_str()));
    EXPECT_EQ(longest, std::string(list->text));
    std::string too_long(1024, 'b');
    EXPECT_EQ(0, push_string(&list, too_long.c_str()));
    EXPECT_EQ(1, string_list_length(list)) << "the list stays as it was";
    free_string_list(list);
}

TEST(StringList, ValuePairsKeepBothTexts) {
    value_pair_entry *list = 0;
    ASSERT_EQ(1, push_value_pair(&list, "Software\\A", "one"));
    ASSERT_EQ(1, push_value_pair(&list, "Software\\B", "two"));
    EXPECT_STREQ("Software\\B", list->key_path);
    EXPECT_STREQ("two", list->value_name);
    EXPECT_STREQ("one", list->next->value_name);
    std::string too_long(1024, 'n');
    EXPECT_EQ(0, push_value_pair(&list, "Software\\C", too_long.c_str()));
    EXPECT_EQ(nullptr, free_value_pair_list(list));
}
