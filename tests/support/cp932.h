// Japanese test texts written in UTF-8, turned into the code page 932 bytes the profile holds.
#ifndef K440_TESTS_CP932_H
#define K440_TESTS_CP932_H

#include <string>

std::string cp932(const std::string &utf8);

#endif
