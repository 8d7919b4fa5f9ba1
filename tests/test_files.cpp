#include "test_files.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

unsigned char pattern_byte(uint64_t offset) {
    uint64_t mixed = offset * 0x9E3779B97F4A7C15ull;
    return static_cast<unsigned char>((mixed >> 56) ^ (offset >> 20) ^ offset);
}

std::string make_scratch_dir(const char* name) {
    static std::atomic<int> serial{0};
    fs::path dir = fs::temp_directory_path() /
                   ("quorvex-test-" + std::string(name) + "-" + std::to_string(serial++));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir.string();
}

std::string make_memory_scratch_dir(const char* name, uint64_t bytes) {
    static const auto run = std::chrono::system_clock::now().time_since_epoch().count();
    for (const char* memory : {"/dev/shm", "Z:\\dev\\shm"}) {
        std::error_code failed;
        fs::space_info space = fs::space(memory, failed);
        if (failed || space.available < bytes + 256 * MIB)
            continue;
        fs::path dir =
            fs::path(memory) / ("quorvex-test-" + std::string(name) + "-" + std::to_string(run));
        fs::remove_all(dir, failed);
        if (fs::create_directories(dir, failed))
            return dir.string();
    }
    return make_scratch_dir(name);
}

void remove_tree(const std::string& path) {
    std::error_code ignored;
    fs::remove_all(path, ignored);
}

std::string join_path(const std::string& directory, const std::string& name) {
    return (fs::path(directory) / name).string();
}

void write_pattern_file(const std::string& path, uint64_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    std::vector<char> chunk(MIB);
    for (uint64_t at = 0; at < size; at += chunk.size()) {
        size_t count = static_cast<size_t>(std::min<uint64_t>(chunk.size(), size - at));
        for (size_t i = 0; i < count; ++i)
            chunk[i] = static_cast<char>(pattern_byte(at + i));
        out.write(chunk.data(), static_cast<std::streamsize>(count));
    }
}

void write_bytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

void write_sparse_file(const std::string& path, uint64_t size, const std::vector<uint64_t>& marks) {
    { std::ofstream create(path, std::ios::binary | std::ios::trunc); }
    fs::resize_file(path, size);
    std::fstream out(path, std::ios::binary | std::ios::in | std::ios::out);
    for (uint64_t mark : marks) {
        uint64_t from = mark < 16 ? 0 : mark - 16;
        uint64_t to = std::min(size, mark + 16);
        out.seekp(static_cast<std::streamoff>(from));
        for (uint64_t at = from; at < to; ++at)
            out.put(static_cast<char>(pattern_byte(at)));
    }
}

bool file_exists(const std::string& path) {
    return fs::exists(path);
}

uint64_t file_size_of(const std::string& path) {
    return fs::file_size(path);
}

std::vector<unsigned char> read_bytes(const std::string& path, uint64_t offset, uint64_t count) {
    std::ifstream in(path, std::ios::binary);
    uint64_t size = fs::file_size(path);
    if (offset >= size)
        return {};
    count = std::min(count, size - offset);
    std::vector<unsigned char> bytes(static_cast<size_t>(count));
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<size_t>(in.gcount()));
    return bytes;
}

bool holds_pattern(const std::string& path, uint64_t offset, uint64_t size) {
    if (!file_exists(path) || file_size_of(path) != size)
        return false;
    std::vector<unsigned char> bytes = read_bytes(path);
    for (size_t i = 0; i < bytes.size(); ++i)
        if (bytes[i] != pattern_byte(offset + i))
            return false;
    return true;
}

std::vector<std::string> list_dir(const std::string& directory) {
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(directory))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}
