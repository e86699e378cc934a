// The optional configuration file zem.cfg, read once per process by the
// first entry, and the configuration words other libraries may read.
#include <ctype.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include "service/serv.h"

extern "C" {
ZEM_API int cfg_file_readed = 0;
ZEM_API int cfg_check = 1;
ZEM_API int cfg_serial = 2;
ZEM_API int cfg_fpu = 0;
ZEM_API char dll_cfg_names[4][1024];
ZEM_API char dll_cfg_names_v[4][1024];
ZEM_API char dll_cfg_names_l[2][1024];
ZEM_API const char *dll_def_names[4] = {"libzem_def.so", "libzem_t1.so", "libzem_t2.so",
                                        "libzem_t3.so"};
ZEM_API const char *dll_def_names_v[4] = {"libzem_qeb_def.so", "libzem_qeb_t1.so",
                                          "libzem_qeb_t2.so", "libzem_qeb_t3.so"};
ZEM_API const char *dll_def_names_l[2] = {"libzem_lapack32.so", "libzem_lapack64.so"};
}

namespace {

constexpr size_t kBuf = 1024;
const char kDefaultName[] = "zem.cfg";

struct NameKey {
    const char *key;
    char *entry;
};

const NameKey kNameKeys[] = {
    {"zem_x87so=", dll_cfg_names[0]},        {"zem_sse1so=", dll_cfg_names[1]},
    {"zem_sse2so=", dll_cfg_names[2]},       {"zem_sse3so=", dll_cfg_names[3]},
    {"zem_qeb_x87so=", dll_cfg_names_v[0]},  {"zem_qeb_sse1so=", dll_cfg_names_v[1]},
    {"zem_qeb_sse2so=", dll_cfg_names_v[2]}, {"zem_qeb_sse3so=", dll_cfg_names_v[3]},
    {"zem_lapack32so=", dll_cfg_names_l[0]}, {"zem_lapack64so=", dll_cfg_names_l[1]},
};

void copy_name(char *dst, const char *src)
{
    size_t n = strnlen(src, kBuf - 1);
    memcpy(dst, src, n);
    dst[n] = '\0';
}

bool starts_with(const char *s, const char *prefix)
{
    return strncmp(s, prefix, strlen(prefix)) == 0;
}

void drop_one_newline(char *s)
{
    size_t n = strlen(s);
    if (n > 0 && (s[n - 1] == '\n' || s[n - 1] == '\r'))
        s[n - 1] = '\0';
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

void drop_trailing_blanks(char *s)
{
    size_t n = strlen(s);
    while (n > 0 && is_blank(s[n - 1]))
        s[--n] = '\0';
}

void strlwr_zem(char *s)
{
    for (; *s; ++s)
        *s = (char)tolower((unsigned char)*s);
}

// Opens a regular file (or anything but a directory) for reading; a
// directory of the configuration file's name is passed over as absent.
FILE *open_text(const char *name)
{
    FILE *f = fopen(name, "rt");
    if (f == nullptr)
        return nullptr;
    struct stat st;
    if (fstat(fileno(f), &st) == 0 && S_ISDIR(st.st_mode)) {
        fclose(f);
        return nullptr;
    }
    return f;
}

// Looks for `file` in the directories of PATH, then in "./". An unset PATH
// searches "./" alone; an empty element stands for the current directory,
// as it does for the shell. Names that do not fit the buffers are skipped.
bool searchpath(const char *file, char *found)
{
    char list[kBuf + 8];
    const char *path = getenv("PATH");
    if (path == nullptr)
        path = "";
    if (strlen(path) >= kBuf)
        return false;
    snprintf(list, sizeof list, "%s:./:", path);
    char *dir = list;
    for (char *colon; (colon = strchr(dir, ':')) != nullptr; dir = colon + 1) {
        *colon = '\0';
        drop_trailing_blanks(dir);
        char cand[kBuf];
        size_t n = strlen(dir);
        const char *sep = (n == 0 || dir[n - 1] == '.' || dir[n - 1] == '/') ? "" : "/";
        if (snprintf(cand, sizeof cand, "%s%s%s", dir, sep, file) >= (int)sizeof cand)
            continue;
        if (FILE *f = open_text(cand)) {
            fclose(f);
            copy_name(found, cand);
            return true;
        }
    }
    return false;
}

FILE *open_config()
{
    char name[kBuf];
    const char *env = getenv("ZEM_CFG_FILE");
    const char *base = (env != nullptr && env[0] != '\0') ? env : kDefaultName;
    if (strlen(base) < kBuf) {
        copy_name(name, base);
        if (FILE *f = open_text(name))
            return f;
        char longer[kBuf];
        if (snprintf(longer, sizeof longer, "%s\\%s", name, kDefaultName) < (int)sizeof longer)
            if (FILE *f = open_text(longer))
                return f;
    }
    char found[kBuf];
    if (searchpath(kDefaultName, found))
        return open_text(found);
    return nullptr;
}

struct Choice {
    const char *text;
    int value;
};

// A settings line "<key><value>": a known value sets *word, anything else
// (an empty value too) changes nothing.
void choose(const char *line, const char *key, const Choice *choices, int n, int *word)
{
    if (!starts_with(line, key))
        return;
    const char *value = line + strlen(key);
    for (int i = 0; i < n; ++i)
        if (strcmp(value, choices[i].text) == 0)
            *word = choices[i].value;
}

void apply_line(char *line, int mode)
{
    char raw[kBuf];
    copy_name(raw, line);
    drop_one_newline(raw);
    drop_trailing_blanks(raw);

    char key[kBuf];
    drop_one_newline(line);
    size_t k = 0;
    for (const char *p = line; *p; ++p)
        if (!is_blank(*p))
            key[k++] = *p;
    key[k] = '\0';
    drop_one_newline(key);
    strlwr_zem(key);

    if (mode == 0) {
        for (const NameKey &nk : kNameKeys) {
            if (!starts_with(key, nk.key))
                continue;
            const char *eq = strchr(raw, '=');
            if (eq != nullptr && eq[1] != '\0')
                copy_name(nk.entry, eq + 1);
        }
    }
    static const Choice kCheck[] = {{"on", 1}, {"off", 0}};
    static const Choice kSerial[] = {{"yes", 1}, {"no", 0}, {"omp", 2}};
    choose(key, "zem_input_check=", kCheck, 2, &cfg_check);
    choose(key, "zem_serial=", kSerial, 3, &cfg_serial);
}

} // namespace

extern "C" ZEM_API int zem_cfg_file(int mode)
{
    if (cfg_file_readed == 1)
        return 0;
    for (int i = 0; i < 4; ++i) {
        copy_name(dll_cfg_names[i], dll_def_names[i]);
        copy_name(dll_cfg_names_v[i], dll_def_names_v[i]);
    }
    for (int i = 0; i < 2; ++i)
        copy_name(dll_cfg_names_l[i], dll_def_names_l[i]);
    cfg_check = 1;
    cfg_fpu = 0;
    cfg_serial = 2;

    FILE *f = open_config();
    if (f == nullptr) {
        cfg_file_readed = 1;
        return -1;
    }
    // A line longer than the buffer arrives in pieces; each piece is a line.
    char line[kBuf];
    while (fgets(line, sizeof line, f) != nullptr)
        apply_line(line, mode);
    fclose(f);
    cfg_file_readed = 1;
    return 0;
}
