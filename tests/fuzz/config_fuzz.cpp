// The configuration reader on any file contents, found through
// ZEM_CFG_FILE or through a PATH made of the input's own elements (empty
// ones, ".", missing folders, a folder named zem.cfg). The reader must end
// with its words in range and every name NUL-terminated in its table.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>
#include <string>
#include "zem.h"

extern "C" {
extern int cfg_file_readed, cfg_check, cfg_serial, cfg_fpu;
extern char dll_cfg_names[4][1024], dll_cfg_names_v[4][1024], dll_cfg_names_l[2][1024];
int zem_cfg_file(int mode);
}

namespace {

std::string g_root;

void write_file(const std::string &path, const uint8_t *data, size_t n)
{
    FILE *f = fopen(path.c_str(), "wb");
    if (f) {
        fwrite(data, 1, n, f);
        fclose(f);
    }
}

void check_names(const char (*names)[1024], int count)
{
    for (int i = 0; i < count; i++)
        if (memchr(names[i], 0, 1024) == nullptr)
            abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (g_root.empty()) {
        char tmpl[] = "/tmp/zem_cfg_fuzz.XXXXXX";
        g_root = mkdtemp(tmpl);
        for (const char *d : {"/a", "/b", "/c", "/b/zem.cfg"})
            mkdir((g_root + d).c_str(), 0700); // b holds a folder named zem.cfg
        if (chdir((g_root + "/c").c_str()) != 0)
            abort();
    }
    if (size == 0)
        return 0;
    uint8_t how = data[0];
    data++, size--;
    unlink((g_root + "/a/zem.cfg").c_str());
    unlink((g_root + "/c/zem.cfg").c_str());
    unsetenv("ZEM_CFG_FILE");
    if (how & 1) {
        std::string file = g_root + "/a/zem.cfg";
        write_file(file, data, size);
        setenv("ZEM_CFG_FILE", (how & 2) ? file.c_str() : (g_root + "/missing").c_str(), 1);
    } else {
        // PATH from the selector's bits: elements in an order the input picks.
        const char *parts[] = {"/a", "/b", "", ".", "/missing"};
        std::string path;
        for (int i = 0; i < 4; i++) {
            int k = (how >> (2 * i + 1)) % 5;
            if (i)
                path += ':';
            path += (parts[k][0] == '/') ? g_root + parts[k] : std::string(parts[k]);
        }
        setenv("PATH", path.c_str(), 1);
        write_file(g_root + ((how & 0x80) ? "/a/zem.cfg" : "/c/zem.cfg"), data, size);
    }
    cfg_file_readed = 0;
    zem_cfg_file((how >> 6) & 1);
    if (cfg_file_readed != 1 || (cfg_check != 0 && cfg_check != 1) || cfg_serial < 0 || cfg_serial > 2)
        abort();
    check_names(dll_cfg_names, 4);
    check_names(dll_cfg_names_v, 4);
    check_names(dll_cfg_names_l, 2);
    return 0;
}
