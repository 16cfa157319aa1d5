/* The limit for the scan: walk every folder, and for each *.shp open its .dbf and read the
   first 32 bytes. Usage: min_dbf_walker ROOT; prints the number of shapefiles and headers. */
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

static long shapes;
static long headers;

static void walk(const char* path) {
    DIR* dir = opendir(path);
    if (!dir)
        return;
    struct dirent* entry;
    char child[4096];
    while ((entry = readdir(dir)) != NULL) {
        if (entry->d_name[0] == '.')
            continue;
        snprintf(child, sizeof child, "%s/%s", path, entry->d_name);
        if (entry->d_type == DT_DIR) {
            walk(child);
            continue;
        }
        size_t length = strlen(child);
        if (length < 4 || strcasecmp(child + length - 4, ".shp") != 0)
            continue;
        ++shapes;
        memcpy(child + length - 4, ".dbf", 4);
        int fd = open(child, O_RDONLY);
        if (fd < 0)
            continue;
        unsigned char header[32];
        if (read(fd, header, sizeof header) == (ssize_t)sizeof header)
            ++headers;
        close(fd);
    }
    closedir(dir);
}

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: %s ROOT\n", argv[0]);
        return 2;
    }
    walk(argv[1]);
    printf("%ld shapefiles, %ld headers\n", shapes, headers);
    return 0;
}
