// Which library this is: the version record and the version string.
#include <ctype.h>
#include <stdio.h>
#include <string.h>
#include "service/serv.h"

namespace {

const char kStatus[] = "Product";
const char kBuild[] = "021505.03";
const char kProcessor[] = "Tier-1 processor";
const char kPlatform[] = "32-bit";

// "Zem Numerics Library Version 7.2.1 Product Build 021505.03 for 32-bit applications "
int version_text(char *out, size_t cap)
{
    ZEMVersion v;
    _ZEM_SERV_getversion(&v);
    return snprintf(out, cap, "Zem Numerics Library Version %d.%d.%d %s Build %s for %s applications ",
                    v.major, v.minor, v.update, v.product_status, v.build, kPlatform);
}

} // namespace

extern "C" ZEM_API void _ZEM_SERV_getversion(ZEMVersion *v)
{
    v->major = 7;
    v->minor = 2;
    v->update = 1;
    v->product_status = kStatus;
    v->build = kBuild;
    v->processor = kProcessor;
}

extern "C" ZEM_API void ZEMGetVersion(ZEMVersion *v)
{
    zem_entry_prologue();
    _ZEM_SERV_getversion(v);
}
ZEM_ALIAS(ZEMGetVersion, zemgetversion)
ZEM_ALIAS(ZEMGetVersion, zemgetversion_)

extern "C" ZEM_API void _ZEM_SERV_getversionstring(char *buf, int len)
{
    char text[160];
    int s = version_text(text, sizeof text);
    if (buf == nullptr || len <= 0)
        return;
    if (len > s) {
        memcpy(buf, text, (size_t)s);
        memset(buf + s, ' ', (size_t)(len - s));
    } else {
        memcpy(buf, text, (size_t)len);
    }
}

extern "C" ZEM_API void _ZEM_SERV_getversionstring_c(char *buf, int len)
{
    char text[160];
    int s = version_text(text, sizeof text);
    if (buf == nullptr || len <= 0)
        return;
    if (len - 1 >= s) {
        memcpy(buf, text, (size_t)s + 1);
        memset(buf + s + 1, 0, (size_t)(len - 1 - s));
    } else {
        memcpy(buf, text, (size_t)(len - 1));
        buf[len - 1] = '\0';
    }
}

extern "C" ZEM_API void ZEMGetVersionString(char *buf, int len)
{
    zem_entry_prologue();
    _ZEM_SERV_getversionstring_c(buf, len);
}
ZEM_ALIAS(ZEMGetVersionString, ZEMGETVERSIONSTRING)
ZEM_ALIAS(ZEMGetVersionString, zemgetversionstring)

extern "C" ZEM_API void zemgetversionstring_(char *buf, int len)
{
    zem_entry_prologue();
    _ZEM_SERV_getversionstring(buf, len);
}

extern "C" ZEM_API const char *_ZEM_SERV_gettargetprocessor(void) { return kProcessor; }
extern "C" ZEM_API const char *gettargetplatform(void) { return kPlatform; }
extern "C" ZEM_API int dll_cpu_version(void) { return 1; }

extern "C" ZEM_API void _ZEM_SERV_build_date(const char *src, char *dst)
{
    for (; *src; ++src)
        if (*src >= '0' && *src <= '9')
            *dst++ = *src;
    *dst = '\0';
}
