// The one container of the system: a singly linked list of texts of at most 1023 bytes,
// always added at the head, so that it reads in the reverse order of the additions.
#ifndef K440_BASE_STRING_LIST_H
#define K440_BASE_STRING_LIST_H

#define LIST_TEXT_SIZE 1024
#define VALUE_KEY_PATH_SIZE 10240

struct string_list_entry {
    string_list_entry *next;
    char text[LIST_TEXT_SIZE];
};

struct value_pair_entry {
    value_pair_entry *next;
    char key_path[VALUE_KEY_PATH_SIZE];
    char value_name[LIST_TEXT_SIZE];
};

// Adds a copy of `text` at the head of the list. Returns 1, or 0 when the text does not fit
// an entry or no entry could be allocated; the list is then unchanged (a text is never cut).
int push_string(string_list_entry **list, const char *text);
int push_value_pair(value_pair_entry **list, const char *key_path, const char *value_name);

// Releases every entry; returns the empty list.
string_list_entry *free_string_list(string_list_entry *list);
value_pair_entry *free_value_pair_list(value_pair_entry *list);

int string_list_length(const string_list_entry *list);
// 1 when the list holds the text, compared without regard to case (code-page aware).
int string_list_holds(const string_list_entry *list, const char *text);

#endif
