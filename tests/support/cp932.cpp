#include "support/cp932.h"

#include <iconv.h>

std::string cp932(const std::string &utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == (iconv_t)-1) return "<no CP932 converter>";
    std::string in = utf8, out(utf8.size() * 2 + 4, '\0');
    char *ip = &in[0], *op = &out[0];
    size_t il = in.size(), ol = out.size();
    size_t rc = iconv(cd, &ip, &il, &op, &ol);
    iconv_close(cd);
    if (rc == (size_t)-1) return "<conversion failed>";
    out.resize(out.size() - ol);
    return out;
}
