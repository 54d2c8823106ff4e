#include "base/string_list.h"

#include <stdlib.h>
#include <string.h>

#include "base/mbtext.h"

int push_string(string_list_entry **list, const char *text) {
    size_t length = strlen(text);
    if (length >= LIST_TEXT_SIZE) return 0;
    string_list_entry *entry = (string_list_entry *)calloc(1, sizeof(string_list_entry));
    if (!entry) return 0;
    memcpy(entry->text, text, length + 1);
    entry->next = *list;
    *list = entry;
    return 1;
}

int push_value_pair(value_pair_entry **list, const char *key_path, const char *value_name) {
    size_t key_length = strlen(key_path);
    size_t name_length = strlen(value_name);
    if (key_length >= VALUE_KEY_PATH_SIZE || name_length >= LIST_TEXT_SIZE) return 0;
    value_pair_entry *entry = (value_pair_entry *)malloc(sizeof(value_pair_entry));
    if (!entry) return 0;
    memcpy(entry->key_path, key_path, key_length + 1);
    memcpy(entry->value_name, value_name, name_length + 1);
    entry->next = *list;
    *list = entry;
    return 1;
}

string_list_entry *free_string_list(string_list_entry *list) {
    while (list) {
        string_list_entry *next = list->next;
        free(list);
        list = next;
    }
    return 0;
}

value_pair_entry *free_value_pair_list(value_pair_entry *list) {
    while (list) {
        value_pair_entry *next = list->next;
        free(list);
        list = next;
    }
    return 0;
}

int string_list_length(const string_list_entry *list) {
    int count = 0;
    for (; list; list = list->next) ++count;
    return count;
}

int string_list_holds(const string_list_entry *list, const char *text) {
    for (; list; list = list->next)
        if (mb_equal_nocase(list->text, text)) return 1;
    return 0;
}
