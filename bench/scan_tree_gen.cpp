// Writes the scan benchmark's tree: ROOT/dNN/dNN/ folders, each holding shapefiles (a valid
// 100-byte .shp and .shx header and a small .dbf). Usage: scan_tree_gen ROOT [top] [sub] [files]
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

void putBigEndian32(std::vector<char>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = char((value >> (8 * (3 - i))) & 0xFF);
}

void putLittleEndian(std::vector<char>& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i)
        bytes[at + size_t(i)] = char((value >> (8 * i)) & 0xFF);
}

std::vector<char> shapeHeader() {
    std::vector<char> bytes(100, 0);
    putBigEndian32(bytes, 0, 9994);
    putBigEndian32(bytes, 24, 50);  // file length in 16-bit words: the header alone
    putLittleEndian(bytes, 28, 1000, 4);
    putLittleEndian(bytes, 32, 5, 4);  // polygon
    return bytes;
}

std::vector<char> dbf(int records) {
    const char* names[] = {"NAME", "AREA"};
    const int lengths[] = {20, 10};
    const char types[] = {'C', 'N'};
    std::vector<char> bytes(32, 0);
    bytes[0] = 0x03;
    putLittleEndian(bytes, 4, uint32_t(records), 4);
    putLittleEndian(bytes, 8, 32 + 32 * 2 + 1, 2);
    putLittleEndian(bytes, 10, 1 + 20 + 10, 2);
    bytes[29] = char(0xC9);
    for (int f = 0; f < 2; ++f) {
        std::vector<char> descriptor(32, 0);
        std::memcpy(descriptor.data(), names[f], std::strlen(names[f]));
        descriptor[11] = types[f];
        descriptor[16] = char(lengths[f]);
        bytes.insert(bytes.end(), descriptor.begin(), descriptor.end());
    }
    bytes.push_back(0x0D);
    for (int r = 0; r < records; ++r) {
        char record[32];
        std::snprintf(record, sizeof record, " %-20s%10d", "feature", r);
        bytes.insert(bytes.end(), record, record + 31);
    }
    bytes.push_back(0x1A);
    return bytes;
}

void write(const std::filesystem::path& path, const std::vector<char>& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s ROOT [top=40] [sub=50] [files=10]\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const int top = argc > 2 ? std::atoi(argv[2]) : 40;
    const int sub = argc > 3 ? std::atoi(argv[3]) : 50;
    const int files = argc > 4 ? std::atoi(argv[4]) : 10;
    const auto shp = shapeHeader();
    for (int t = 0; t < top; ++t) {
        for (int s = 0; s < sub; ++s) {
            const auto folder = root / ("t" + std::to_string(t)) / ("s" + std::to_string(s));
            std::filesystem::create_directories(folder);
            for (int f = 0; f < files; ++f) {
                const std::string base = (folder / ("layer" + std::to_string(f))).string();
                write(base + ".shp", shp);
                write(base + ".shx", shp);
                write(base + ".dbf", dbf(1 + f % 4));
            }
        }
    }
    std::printf("%d shapefiles in %d folders under %s\n", top * sub * files, top * sub,
                root.c_str());
    return 0;
}
